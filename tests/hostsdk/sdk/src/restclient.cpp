#include "network/restclient.h"

#include "log4qt/logger.h"

#include <QElapsedTimer>

#include <httplib.h>

#include <chrono>

// The library provides the factory of its client to every module.
template class MockFactory<RestClient>;

namespace {

constexpr int OperationGet = 2;
constexpr int OperationPost = 4;
constexpr int OperationDelete = 5;

const char *verb(int operation)
{
    switch (operation) {
    case OperationGet:
        return "GET";
    case OperationPost:
        return "POST";
    case OperationDelete:
        return "DELETE";
    default:
        return "?";
    }
}

httplib::Result send(httplib::Client &client, int operation, const std::string &target,
                     const httplib::Headers &headers, const std::string &contentType,
                     const QJsonDocument &body)
{
    switch (operation) {
    case OperationGet:
        return client.Get(target, headers);
    case OperationDelete:
        return client.Delete(target, headers);
    default:
        return client.Post(target, headers, body.toJson(QJsonDocument::Compact).toStdString(),
                           contentType);
    }
}

} // namespace

RestClient::RestClient() = default;
RestClient::~RestClient() = default;

QString RestClient::userAgent() const
{
    return QStringLiteral("velta-test-sdk");
}

RestClient::Result RestClient::result() const
{
    return m_result;
}

int RestClient::attempts() const
{
    return m_attempts;
}

void RestClient::setTimeout(qint64 milliseconds)
{
    m_timeout = milliseconds > 0 ? milliseconds : 30000;
}

void RestClient::setLogger(Log4Qt::Logger *const logger)
{
    m_logger = logger;
}

bool RestClient::request(const int &operation, const QUrl &url, const QJsonDocument &body,
                         const QHash<QString, QString> &headers)
{
    QElapsedTimer timer;
    timer.start();
    m_result = Result();
    ++m_attempts;
    if (url.scheme() != QLatin1String("http") || url.host().isEmpty()
        || (operation != OperationGet && operation != OperationPost && operation != OperationDelete)) {
        finish(QStringLiteral("unsupported request"), timer.elapsed());
        return false;
    }

    httplib::Client client(url.host().toStdString(), url.port(80));
    const auto timeout = std::chrono::milliseconds(m_timeout);
    client.set_connection_timeout(timeout);
    client.set_read_timeout(timeout);
    client.set_write_timeout(timeout);
    // The content type goes with the body, once.
    std::string contentType = "application/json";
    httplib::Headers sent{{"User-Agent", userAgent().toStdString()}};
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
        if (it.key().compare(QLatin1String("Content-Type"), Qt::CaseInsensitive) == 0)
            contentType = it.value().toStdString();
        else
            sent.emplace(it.key().toStdString(), it.value().toStdString());
    }
    const QByteArray target = url.path(QUrl::FullyEncoded).toUtf8()
                              + (url.hasQuery() ? '?' + url.query(QUrl::FullyEncoded).toUtf8() : QByteArray());

    const httplib::Result answer = send(client, operation, target.toStdString(), sent, contentType, body);
    if (!answer) {
        m_result.timedOut = answer.error() == httplib::Error::Read
                            || answer.error() == httplib::Error::ConnectionTimeout;
        finish(QString::fromStdString(httplib::to_string(answer.error())), timer.elapsed());
        return false;
    }
    m_result.raw = QByteArray::fromStdString(answer->body);
    const QJsonDocument json = QJsonDocument::fromJson(m_result.raw);
    if (json.isObject())
        m_result.json = json.object();
    finish(QString(), timer.elapsed());
    if (m_logger)
        m_logger->info("HTTP %1", QStringLiteral("%1 %2: %3")
                                      .arg(QLatin1String(verb(operation)), url.toDisplayString(QUrl::RemoveUserInfo))
                                      .arg(answer->status));
    return answer->status >= 200 && answer->status < 300;
}

void RestClient::finish(const QString &failure, qint64 elapsedMs)
{
    m_result.elapsedMs = elapsedMs;
    m_result.failure = failure;
    if (!failure.isEmpty()) {
        m_result.message = tr::Tr(QStringLiteral("restClientFailed"), failure);
        if (m_logger)
            m_logger->error("HTTP failed: %1", failure);
    }
}
