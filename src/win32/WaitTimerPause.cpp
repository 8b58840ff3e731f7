#include "win32/WaitTimerPause.h"

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

void WaitTimerPause::WaitMilliseconds(std::int64_t milliseconds) {
    if (milliseconds < 0) {
        milliseconds = 0;
    }
    // The deadline on the monotonic clock carries the pause when there is no timer to wait on.
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    UniqueHandle timer(makeTimer_(milliseconds));
    std::optional<WPARAM> quit;
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
    }
    timer.reset();
    if (quit) {
        // Held back while this pause ran; the loop that waits outside it ends the program.
        PostQuitMessage(static_cast<int>(*quit));
    }
}

}  // namespace hourmark::win32
