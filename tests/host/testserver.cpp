#include "testserver.h"

TestServer::TestServer()
    : m_server(std::make_unique<httplib::Server>())
    , m_scheme(QStringLiteral("http"))
{
}

TestServer::TestServer(const QString &certificateFile, const QString &keyFile)
    : m_server(std::make_unique<httplib::SSLServer>(
        certificateFile.toLocal8Bit().constData(), keyFile.toLocal8Bit().constData()))
    , m_scheme(QStringLiteral("https"))
{
}

TestServer::~TestServer()
{
    release();
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void TestServer::start()
{
    // A connection that stops sending must not keep stop() waiting.
    m_server->set_read_timeout(1, 0);
    m_server->set_keep_alive_timeout(1);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() does nothing to a server that is not running yet, and the
    // destructor would then wait on it for ever.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_server->is_running() && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

QUrl TestServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(m_scheme, QString::number(m_port), path));
}

void TestServer::record(const httplib::Request &request)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back({ request.method, request.path, request.headers, request.body });
}

std::vector<TestServer::Request> TestServer::requests() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

bool TestServer::waitForRelease(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_released.wait_for(lock, limit, [this] { return m_isReleased; });
}

void TestServer::release()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_isReleased = true;
    }
    m_released.notify_all();
}
