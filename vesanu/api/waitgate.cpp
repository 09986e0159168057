#include "vesanu/api/waitgate.h"

namespace vesanu {
namespace api {

WaitGate::WaitGate(const WaitClock &clock)
    : m_clock(clock)
{
}

// Not while a payment runs: only the thread that runs payments sets it.
void WaitGate::setClock(const WaitClock &clock)
{
    m_clock = clock;
}

WaitGate::TimePoint WaitGate::now() const
{
    return m_clock.now();
}

void WaitGate::open()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
    m_interrupted = false;
}

void WaitGate::close()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_open = false;
    m_interrupted = false;
}

bool WaitGate::interrupt()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_open)
            return false;
        m_interrupted = true;
    }
    m_woken.notify_all();
    return true;
}

bool WaitGate::isInterrupted() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_interrupted;
}

void WaitGate::sleepUntil(TimePoint until)
{
    if (m_clock.sleepUntil) {
        m_clock.sleepUntil(until);
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_woken.wait_until(lock, until, [this] { return m_interrupted; });
}

} // namespace api
} // namespace vesanu
