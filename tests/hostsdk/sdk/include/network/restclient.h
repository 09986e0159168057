#pragma once

#include "network/mockfactory.h"
#include "tr/tr.h"

#include <QByteArray>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QUrl>

namespace Log4Qt {
class Logger;
}

// The test SDK's blocking HTTP client, on cpp-httplib (http only).
class RestClient : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        qint64 elapsedMs = 0;
        bool timedOut = false;
        QString failure;
        tr::Tr message;
        QJsonObject json;
        QByteArray raw;
    };

    RestClient();
    ~RestClient() override;

    virtual QString userAgent() const;
    virtual Result result() const;
    // Operation codes as QNetworkAccessManager::Operation: 2 GET, 4 POST, 5 DELETE.
    virtual bool request(const int &operation, const QUrl &url, const QJsonDocument &body,
                         const QHash<QString, QString> &headers);
    virtual int attempts() const;
    virtual void setTimeout(qint64 milliseconds);
    void setLogger(Log4Qt::Logger *const logger);

private:
    void finish(const QString &failure, qint64 elapsedMs);

    Log4Qt::Logger *m_logger = nullptr;
    Result m_result;
    qint64 m_timeout = 30000;
    int m_attempts = 0;
};
