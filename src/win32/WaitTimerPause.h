// The pause the station waits in: a waitable timer of its own for every pause (unnamed, so no
// other pause and no other copy of the program can move its end), woken by every kind of window
// message so that ticks, clicks and host events run while it waits.
#pragma once

#include "win32/WinApi.h"

#include <cstdint>

#include "console/Pause.h"

namespace hourmark::win32 {

class WaitTimerPause : public Pause {
public:
    // Makes a timer armed to fire once after the time, or null when it cannot.
    using TimerMaker = HANDLE (*)(std::int64_t milliseconds);
    static HANDLE MakeArmedTimer(std::int64_t milliseconds);

    explicit WaitTimerPause(TimerMaker makeTimer = MakeArmedTimer) : makeTimer_(makeTimer) {}

    std::int64_t WaitUpTo(std::int64_t milliseconds, const Over& over) override;

private:
    TimerMaker makeTimer_;
};

}  // namespace hourmark::win32
