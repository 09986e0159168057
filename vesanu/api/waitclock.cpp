#include "vesanu/api/waitclock.h"

#include <thread>

namespace vesanu {
namespace api {

WaitClock WaitClock::steady()
{
    WaitClock clock;
    clock.now = [] { return std::chrono::steady_clock::now(); };
    clock.sleepUntil = [](TimePoint until) { std::this_thread::sleep_until(until); };
    return clock;
}

} // namespace api
} // namespace vesanu
