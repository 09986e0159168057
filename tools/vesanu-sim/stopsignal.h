#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

namespace sim {

// Lets every waiting handler know at once that the server is stopping, so
// that no fault holds up shutdown.
class StopSignal
{
public:
    void stop();
    bool isStopped() const;
    // Waits up to ms milliseconds. True when the whole time passed; false
    // when the server stops first or `abandon` returns true (asked every slice).
    bool wait(int ms, const std::function<bool()> &abandon = nullptr) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stopped = false;
};

} // namespace sim
