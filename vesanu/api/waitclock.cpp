#include "vesanu/api/waitclock.h"

namespace vesanu {
namespace api {

WaitClock WaitClock::steady()
{
    WaitClock clock;
    clock.now = [] { return std::chrono::steady_clock::now(); };
    return clock;
}

} // namespace api
} // namespace vesanu
