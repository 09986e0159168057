#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>
#include <QStringList>

class QEventLoop;
class QIODevice;
class QNetworkReply;
class QNetworkRequest;

namespace veltanetwork {

// Runs one HTTP exchange to its end in a local event loop, so it works
// whether or not an application loop is running. The deadline covers the
// whole exchange: name lookup, connection, TLS handshake and a slowly
// dripping answer alike. An answer body over the size limit is not read to
// its end. Redirects are not followed. Internal to libveltanetwork.
class Exchange
{
public:
    enum class State { Completed, TimedOut, TooLarge, Failed };

    struct Outcome
    {
        State state = State::Failed;
        int httpStatus = 0;
        int networkError = 0;
        // Qt's description of a failure; empty otherwise.
        QString errorText;
        // The answer body; empty unless the state is Completed.
        QByteArray body;
    };

    Exchange(qint64 timeout, qint64 maxBodySize);

    Outcome run(QNetworkAccessManager::Operation operation, const QNetworkRequest &request,
        const QByteArray &payload);

private:
    static QNetworkReply *send(QNetworkAccessManager &manager,
        QNetworkAccessManager::Operation operation, QNetworkRequest request, QIODevice &body);
    void limitReadBuffer(QNetworkReply *reply) const;
    void watch(QNetworkReply *reply);
    void checkDeclaredLength(QNetworkReply *reply);
    void collect(QNetworkReply *reply);
    void stop(QNetworkReply *reply, State state);
    void conclude(QNetworkReply *reply);

    const qint64 m_timeout;
    const qint64 m_maxBodySize;
    QEventLoop *m_loop = nullptr;
    bool m_stopped = false;
    QStringList m_sslErrors;
    Outcome m_outcome;
};

} // namespace veltanetwork
