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

// The host's blocking HTTP/HTTPS client: one object per exchange.
//
// TLS certificates are verified against the system's trusted authorities.
// A host that talks to a server with a private authority names a PEM file of
// extra trusted certificates in the environment variable VELTA_NETWORK_CA_FILE.
class RestClient : public QObject
{
    Q_OBJECT

public:
    // Operation codes follow QNetworkAccessManager::Operation.
    enum Operation { Head = 1, Get = 2, Put = 3, Post = 4, Delete = 5 };

    // What one finished exchange produced.
    struct Result
    {
        // An HTTP answer arrived in full (whatever its status code). False for
        // a refused connection, a TLS failure, a time-out or an oversized body.
        bool completed = false;
        int httpStatus = 0;
        // QNetworkReply::NetworkError of the exchange; 0 when there was none.
        int networkError = 0;
        // What went wrong, for people; empty when the exchange completed.
        tr::Tr error;
        // The body when it is a JSON object, else empty.
        QJsonObject json;
        QByteArray body;
    };

    // Bodies larger than this are not read to the end: the exchange fails.
    static constexpr qint64 MaxBodySize = 1024 * 1024;

    RestClient();
    ~RestClient() override;

    // Zero or less stands for the default of 30 seconds: an exchange always
    // has a deadline.
    virtual void setTimeout(qint64 milliseconds);
    void setLogger(Log4Qt::Logger *const logger);

    // Blocks until the exchange is over: answered, failed or timed out. The
    // whole exchange, connection and TLS handshake included, never takes
    // longer than the time-out. Returns Result::completed.
    //
    // PUT and POST send the document as compact JSON; the other operations
    // send no body. Only http and https addresses are served. A header whose
    // name is not an HTTP token or whose value holds a control character
    // (a line break, say) fails the request before anything is sent.
    virtual bool request(const int &operation, const QUrl &url, const QJsonDocument &body,
                         const QHash<QString, QString> &headers);
    virtual Result result() const;

private:
    void logOutcome(const QString &failure, qint64 elapsed) const;

    qint64 m_timeout = 30000;
    Log4Qt::Logger *m_logger = nullptr;
    Result m_result;
};

template<>
MockFactory<RestClient>::Creator MockFactory<RestClient>::creator;
template<>
QSharedPointer<RestClient> MockFactory<RestClient>::defaultCreator();
