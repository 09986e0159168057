#include "vesanu/api/waitgate.h"

#include <QDeadlineTimer>

// Qt's mutex does its locking inside Qt, where the thread sanitizer does not
// look; these tell it what the mutex does, so that it judges our accesses
// and not Qt's. They compile to nothing in every other build.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#define VESANU_TSAN_ACQUIRE(address) __tsan_acquire(address)
#define VESANU_TSAN_RELEASE(address) __tsan_release(address)
#else
#define VESANU_TSAN_ACQUIRE(address) static_cast<void>(address)
#define VESANU_TSAN_RELEASE(address) static_cast<void>(address)
#endif

namespace vesanu {
namespace api {

namespace {

class Locker
{
public:
    explicit Locker(QMutex &mutex)
        : m_mutex(mutex)
    {
        m_mutex.lock();
        VESANU_TSAN_ACQUIRE(&m_mutex);
    }
    ~Locker()
    {
        VESANU_TSAN_RELEASE(&m_mutex);
        m_mutex.unlock();
    }
    Locker(const Locker &) = delete;
    Locker &operator=(const Locker &) = delete;

private:
    QMutex &m_mutex;
};

} // namespace

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
    const Locker lock(m_mutex);
    m_open = true;
    m_interrupted = false;
}

void WaitGate::close()
{
    const Locker lock(m_mutex);
    m_open = false;
    m_interrupted = false;
}

bool WaitGate::interrupt()
{
    {
        const Locker lock(m_mutex);
        if (!m_open)
            return false;
        m_interrupted = true;
    }
    m_woken.wakeAll();
    return true;
}

bool WaitGate::isInterrupted() const
{
    const Locker lock(m_mutex);
    return m_interrupted;
}

void WaitGate::sleepUntil(TimePoint until)
{
    if (m_clock.sleepUntil) {
        m_clock.sleepUntil(until);
        return;
    }
    const Locker lock(m_mutex);
    // Both clocks are the system's monotonic one; a wake-up before `until`
    // without an interrupt sleeps again for what is left.
    while (!m_interrupted) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        VESANU_TSAN_RELEASE(&m_mutex);
        m_woken.wait(&m_mutex, QDeadlineTimer(qint64(left.count()), Qt::PreciseTimer));
        VESANU_TSAN_ACQUIRE(&m_mutex);
    }
}

} // namespace api
} // namespace vesanu
