#include "vesanu/api/exchangeoutcome.h"

#include <QNetworkReply>

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

template<typename R>
int httpStatusOf(const R &result)
{
    if constexpr (HasHttpStatus<R>::value)
        return int(result.httpStatus);
    else
        return 0;
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
bool neverLeftOf(const R &result)
{
    if constexpr (HasNetworkError<R>::value) {
        if constexpr (HasCompleted<R>::value) {
            if (result.completed)
                return false;
        }
        return isBeforeSending(int(result.networkError));
    } else {
        return false;
    }
}

} // namespace

ExchangeOutcome::ExchangeOutcome(const RestClient::Result &result)
    : m_json(jsonOf(result))
    , m_neverLeft(neverLeftOf(result))
    , m_httpStatus(httpStatusOf(result))
{
}

bool ExchangeOutcome::isHttpError() const
{
    return m_httpStatus != 0 && (m_httpStatus < 200 || m_httpStatus > 299);
}

} // namespace api
} // namespace vesanu
