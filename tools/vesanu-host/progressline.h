#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vesanuhost {

// The live "waiting" line on stderr while a payment blocks the main thread
// in the plug-in: elapsed time against the plug-in's limit, status queries
// so far and how to stop, redrawn a few times a second from a thread of its
// own. Stops (and wipes the line) on stop() or destruction.
class ProgressLine
{
public:
    using Counter = std::function<int()>;

    // `limit`: the plug-in's payDuration; `hint`: how to stop, or empty.
    ProgressLine(Counter statusQueries, std::chrono::seconds limit, const QString &hint);
    ~ProgressLine();
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void start();
    void stop();

    static QString text(std::chrono::milliseconds elapsed, std::chrono::seconds limit, int statusQueries,
                        const QString &hint);

private:
    void run();

    Counter m_statusQueries;
    std::chrono::seconds m_limit;
    QString m_hint;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace vesanuhost
