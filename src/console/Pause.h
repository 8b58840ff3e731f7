// A pause that keeps the program alive: it returns after the given time and runs every other
// event (ticks, clicks, host events) while it waits, nested inside the caller. Every pause waits
// its own time; a pause nested inside it may only keep it waiting longer.
#pragma once

#include <cstdint>
#include <functional>

namespace hourmark {

class Pause {
public:
    // Asked after every event the pause ran, with the milliseconds waited so far: true ends the
    // pause there.
    using Over = std::function<bool(std::int64_t waitedMs)>;

    virtual ~Pause() = default;
    // Returns the milliseconds waited, on a clock that nobody sets: at least the time asked for,
    // unless `over` ended the pause earlier.
    virtual std::int64_t WaitUpTo(std::int64_t milliseconds, const Over& over) = 0;
    void WaitMilliseconds(std::int64_t milliseconds) { WaitUpTo(milliseconds, nullptr); }
};

}  // namespace hourmark
