#pragma once

#include <chrono>
#include <functional>

namespace vesanu {
namespace api {

// The clock and the sleep of a status wait, handed in so that a test can run
// a five-minute wait in microseconds.
struct WaitClock
{
    using TimePoint = std::chrono::steady_clock::time_point;

    std::function<TimePoint()> now;
    // Empty: the wait sleeps on the monotonic clock, and an interrupt from
    // another thread wakes it (see WaitGate).
    std::function<void(TimePoint)> sleepUntil;

    // The monotonic clock, with no sleep of its own.
    static WaitClock steady();
};

} // namespace api
} // namespace vesanu
