#include "progressline.h"

#include "console.h"

namespace vesanuhost {

namespace {
constexpr std::chrono::milliseconds RefreshInterval(200);
}

ProgressLine::ProgressLine(Counter statusQueries, std::chrono::seconds limit, const QString &hint)
    : m_statusQueries(std::move(statusQueries))
    , m_limit(limit)
    , m_hint(hint)
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

QString ProgressLine::text(std::chrono::milliseconds elapsed, std::chrono::seconds limit, int statusQueries,
                          const QString &hint)
{
    const qint64 tenths = elapsed.count() / 100;
    const QString line = QStringLiteral("waiting for the service: %1.%2 of %3 s, %4 status %5")
                             .arg(tenths / 10)
                             .arg(tenths % 10)
                             .arg(limit.count())
                             .arg(statusQueries)
                             .arg(statusQueries == 1 ? QStringLiteral("query") : QStringLiteral("queries"));
    return hint.isEmpty() ? line : line + QStringLiteral("; ") + hint;
}

void ProgressLine::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - m_start);
        Console::showLive(text(elapsed, m_limit, m_statusQueries(), m_hint));
        m_wake.wait_for(lock, RefreshInterval, [this] { return m_stopping; });
    }
}

} // namespace vesanuhost
