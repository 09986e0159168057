#include "stopsignal.h"

#include "simconstants.h"

#include <algorithm>
#include <chrono>

namespace sim {

void StopSignal::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
}

bool StopSignal::isStopped() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stopped;
}

bool StopSignal::wait(int ms, const std::function<bool()> &abandon) const
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= end)
            return true;
        const Clock::time_point sliceEnd
            = std::min(end, now + std::chrono::milliseconds(limit::WaitSliceMs));
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_changed.wait_until(lock, sliceEnd, [this] { return m_stopped; }))
                return false;
        }
        if (abandon && abandon())
            return false;
    }
}

} // namespace sim
