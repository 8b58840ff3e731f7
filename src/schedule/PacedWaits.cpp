// The two pauses that keep the program alive while a handler waits: everything else (ticks,
// clicks, host events) runs nested inside them.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>

#include "console/Station.h"

namespace hourmark {

namespace {

// The local clock on one running count, so that a pause can bridge midnight.
std::int64_t LocalMilliseconds(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days date = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                         day{static_cast<unsigned>(t.day)}};
    const std::int64_t days = date.time_since_epoch().count();
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000LL + t.second * 1000LL + t.millisecond;
}

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
    std::int64_t elapsed = 0;
    std::int64_t last = LocalMilliseconds(Now());
    // The caller's count is read again on every pass.
    for (std::int64_t target = PauseMilliseconds(pauseTime); elapsed < target;
         target = PauseMilliseconds(pauseTime)) {
        const std::int64_t slice = target - elapsed;
        ports_.pause.WaitMilliseconds(slice);
        const std::int64_t now = LocalMilliseconds(Now());
        // The pause waited at least its slice; the clock can only tell that it waited longer
        // (a nested pause). A clock set back, at midnight or by hand, takes nothing away.
        elapsed += std::max(now - last, slice);
        last = now;
    }
}

}  // namespace hourmark
