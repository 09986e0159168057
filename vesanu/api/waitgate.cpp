#include "vesanu/api/waitgate.h"

#include <QDeadlineTimer>

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
    const QMutexLocker lock(&m_mutex);
    m_open = true;
    m_interrupted = false;
}

void WaitGate::close()
{
    const QMutexLocker lock(&m_mutex);
    m_open = false;
    m_interrupted = false;
}

bool WaitGate::interrupt()
{
    {
        const QMutexLocker lock(&m_mutex);
        if (!m_open)
            return false;
        m_interrupted = true;
    }
    m_woken.wakeAll();
    return true;
}

bool WaitGate::isInterrupted() const
{
    const QMutexLocker lock(&m_mutex);
    return m_interrupted;
}

void WaitGate::sleepUntil(TimePoint until)
{
    if (m_clock.sleepUntil) {
        m_clock.sleepUntil(until);
        return;
    }
    const QMutexLocker lock(&m_mutex);
    // Both clocks are the system's monotonic one; a wake-up before `until`
    // without an interrupt sleeps again for what is left.
    while (!m_interrupted) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        m_woken.wait(&m_mutex, QDeadlineTimer(qint64(left.count()), Qt::PreciseTimer));
    }
}

} // namespace api
} // namespace vesanu
