#include <gtest/gtest.h>

#include <string>

#include "WinRig.h"
#include "schedule/WavPicker.h"
#include "win32/Text.h"
#include "win32/Twips.h"

namespace hourmark::win32::test {
namespace {

std::string Tip(const NOTIFYICONDATAA& nid) {
    return std::string(nid.szTip, 64);
}

TEST(TrayIcon, RecordsCarryTheFirstVersionSizeTheIdTheFlagsAndAFixedTipField) {
    HWND owner = reinterpret_cast<HWND>(0x1234);
    HICON icon = reinterpret_cast<HICON>(0x5678);
    const NOTIFYICONDATAA add = TrayIcon::AddRecord(owner, icon);
    EXPECT_EQ(add.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(add.cbSize, sizeof(void*) == 8 ? 104u : 88u);
    EXPECT_EQ(add.hWnd, owner);
    EXPECT_EQ(add.uID, 1u);
    EXPECT_EQ(add.uFlags, 7u);
    EXPECT_EQ(add.uCallbackMessage, 0x200u);
    EXPECT_EQ(add.hIcon, icon);
    EXPECT_EQ(Tip(add), std::string(1, '\0') + std::string(63, ' '));

    const NOTIFYICONDATAA tip = TrayIcon::TipRecord(owner, "HourMark");
    EXPECT_EQ(tip.cbSize, add.cbSize);
    EXPECT_EQ(tip.uID, 1u);
    EXPECT_EQ(tip.uFlags, 4u);
    EXPECT_EQ(tip.uCallbackMessage, 0u);
    EXPECT_EQ(tip.hIcon, nullptr);
    EXPECT_EQ(Tip(tip), "HourMark" + std::string(1, '\0') + std::string(55, ' '));

    const std::string longTip(70, 'x');
    EXPECT_EQ(Tip(TrayIcon::TipRecord(owner, longTip)),
              std::string(63, 'x') + std::string(1, '\0'));
    const std::string exact(63, 'y');
    EXPECT_EQ(Tip(TrayIcon::TipRecord(owner, exact)), exact + std::string(1, '\0'));
    if (GetACP() == 1252) {
        EXPECT_EQ(Tip(TrayIcon::TipRecord(owner, "Z\xc3\xbcrich")).substr(0, 7),
                  std::string("Z\xfcrich") + '\0');
    }

    const NOTIFYICONDATAA del = TrayIcon::DeleteRecord(owner);
    EXPECT_EQ(del.cbSize, add.cbSize);
    EXPECT_EQ(del.uID, 1u);
    EXPECT_EQ(del.hWnd, owner);
}

TEST(TrayIcon, StartUpAddsAndTipsTheIconOnAHiddenTopLevelWindowAndTheEndDeletesIt) {
    WinRig rig;
    HWND tray = rig.Tray();
    EXPECT_EQ(GetAncestor(tray, GA_PARENT), GetDesktopWindow()) << "a top-level window";
    EXPECT_FALSE(IsWindowVisible(tray));
    auto& requests = TrayRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(requests[0].data.hWnd, tray);
    EXPECT_EQ(requests[0].data.uFlags, 7u);
    EXPECT_EQ(requests[0].data.hIcon, rig.window.images().smallIcon);
    EXPECT_NE(requests[0].data.hIcon, nullptr);
    EXPECT_EQ(requests[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(requests[1].data.uFlags, 4u);
    EXPECT_STREQ(requests[1].data.szTip, "HourMark");

    EXPECT_THROW(rig.station.Close(), ProgramEnded);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(requests[2].data.hWnd, tray);
    EXPECT_EQ(requests[2].data.uID, 1u);
}

TEST(TrayIcon, ANewTaskBarGetsTheIconAndTipBackAlsoAfterAFailedFirstAdd) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    for (bool firstAddFails : {false, true}) {
        SCOPED_TRACE(firstAddFails ? "first add failed" : "first add worked");
        trayAnswer = firstAddFails ? FALSE : TRUE;  // no notification area yet
        WinRig rig;
        trayAnswer = TRUE;
        ASSERT_EQ(TrayRequests().size(), 2u);
        TrayRequests().clear();
        // The shell broadcasts it to every top-level window.
        PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
        PumpFor(200);
        auto& requests = TrayRequests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(requests[0].data.uFlags, 7u);
        EXPECT_EQ(requests[0].data.uCallbackMessage, 0x200u);
        EXPECT_EQ(requests[1].message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_STREQ(requests[1].data.szTip, "HourMark");

        // Once deleted, it stays deleted.
        rig.window.DeleteTrayIcon();
        TrayRequests().clear();
        SendMessageW(rig.Tray(), taskbarCreated, 0, 0);
        EXPECT_TRUE(TrayRequests().empty());
    }
}

POINT Position(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return {r.left, r.top};
}

void MoveTo(HWND h, int x, int y) {
    SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST(TrayIcon, LeftClickAndDoubleClickRestoreRightClickRecordsAndHidesOthersDoNothing) {
    WinRig rig;
    HWND main = rig.Main();
    const Dpi dpi = ScreenDpi();
    for (int code : {0x200, 0x201, 0x204, 0x206, 0x207, 0x208}) {
        rig.TrayEvent(code);
        EXPECT_FALSE(IsWindowVisible(main)) << code;
        EXPECT_EQ(rig.window.GetWindowState(), WindowState::Minimised) << code;
    }

    rig.TrayEvent(0x202);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_EQ(Position(main).x, 0);
    EXPECT_EQ(Position(main).y, 0);

    // A right click records where the window is and hides it.
    MoveTo(main, 50, 40);
    rig.TrayEvent(0x205);
    EXPECT_EQ(rig.station.LastTop, static_cast<int>(TwipsFromPixels(40, dpi.y)));
    EXPECT_EQ(rig.station.LastLeft, static_cast<int>(TwipsFromPixels(50, dpi.x)));
    EXPECT_FALSE(IsWindowVisible(main));

    // A double click arrives as up, double click, up: one restore, to the recorded place.
    MoveTo(main, 200, 150);
    rig.TrayEvent(0x202);
    rig.TrayEvent(0x203);
    rig.TrayEvent(0x202);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_EQ(Position(main).x, 50);
    EXPECT_EQ(Position(main).y, 40);
    EXPECT_EQ(rig.window.GetWindowState(), WindowState::Normal);
    EXPECT_EQ(rig.input.resized, 0);

    // The double click alone restores a hidden window too.
    rig.TrayEvent(0x205);
    ASSERT_FALSE(IsWindowVisible(main));
    rig.TrayEvent(0x203);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(Position(main).x, 50);
}

TEST(TrayIcon, WithThePickerOpenALeftClickNeitherReshowsNorMovesAndARightClickDoesNotHide) {
    WinRig rig;
    HWND main = rig.Main();
    rig.ShowThroughTray();
    MoveTo(main, 60, 30);
    rig.TrayEvent(0x205);  // records 60, 30
    rig.ShowThroughTray();
    ASSERT_EQ(Position(main).x, 60);
    MoveTo(main, 120, 90);

    bool pickerWasShowing = false;
    POINT afterLeft{};
    bool visibleAfterRight = false;
    int lastTopAfterRight = 0;
    WhenShowing(rig, Dialog::WavPicker, 100, [&] {
        pickerWasShowing = rig.window.IsDialogShowing(Dialog::WavPicker);
        rig.TrayEvent(0x202);
        afterLeft = Position(main);
        rig.TrayEvent(0x205);
        visibleAfterRight = IsWindowVisible(main) != 0;
        lastTopAfterRight = rig.station.LastTop;
        PostMessageW(rig.window.WavPickerWindowHandle(), WM_CLOSE, 0, 0);
    });
    rig.station.OpenWavPicker();
    EXPECT_TRUE(pickerWasShowing);
    EXPECT_EQ(afterLeft.x, 120);
    EXPECT_EQ(afterLeft.y, 90);
    EXPECT_TRUE(visibleAfterRight);
    EXPECT_EQ(lastTopAfterRight, static_cast<int>(TwipsFromPixels(90, ScreenDpi().y)));
    EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::WavPicker));
    EXPECT_TRUE(IsWindowEnabled(main));
}

}  // namespace
}  // namespace hourmark::win32::test
