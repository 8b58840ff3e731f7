#include "win32/MessagePump.h"

#include <algorithm>
#include <vector>

namespace hourmark::win32 {

namespace {

std::vector<HWND>& NavigationWindows() {
    static std::vector<HWND> windows;
    return windows;
}

}  // namespace

void AddKeyboardNavigation(HWND window) {
    auto& w = NavigationWindows();
    if (std::find(w.begin(), w.end(), window) == w.end()) {
        w.push_back(window);
    }
}

void RemoveKeyboardNavigation(HWND window) {
    auto& w = NavigationWindows();
    w.erase(std::remove(w.begin(), w.end(), window), w.end());
}

void DispatchOne(MSG& msg) {
    if (msg.hwnd && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        const auto& w = NavigationWindows();
        if (root && std::find(w.begin(), w.end(), root) != w.end() &&
            IsDialogMessageW(root, &msg)) {
            return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

std::optional<WPARAM> RunPendingMessages() {
    std::optional<WPARAM> quit;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Taking it clears the queue's quit state, so it does not come back on the next
            // peek; the rest of the queue still runs.
            quit = msg.wParam;
            continue;
        }
        DispatchOne(msg);
    }
    return quit;
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return 1;
        }
        DispatchOne(msg);
    }
}

}  // namespace hourmark::win32
