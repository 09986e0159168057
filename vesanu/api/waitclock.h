#pragma once

#include <chrono>
#include <functional>

namespace vesanu {
namespace api {

// The clock and the sleep of a status wait, handed in so that a test can run
// a five-minute wait in microseconds. The default is the monotonic clock.
struct WaitClock
{
    using TimePoint = std::chrono::steady_clock::time_point;

    std::function<TimePoint()> now;
    std::function<void(TimePoint)> sleepUntil;

    static WaitClock steady();
};

} // namespace api
} // namespace vesanu
