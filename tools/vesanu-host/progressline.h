#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vesanuhost {

// The live "waiting" line on stderr while a payment blocks the main thread
// in the plug-in: elapsed time and status queries so far, redrawn a few
// times a second from a thread of its own. Stops (and wipes the line) on
// stop() or destruction.
class ProgressLine
{
public:
    using Counter = std::function<int()>;

    explicit ProgressLine(Counter statusQueries);
    ~ProgressLine();
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void start();
    void stop();

    static QString text(std::chrono::milliseconds elapsed, int statusQueries);

private:
    void run();

    Counter m_statusQueries;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace vesanuhost
