#include "network/restclient.h"

#include "log4qt/logger.h"
#include "network/answerresult.h"
#include "network/catrust.h"
#include "network/exchange.h"
#include "network/networkconstants.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <cstring>

// The one creator of the process, set when this library is loaded. Nothing
// can have set it before: this is its only definition, and a library's
// initialisers run before those of anything that links against it.
template<>
MockFactory<RestClient>::Creator MockFactory<RestClient>::creator
    = &MockFactory<RestClient>::defaultCreator;

template<> QSharedPointer<RestClient> MockFactory<RestClient>::defaultCreator()
{
    return QSharedPointer<RestClient>(new RestClient);
}

namespace {

using namespace veltanetwork;

Q_LOGGING_CATEGORY(networkLog, veltanetwork::LogCategory)

QString details(const char *format)
{
    return QString::fromUtf8(format);
}

const char *verbOf(int operation)
{
    switch (operation) {
    case RestClient::Head:
        return "HEAD";
    case RestClient::Get:
        return "GET";
    case RestClient::Put:
        return "PUT";
    case RestClient::Post:
        return "POST";
    case RestClient::Delete:
        return "DELETE";
    default:
        return nullptr;
    }
}

bool carriesBody(int operation)
{
    return operation == RestClient::Put || operation == RestClient::Post;
}

bool isTokenCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

// A line break in a header would let a value smuggle in headers or a whole
// request of its own, so such headers are refused, not cleaned up.
bool isSafeHeader(const QByteArray &name, const QByteArray &value)
{
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        if (c == '\0' || !isTokenCharacter(c))
            return false;
    }
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            return false;
    }
    return true;
}

bool hasHeader(const QHash<QString, QString> &headers, const char *name)
{
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
        if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isWebUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// An address as the log may show it: never with its user name or password.
QString loggedAddress(const QUrl &url)
{
    return url.toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded);
}

// Qt's error texts quote the address, in one form or another; its user name
// and password stay out of the log.
QString withoutUserInfo(QString text, const QUrl &url)
{
    for (const QUrl::ComponentFormattingOptions format :
        { QUrl::ComponentFormattingOptions(QUrl::FullyDecoded),
            QUrl::ComponentFormattingOptions(QUrl::PrettyDecoded),
            QUrl::ComponentFormattingOptions(QUrl::FullyEncoded) }) {
        const QString user = url.userName(format);
        const QString password = url.password(format);
        if (!password.isEmpty())
            text.replace(user + QLatin1Char(':') + password + QLatin1Char('@'), QString());
        if (!user.isEmpty())
            text.replace(user + QLatin1Char('@'), QString());
        if (!password.isEmpty())
            text.replace(password, QStringLiteral("***"));
    }
    return text;
}

void logInfo(Log4Qt::Logger *logger, const char *format, const QString &text)
{
    if (logger)
        logger->info(format, text);
}

void logError(Log4Qt::Logger *logger, const char *format, const QString &text)
{
    if (logger)
        logger->error(format, text);
    else
        qCWarning(networkLog).noquote()
            << QString::fromUtf8(format).replace(QLatin1String("%1"), text);
}

// Why the request cannot be sent at all; empty when it can.
QString requestProblem(int operation, const QUrl &url, const QHash<QString, QString> &headers)
{
    if (!verbOf(operation))
        return details(UnsupportedOperationDetails).arg(operation);
    if (!isWebUrl(url))
        return details(BadUrlDetails);
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
        if (!isSafeHeader(it.key().toUtf8(), it.value().toUtf8()))
            return details(BadHeaderDetails)
                .arg(QString::fromLatin1(it.key().toUtf8().toPercentEncoding()));
    }
    return QString();
}

QNetworkRequest buildRequest(
    const QUrl &url, const QHash<QString, QString> &headers, bool hasBody, Log4Qt::Logger *logger)
{
    QNetworkRequest request(url);
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    if (hasBody && !hasHeader(headers, ContentTypeHeader))
        request.setRawHeader(ContentTypeHeader, JsonContentType);
    if (!hasHeader(headers, AcceptEncodingHeader))
        request.setRawHeader(AcceptEncodingHeader, IdentityEncoding);
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) {
        QString problem;
        request.setSslConfiguration(CaTrust::sslConfiguration(&problem));
        if (!problem.isEmpty())
            logError(logger, CaFileProblemLine, problem);
    }
    return request;
}

RestClient::Result failed(int networkError, const char *key, const char *text)
{
    RestClient::Result result;
    result.networkError = networkError;
    result.error = tr::Tr(QString::fromUtf8(key), QString::fromUtf8(text));
    return result;
}

RestClient::Result completed(const Exchange::Outcome &outcome)
{
    return answerResult(outcome.httpStatus, outcome.networkError, outcome.body);
}

RestClient::Result broken(const Exchange::Outcome &outcome, qint64 timeout, QString *failure)
{
    RestClient::Result result;
    switch (outcome.state) {
    case Exchange::State::TimedOut:
        *failure = details(TimeoutDetails).arg(timeout);
        result = failed(outcome.networkError, TimeoutKey, TimeoutText);
        break;
    case Exchange::State::TooLarge:
        *failure = details(TooLargeDetails).arg(RestClient::MaxBodySize);
        result = failed(outcome.networkError, TooLargeKey, TooLargeText);
        break;
    default:
        *failure = outcome.errorText;
        result = outcome.networkError == QNetworkReply::SslHandshakeFailedError
            ? failed(outcome.networkError, TlsErrorKey, TlsErrorText)
            : failed(outcome.networkError, NetworkErrorKey, NetworkErrorText);
    }
    result.httpStatus = outcome.httpStatus;
    return result;
}

} // namespace

RestClient::Result veltanetwork::answerResult(int httpStatus, int networkError,
    const QByteArray &body)
{
    RestClient::Result result;
    result.completed = true;
    result.httpStatus = httpStatus;
    result.networkError = networkError;
    result.body = body;
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isObject())
        result.json = document.object();
    return result;
}

RestClient::RestClient() = default;
RestClient::~RestClient() = default;

void RestClient::setTimeout(qint64 milliseconds)
{
    m_timeout = milliseconds;
}

void RestClient::setLogger(Log4Qt::Logger *const logger)
{
    m_logger = logger;
}

RestClient::Result RestClient::result() const
{
    return m_result;
}

bool RestClient::request(const int &operation, const QUrl &url, const QJsonDocument &body,
    const QHash<QString, QString> &headers)
{
    QElapsedTimer clock;
    clock.start();
    const char *verb = verbOf(operation);
    logInfo(m_logger, RequestLine,
        QStringLiteral("%1 %2").arg(QString::fromLatin1(verb ? verb : "?"),
            loggedAddress(url)));
    QString failure = requestProblem(operation, url, headers);
    if (!failure.isEmpty()) {
        m_result
            = failed(QNetworkReply::ProtocolInvalidOperationError, BadRequestKey, BadRequestText);
    } else {
        const QByteArray payload = carriesBody(operation) && !body.isNull()
            ? body.toJson(QJsonDocument::Compact)
            : QByteArray();
        const qint64 timeout = m_timeout > 0 ? m_timeout : DefaultTimeout;
        Exchange exchange(timeout, MaxBodySize);
        const Exchange::Outcome outcome = exchange.run(QNetworkAccessManager::Operation(operation),
            buildRequest(url, headers, !payload.isEmpty(), m_logger), payload);
        m_result = outcome.state == Exchange::State::Completed ? completed(outcome)
                                                               : broken(outcome, timeout, &failure);
    }
    logOutcome(withoutUserInfo(failure, url), clock.elapsed());
    return m_result.completed;
}

void RestClient::logOutcome(const QString &failure, qint64 elapsed) const
{
    const QString milliseconds = QString::number(elapsed);
    if (m_result.completed) {
        logInfo(m_logger, AnswerLine,
            details(AnswerDetails)
                .arg(QString::number(m_result.httpStatus), QString::number(m_result.body.size()),
                    milliseconds));
    } else {
        logError(m_logger, FailureLine, details(FailureDetails).arg(failure, milliseconds));
    }
}
