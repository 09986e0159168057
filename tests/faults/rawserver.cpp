#include "rawserver.h"

#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const int kStartTimeoutMs = 5000;
const qint64 kChunkSize = 64 * 1024;
// Keeps what waits in the socket's buffer small: the test measures the
// client's memory, not ours.
const qint64 kMaxQueued = 256 * 1024;

const char kHugeHeaders[] = "HTTP/1.1 200 OK\r\n"
                            "Content-Type: application/json\r\n"
                            "Transfer-Encoding: chunked\r\n"
                            "Connection: close\r\n\r\n";
const char kHugePrefix[] = R"({"error_code":0,"payment_status":2,"payment_id":1,"padding":")";

QByteArray chunk(const QByteArray &data)
{
    return QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n";
}

} // namespace

RawServer::RawServer(Behaviour behaviour)
    : m_behaviour(behaviour)
    , m_thread(QThread::create([this] { serve(); }))
{
    m_thread->start();
    m_ready.tryAcquire(1, kStartTimeoutMs);
}

RawServer::~RawServer()
{
    // Ends the event loop that serve() runs on the server's thread.
    m_thread->quit();
    m_thread->wait();
}

QUrl RawServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port.load()));
}

void RawServer::serve()
{
    QTcpServer server;
    if (server.listen(QHostAddress::LocalHost, 0))
        m_port = server.serverPort();
    m_ready.release();
    if (!server.isListening())
        return;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            handle(socket); // a child of the server
    });
    QEventLoop loop;
    loop.exec();
}

void RawServer::handle(QTcpSocket *socket)
{
    ++m_connections;
    auto head = std::make_shared<QByteArray>();
    auto written = std::make_shared<qint64>(-1); // -1: the answer has not started
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head, written] {
        const QByteArray data = socket->readAll();
        m_received += data.size();
        if (m_behaviour == Behaviour::Silent || *written >= 0)
            return;
        head->append(data);
        if (head->contains("\r\n\r\n")) {
            *written = 0;
            socket->write(kHugeHeaders);
            streamHugeAnswer(socket, written.get());
        }
    });
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket, written] {
        if (*written >= 0)
            streamHugeAnswer(socket, written.get());
    });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void RawServer::streamHugeAnswer(QTcpSocket *socket, qint64 *written)
{
    static const QByteArray filler(kChunkSize, 'x');
    while (*written < HugeBodySize && socket->bytesToWrite() < kMaxQueued
        && socket->state() == QAbstractSocket::ConnectedState) {
        const QByteArray data = *written == 0 ? QByteArray(kHugePrefix) : filler;
        *written += data.size();
        m_sent += data.size();
        socket->write(chunk(data));
        if (*written >= HugeBodySize)
            socket->write(chunk("\"}") + chunk(QByteArray()));
    }
}
