#include "win32/WaitTimerPause.h"

#include <algorithm>
#include <optional>

#include "win32/MessagePump.h"
#include "win32/ScopedHandles.h"

namespace hourmark::win32 {

namespace {

// Key, mouse-move, mouse-button, posted, timer, paint, sent and hot-key input.
constexpr DWORD kAnyWindowMessage = 0xFF;

}  // namespace

HANDLE WaitTimerPause::MakeArmedTimer(std::int64_t milliseconds) {
    UniqueHandle timer(CreateWaitableTimerW(nullptr, TRUE, nullptr));
    if (!timer) {
        return nullptr;
    }
    LARGE_INTEGER due;
    due.QuadPart = -milliseconds * 10000;  // relative, in 100-nanosecond steps
    if (!SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) {
        return nullptr;
    }
    return timer.release();
}

std::int64_t WaitTimerPause::WaitUpTo(std::int64_t milliseconds, const Over& over) {
    if (milliseconds < 0) {
        milliseconds = 0;
    }
    // The deadline on the monotonic clock carries the pause when there is no timer to wait on.
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG deadline = start + static_cast<ULONGLONG>(milliseconds);
    UniqueHandle timer(makeTimer_(milliseconds));
    std::optional<WPARAM> quit;
    bool cutShort = false;
    for (;;) {
        bool due = false;
        if (timer) {
            HANDLE handle = timer.get();
            const DWORD r =
                MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, kAnyWindowMessage);
            if (r == WAIT_OBJECT_0) {
                due = true;
            } else if (r == WAIT_FAILED) {
                timer.reset();
            }
        } else {
            const ULONGLONG now = GetTickCount64();
            const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, left, kAnyWindowMessage) ==
                WAIT_FAILED) {
                Sleep(left < 10 ? left : 10);  // never spin, even on a wait that cannot wait
            }
            due = GetTickCount64() >= deadline;
        }
        if (auto q = RunPendingMessages()) {
            quit = q;
        }
        if (due) {
            break;
        }
        if (over && over(static_cast<std::int64_t>(GetTickCount64() - start))) {
            cutShort = true;
            break;
        }
    }
    timer.reset();
    if (quit) {
        // Held back while this pause ran; the loop that waits outside it ends the program.
        PostQuitMessage(static_cast<int>(*quit));
    }
    const auto waited = static_cast<std::int64_t>(GetTickCount64() - start);
    // The tick count moves in steps of about 16 ms; the timer has waited its whole time.
    return cutShort ? waited : std::max(waited, milliseconds);
}

}  // namespace hourmark::win32
