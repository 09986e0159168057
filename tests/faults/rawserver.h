#pragma once

#include <QSemaphore>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <memory>

class QTcpSocket;

// A bare HTTP peer on loopback, on a thread of its own so that it keeps
// misbehaving while the test's thread is blocked in the plug-in. It is not a
// service: nothing it receives is ever carried out.
class RawServer
{
public:
    enum class Behaviour {
        // Accepts, reads and never writes a byte.
        Silent,
        // Answers 200 with a chunked body (no length announced) of 50 MiB,
        // as fast as the client reads.
        HugeChunked,
    };

    explicit RawServer(Behaviour behaviour);
    ~RawServer();

    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    bool isListening() const { return m_port != 0; }
    QUrl baseUrl() const;
    int connections() const { return m_connections; }
    qint64 bytesReceived() const { return m_received; }
    qint64 bytesSent() const { return m_sent; }

    static constexpr qint64 HugeBodySize = 50 * 1024 * 1024;

private:
    void serve();
    void handle(QTcpSocket *socket);
    void streamHugeAnswer(QTcpSocket *socket, qint64 *written);

    const Behaviour m_behaviour;
    std::unique_ptr<QThread> m_thread;
    QSemaphore m_ready;
    std::atomic<quint16> m_port { 0 };
    std::atomic<int> m_connections { 0 };
    std::atomic<qint64> m_received { 0 };
    std::atomic<qint64> m_sent { 0 };
};
