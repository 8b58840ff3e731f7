// The program's own window subclassing, beside a subclass some other code installs after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/Subclass.h"
#include "win32/WinApi.h"

namespace hourmark::win32::test {
namespace {

std::vector<std::string> seen;
WNDPROC beforeLater = nullptr;

LRESULT CALLBACK Ours(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_APP) {
        seen.push_back("ours");
    }
    return DefSubclassProc(window, msg, wParam, lParam);
}

LRESULT CALLBACK Later(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) {
        seen.push_back("later");
    }
    return CallWindowProcW(beforeLater, window, msg, wParam, lParam);
}

WNDPROC ProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

TEST(Subclass, RemovingOursLeavesALaterSubclassInPlace) {
    HWND window = CreateWindowExW(0, L"STATIC", L"caption", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const WNDPROC own = ProcOf(window);

    ASSERT_TRUE(SetWindowSubclass(window, Ours, 1, 0));
    EXPECT_TRUE(RemoveWindowSubclass(window, Ours, 1));
    EXPECT_EQ(ProcOf(window), own) << "alone, the window gets its own procedure back";

    ASSERT_TRUE(SetWindowSubclass(window, Ours, 1, 0));
    beforeLater = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Later)));
    seen.clear();
    SendMessageW(window, WM_APP, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"later", "ours"}));

    EXPECT_TRUE(RemoveWindowSubclass(window, Ours, 1));
    EXPECT_FALSE(RemoveWindowSubclass(window, Ours, 1));
    EXPECT_EQ(ProcOf(window), Later) << "the later subclass was cut off";
    seen.clear();
    SendMessageW(window, WM_APP, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"later"}));
    wchar_t text[16] = {};
    GetWindowTextW(window, text, 16);
    EXPECT_EQ(std::wstring(text), L"caption") << "the window's own procedure still answers";

    // Installed again behind the later one, it sees messages again.
    EXPECT_TRUE(SetWindowSubclass(window, Ours, 1, 0));
    seen.clear();
    SendMessageW(window, WM_APP, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"later", "ours"}));
    EXPECT_TRUE(DestroyWindow(window));
}

}  // namespace
}  // namespace hourmark::win32::test
