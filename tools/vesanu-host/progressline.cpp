#include "progressline.h"

#include "console.h"

namespace vesanuhost {

namespace {
constexpr std::chrono::milliseconds RefreshInterval(200);
}

ProgressLine::ProgressLine(Counter statusQueries)
    : m_statusQueries(std::move(statusQueries))
{
}

ProgressLine::~ProgressLine()
{
    stop();
}

void ProgressLine::start()
{
    if (m_thread.joinable())
        return;
    m_stopping = false;
    m_start = std::chrono::steady_clock::now();
    m_thread = std::thread(&ProgressLine::run, this);
}

void ProgressLine::stop()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
    Console::clearLive();
}

QString ProgressLine::text(std::chrono::milliseconds elapsed, int statusQueries)
{
    const qint64 tenths = elapsed.count() / 100;
    return QStringLiteral("waiting for the service: %1.%2 s, %3 status %4")
        .arg(tenths / 10)
        .arg(tenths % 10)
        .arg(statusQueries)
        .arg(statusQueries == 1 ? QStringLiteral("query") : QStringLiteral("queries"));
}

void ProgressLine::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - m_start);
        Console::showLive(text(elapsed, m_statusQueries()));
        m_wake.wait_for(lock, RefreshInterval, [this] { return m_stopping; });
    }
}

} // namespace vesanuhost
