#include "simclient.h"

#include "simulatorprocess.h"

#include <QJsonDocument>
#include <httplib.h>

QJsonObject SimClient::Reply::json() const
{
    return QJsonDocument::fromJson(body).object();
}

int SimClient::Reply::errorCode() const
{
    return json().value(QStringLiteral("error_code")).toInt(-12345);
}

int SimClient::Reply::paymentStatus() const
{
    return json().value(QStringLiteral("payment_status")).toInt(-12345);
}

SimClient::SimClient(const QUrl &apiUrl, const QString &branchId, const QString &secret)
    : m_apiUrl(apiUrl)
    , m_branchId(branchId)
    , m_secret(secret)
{
}

SimClient::Reply SimClient::pay(
    const QString &transactionId, const QString &token, qint64 amount, const QString &cashbox)
{
    QJsonObject body;
    body.insert(QStringLiteral("amount"), amount);
    body.insert(QStringLiteral("otp_data"), token);
    body.insert(QStringLiteral("cashbox_code"), cashbox);
    body.insert(QStringLiteral("transaction_id"), transactionId);
    return postRaw(QStringLiteral("/payment"), QJsonDocument(body).toJson(QJsonDocument::Compact));
}

SimClient::Reply SimClient::status(const QString &transactionId)
{
    return send(
        "GET", QStringLiteral("/payment/status/") + transactionId, QByteArray(), QByteArray());
}

SimClient::Reply SimClient::reverse(const QString &transactionId)
{
    return send(
        "DELETE", QStringLiteral("/payment/reversal/") + transactionId, QByteArray(), QByteArray());
}

SimClient::Reply SimClient::submitQrCode(const QString &transactionId, const QString &qrCode)
{
    QJsonObject body;
    body.insert(QStringLiteral("transaction_id"), transactionId);
    body.insert(QStringLiteral("qrcode"), qrCode);
    return postRaw(QStringLiteral("/payment/ofd_data/submit_qrcode"),
        QJsonDocument(body).toJson(QJsonDocument::Compact));
}

SimClient::Reply SimClient::postRaw(
    const QString &path, const QByteArray &body, const QByteArray &contentType)
{
    return send("POST", path, body, contentType);
}

SimClient::Reply SimClient::send(
    const char *method, const QString &path, const QByteArray &body, const QByteArray &contentType)
{
    QUrl origin = m_apiUrl;
    origin.setPath(QString());
    httplib::Client client(origin.toString(QUrl::RemoveUserInfo).toStdString());
    client.enable_server_certificate_verification(false);
    client.set_connection_timeout(std::chrono::milliseconds(m_timeoutMs));
    client.set_read_timeout(std::chrono::milliseconds(m_timeoutMs));
    httplib::Request request;
    request.method = method;
    request.path = QUrl(m_apiUrl.path() + path).toString(QUrl::FullyEncoded).toStdString();
    request.set_header("Accept", "application/json");
    request.set_header("Auth", auth().toStdString());
    if (!contentType.isEmpty())
        request.set_header("Content-Type", contentType.toStdString());
    request.body = body.toStdString();
    const httplib::Result result = client.send(request);
    Reply reply;
    if (result) {
        reply.delivered = true;
        reply.httpStatus = result->status;
        reply.body = QByteArray::fromStdString(result->body);
    }
    return reply;
}

QByteArray SimClient::auth() const
{
    if (!m_auth.isEmpty())
        return m_auth;
    return SimulatorProcess::authHeader(
        m_branchId, m_secret, QDateTime::currentSecsSinceEpoch() + m_clockOffset);
}
