#include "vesanu/api/exchangeoutcome.h"

#include "vesanu/api/constants.h"

#include <QJsonValue>
#include <QNetworkReply>
#include <QUrl>

#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

namespace vesanu {
namespace api {

namespace {

// The member of the host's Result that holds the answer's JSON object. A host
// whose Result names it otherwise changes this one line.
QJsonObject jsonOf(const RestClient::Result &result)
{
    return result.json;
}

// The members read below only when the host's Result has them.
template<typename R, typename = void>
struct HasCompleted : std::false_type {};
template<typename R>
struct HasCompleted<R, std::void_t<decltype(std::declval<const R &>().completed)>>
    : std::true_type {};

template<typename R, typename = void>
struct HasHttpStatus : std::false_type {};
template<typename R>
struct HasHttpStatus<R, std::void_t<decltype(std::declval<const R &>().httpStatus)>>
    : std::true_type {};

template<typename R, typename = void>
struct HasNetworkError : std::false_type {};
template<typename R>
struct HasNetworkError<R, std::void_t<decltype(std::declval<const R &>().networkError)>>
    : std::true_type {};

// Without the HTTP status a proxy's error page or a server error that carries
// an "error_code" reads as the service's refusal, and without the network
// error no failure can be told apart from one that never left. That weakens
// the money rules, so a host SDK without them builds only when it says so.
#ifndef VESANU_HOST_RESULT_JSON_ONLY
static_assert(HasHttpStatus<RestClient::Result>::value,
              "RestClient::Result has no member 'httpStatus'. Configure with "
              "-DVESANU_HOST_RESULT_JSON_ONLY=ON to build on the JSON body alone "
              "(docs/integration.md says what is lost).");
static_assert(HasNetworkError<RestClient::Result>::value,
              "RestClient::Result has no member 'networkError'. Configure with "
              "-DVESANU_HOST_RESULT_JSON_ONLY=ON to build on the JSON body alone "
              "(docs/integration.md says what is lost).");
#endif

template<typename R>
int httpStatusOf(const R &result)
{
    if constexpr (HasHttpStatus<R>::value)
        return int(result.httpStatus);
    else
        return 0;
}

template<typename R>
bool completedOf(const R &result)
{
    if constexpr (HasCompleted<R>::value)
        return bool(result.completed);
    else
        return httpStatusOf(result) != 0;
}

// Failures that happen before a byte of the request is on its way. The codes
// are those of QNetworkReply::NetworkError, as the host's client reports them.
bool isBeforeSending(int networkError)
{
    switch (networkError) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
        return true;
    default:
        return false;
    }
}

template<typename R>
int networkErrorOf(const R &result)
{
    if constexpr (HasNetworkError<R>::value)
        return int(result.networkError);
    else
        return 0;
}

template<typename R>
bool neverLeftOf(const R &result)
{
    if constexpr (HasNetworkError<R>::value)
        return !completedOf(result) && isBeforeSending(int(result.networkError));
    else
        return false;
}

} // namespace

bool isWholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    return std::trunc(number) == number && number >= std::numeric_limits<int>::min()
           && number <= std::numeric_limits<int>::max();
}

QString loggedAddress(const QUrl &url)
{
    return url.toDisplayString(QUrl::RemoveUserInfo);
}

ExchangeOutcome::ExchangeOutcome(const RestClient::Result &result)
    : m_json(jsonOf(result))
    , m_neverLeft(neverLeftOf(result))
    , m_completed(completedOf(result))
    , m_httpStatus(httpStatusOf(result))
    , m_networkError(networkErrorOf(result))
{
}

ExchangeOutcome ExchangeOutcome::neverSent()
{
    ExchangeOutcome outcome;
    outcome.m_neverLeft = true;
    return outcome;
}

ExchangeOutcome ExchangeOutcome::lost()
{
    ExchangeOutcome outcome;
    outcome.m_clientFailed = true;
    return outcome;
}

Outcome ExchangeOutcome::classify(const QString &askedId) const
{
    if (m_neverLeft)
        return Outcome::NeverSent;
    // A server error says nothing for certain, whatever its body claims.
    if (m_httpStatus >= 500 && m_httpStatus <= 599)
        return Outcome::Unreadable;
    if (m_json.isEmpty())
        return m_completed ? Outcome::Unreadable : Outcome::NoAnswer;
    if (answersAnother(askedId))
        return Outcome::Unreadable;
    const QJsonValue code = m_json.value(QLatin1String(JsonErrorCode));
    if (!code.isUndefined()) {
        if (!isWholeNumber(code))
            return Outcome::Unreadable;
        if (code.toInt() != 0) {
            // A refusal that names the payment paid, pending or reversed
            // contradicts itself: its only word about the money is not a no.
            if (!refusalIsPlain())
                return Outcome::Unreadable;
            return m_httpStatus == HttpNotFound ? Outcome::NotFound : Outcome::Refused;
        }
    }
    // An HTTP error without the service's own error answer is some other
    // server's (a proxy's 404, a redirect): it says nothing about the payment.
    if (isHttpError())
        return Outcome::Unreadable;
    return Outcome::Answered;
}

bool ExchangeOutcome::refusalIsPlain() const
{
    const QJsonValue status = m_json.value(QLatin1String(JsonPaymentStatus));
    return status.isUndefined() || (isWholeNumber(status) && status.toInt() == StatusFailed);
}

bool ExchangeOutcome::isHttpError() const
{
    return m_httpStatus != 0 && (m_httpStatus < 200 || m_httpStatus > 299);
}

QString ExchangeOutcome::failureReason() const
{
    const auto text = [](const char *utf8) { return QString::fromUtf8(utf8); };
    if (m_completed)
        return isHttpError() ? text(ReasonHttpStatus).arg(m_httpStatus) : text(ReasonUnreadable);
    if (m_clientFailed || (m_neverLeft && m_networkError == 0))
        return text(ReasonClientFailed);
    switch (m_networkError) {
    case 0:
        return text(ReasonNoAnswer);
    case QNetworkReply::ConnectionRefusedError:
        return text(ReasonRefused);
    case QNetworkReply::HostNotFoundError:
        return text(ReasonHostNotFound);
    case QNetworkReply::SslHandshakeFailedError:
        return text(ReasonTls);
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return text(ReasonTimeout);
    default:
        return text(ReasonNetworkError).arg(m_networkError);
    }
}

bool ExchangeOutcome::answersAnother(const QString &askedId) const
{
    const QJsonValue named = m_json.value(QLatin1String(JsonTransactionId));
    if (askedId.isEmpty() || named.isUndefined())
        return false;
    return !named.isString() || named.toString() != askedId;
}

} // namespace api
} // namespace vesanu
