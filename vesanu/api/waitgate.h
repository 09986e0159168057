#pragma once

#include "vesanu/api/waitclock.h"

#include <condition_variable>
#include <mutex>

namespace vesanu {
namespace api {

// Where a payment's course sleeps, and the one thing that wakes it early:
// the cashier's interrupt, which may come from any thread. Between open()
// and close() a payment is running and an interrupt is taken; at any other
// time it is refused and changes nothing.
class WaitGate
{
public:
    using TimePoint = WaitClock::TimePoint;

    explicit WaitGate(const WaitClock &clock);

    WaitGate(const WaitGate &) = delete;
    WaitGate &operator=(const WaitGate &) = delete;

    void setClock(const WaitClock &clock);
    TimePoint now() const;

    // A payment's course begins: it may be interrupted from now on.
    void open();
    // Its end is decided: later interrupts are refused.
    void close();

    // Any thread: true when a running payment took the interrupt.
    bool interrupt();
    bool isInterrupted() const;

    // Returns at `until`, or at once when an interrupt comes in.
    void sleepUntil(TimePoint until);

private:
    WaitClock m_clock;
    mutable std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_open = false;
    bool m_interrupted = false;
};

} // namespace api
} // namespace vesanu
