// The two pauses that keep the program alive while a handler waits: everything else (ticks,
// clicks, host events) runs nested inside them.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "console/Station.h"

namespace hourmark {

namespace {

// Far beyond any pause worth asking for, and well inside what a 64-bit count holds.
constexpr double kLongestPauseMs = 1e15;

std::int64_t PauseMilliseconds(float seconds) {
    const double ms = static_cast<double>(seconds) * 1000.0;
    if (!(ms > 0)) {
        return 0;  // zero, negative, or not a number
    }
    return std::llround(std::min(ms, kLongestPauseMs));
}

}  // namespace

void Station::WaitSeconds(std::int32_t seconds) {
    dispatcher().DeliverHeld();
    // A negative count (a hand-edited settings file) waits nothing; events still get one pass.
    const std::int64_t ms = seconds > 0 ? static_cast<std::int64_t>(seconds) * 1000 : 0;
    ports_.pause.WaitMilliseconds(ms);
}

void Station::KillTime(const float& pauseTime) {
    if (PauseMilliseconds(pauseTime) <= 0) {
        return;  // nothing to wait for, and no events run
    }
    dispatcher().DeliverHeld();
    // Time is counted on the pause's own clock, which neither midnight nor a clock set by hand
    // moves. The caller's count is read again after every event the pause runs: shortened, it
    // ends the pause there; lengthened, it keeps the pause waiting.
    std::int64_t elapsed = 0;
    for (std::int64_t target = PauseMilliseconds(pauseTime); elapsed < target;
         target = PauseMilliseconds(pauseTime)) {
        const std::int64_t before = elapsed;
        elapsed += ports_.pause.WaitUpTo(target - elapsed, [&](std::int64_t waited) {
            return before + waited >= PauseMilliseconds(pauseTime);
        });
    }
}

}  // namespace hourmark
