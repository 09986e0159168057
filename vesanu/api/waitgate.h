#pragma once

#include "vesanu/api/waitclock.h"

#include <QMutex>
#include <QWaitCondition>

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

    // Open for as long as it lives.
    class Session
    {
    public:
        explicit Session(WaitGate &gate)
            : m_gate(gate)
        {
            m_gate.open();
        }
        ~Session() { m_gate.close(); }
        Session(const Session &) = delete;
        Session &operator=(const Session &) = delete;

    private:
        WaitGate &m_gate;
    };

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
    // Qt's rather than the standard library's: std::condition_variable's
    // wait on the steady clock needs a C library from 2021 (glibc 2.34),
    // which registers in the field may not have.
    mutable QMutex m_mutex;
    QWaitCondition m_woken;
    bool m_open = false;
    bool m_interrupted = false;
};

} // namespace api
} // namespace vesanu
