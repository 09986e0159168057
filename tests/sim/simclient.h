#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUrl>

// A signed client of the simulator for tests, as the plug-in would talk to it.
class SimClient
{
public:
    struct Reply
    {
        bool delivered = false; // a complete HTTP answer arrived
        int httpStatus = 0;
        QByteArray body;
        QJsonObject json() const;
        int errorCode() const;
        int paymentStatus() const;
    };

    SimClient(const QUrl &apiUrl, const QString &branchId, const QString &secret);

    Reply pay(const QString &transactionId, const QString &token, qint64 amount = 1500,
        const QString &cashbox = QStringLiteral("cb-1"));
    Reply status(const QString &transactionId);
    Reply reverse(const QString &transactionId);
    Reply submitQrCode(const QString &transactionId, const QString &qrCode);
    Reply postRaw(const QString &path, const QByteArray &body,
        const QByteArray &contentType = "application/json");

    // Replaces the "Auth" value of the following requests; empty = sign normally.
    void setAuth(const QByteArray &auth) { m_auth = auth; }
    void setClockOffset(qint64 seconds) { m_clockOffset = seconds; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    Reply send(const char *method, const QString &path, const QByteArray &body,
        const QByteArray &contentType);
    QByteArray auth() const;

    QUrl m_apiUrl;
    QString m_branchId;
    QString m_secret;
    QByteArray m_auth;
    qint64 m_clockOffset = 0;
    int m_timeoutMs = 5000;
};
