#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <cwchar>
#include <set>

#include "WinRig.h"
#include "console/SpokenNames.h"
#include "support/WineOnly.h"
#include "win32/Fonts.h"
#include "win32/Text.h"
#include "win32/Twips.h"

namespace hourmark::win32::test {
namespace {

struct Expected {
    const wchar_t* name;
    const wchar_t* container;  // null: the window
    const wchar_t* cls;
    int x, y, w, h;  // pixels at 96 dpi, in the window's client area
};

// The layout worked out by hand from the twips at 15 per pixel.
const Expected kLayout[] = {
    {L"Label1", nullptr, L"Static", 24, 0, 313, 17},
    {L"fraXmitTime", nullptr, L"Button", 8, 16, 113, 73},
    {L"cbHour", L"fraXmitTime", L"Button", 16, 32, 65, 17},
    {L"cbHalfHour", L"fraXmitTime", L"Button", 16, 48, 81, 17},
    {L"cbQuarterHour", L"fraXmitTime", L"Button", 16, 64, 97, 17},
    {L"fraXmitFile", nullptr, L"Button", 136, 16, 113, 73},
    {L"cbFileHour", L"fraXmitFile", L"Button", 144, 32, 65, 17},
    {L"cbFileHalfHour", L"fraXmitFile", L"Button", 144, 48, 81, 17},
    {L"cbFileQuarterHour", L"fraXmitFile", L"Button", 144, 64, 97, 17},
    {L"fraFan", nullptr, L"Button", 256, 16, 106, 41},
    {L"FanRTS", L"fraFan", L"Button", 264, 32, 49, 17},
    {L"FanDTR", L"fraFan", L"Button", 312, 32, 48, 17},
    {L"CMDFile", nullptr, L"Button", 256, 64, 89, 25},
    {L"CMDTime", nullptr, L"Button", 32, 96, 89, 25},
    {L"XMIT_LED", nullptr, L"HourMarkPicture", 8, 100, 15, 15},
    {L"tbFileName", nullptr, L"Edit", 136, 96, 169, 19},
    {L"cmdFileSelect", nullptr, L"Button", 312, 96, 49, 25},
    {L"fraRemoteNodes", nullptr, L"Button", 4, 128, 369, 81},
    {L"cmdRemoteNode(0)", L"fraRemoteNodes", L"Button", 13, 144, 87, 20},
    {L"cmdRemoteNode(1)", L"fraRemoteNodes", L"Button", 101, 144, 87, 20},
    {L"cmdRemoteNode(2)", L"fraRemoteNodes", L"Button", 189, 144, 87, 20},
    {L"cmdRemoteNode(3)", L"fraRemoteNodes", L"Button", 277, 144, 87, 20},
    {L"cmdRemoteNode(4)", L"fraRemoteNodes", L"Button", 13, 165, 87, 20},
    {L"cmdRemoteNode(5)", L"fraRemoteNodes", L"Button", 101, 165, 87, 20},
    {L"cmdRemoteNode(6)", L"fraRemoteNodes", L"Button", 189, 165, 87, 20},
    {L"cmdRemoteNode(7)", L"fraRemoteNodes", L"Button", 277, 165, 87, 20},
    {L"cbAutoOverride", L"fraRemoteNodes", L"Button", 116, 189, 169, 13},
    {L"lblTime", L"fraRemoteNodes", L"Static", 308, 189, 57, 17},
    {L"fraRecording", nullptr, L"Button", 8, 216, 369, 47},
    {L"cbRecordStart", L"fraRecording", L"Button", 24, 232, 81, 20},
    {L"cbRecordStop", L"fraRecording", L"Button", 112, 232, 81, 20},
    {L"cbRecordPlayback", L"fraRecording", L"Button", 200, 232, 81, 20},
    {L"GREEN_LED", nullptr, L"HourMarkPicture", 224, 320, 15, 15},
    {L"RED_LED", nullptr, L"HourMarkPicture", 248, 320, 15, 15},
};

bool Is96Dpi() {
    return ScreenDpi().x == 96 && ScreenDpi().y == 96;
}

TEST(MainWindow, EveryControlIsInItsPlaceWithItsTextAndFont) {
    if (!Is96Dpi()) {
        GTEST_SKIP() << "the expected pixels are for 96 dpi";
    }
    WinRig rig;
    HWND main = rig.Main();
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 377);
    EXPECT_EQ(client.bottom, 213);
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(TextOf(main), L"HourMark - QX1AB-L - v 0.9.1");

    for (const Expected& e : kLayout) {
        SCOPED_TRACE(std::string(e.name, e.name + wcslen(e.name)));
        HWND h = rig.Child(e.name);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(ClassOf(h), e.cls);
        EXPECT_EQ(GetParent(h), e.container ? rig.Child(e.container) : main);
        const RECT r = RectIn(h, main);
        EXPECT_EQ(r.left, e.x);
        EXPECT_EQ(r.top, e.y);
        EXPECT_EQ(r.right - r.left, e.w);
        EXPECT_EQ(r.bottom - r.top, e.h);
    }

    // Captions: the frames' own, the rest as the station models them.
    EXPECT_EQ(TextOf(rig.Child(L"fraXmitTime")), L"Xmit Time");
    EXPECT_EQ(TextOf(rig.Child(L"fraXmitFile")), L"Xmit File");
    EXPECT_EQ(TextOf(rig.Child(L"fraFan")), L"Fan");
    EXPECT_EQ(TextOf(rig.Child(L"fraRemoteNodes")), L"Remote Nodes");
    EXPECT_EQ(TextOf(rig.Child(L"fraRecording")), L"Recording");
    EXPECT_EQ(TextOf(rig.Child(L"cbHour")), L"Hour");
    EXPECT_EQ(TextOf(rig.Child(L"cbFileQuarterHour")), L"Quarter Hour");
    EXPECT_EQ(TextOf(rig.Child(L"cbAutoOverride")), L"Disable Auto Connects");
    EXPECT_EQ(TextOf(rig.Child(L"CMDTime")), L"Xmit Time");
    EXPECT_EQ(TextOf(rig.Child(L"CMDFile")), L"Xmit File");
    EXPECT_EQ(TextOf(rig.Child(L"cmdFileSelect")), L"Select");
    EXPECT_EQ(TextOf(rig.Child(L"cbRecordPlayback")), L"PLAYBACK");
    EXPECT_EQ(TextOf(rig.Child(L"lblTime")), WideFromUtf8(rig.station.lblTime.text()));
    EXPECT_EQ(TextOf(rig.Child(L"Label1")), WideFromUtf8(rig.station.Label1.text()));
    EXPECT_EQ(TextOf(rig.Child(L"tbFileName")), WideFromUtf8(rig.station.tbFileName.text()));
    for (int i = 0; i < 8; ++i) {
        const std::wstring name = L"cmdRemoteNode(" + std::to_wstring(i) + L")";
        EXPECT_EQ(TextOf(rig.Child(name)),
                  WideFromUtf8(rig.station.cmdRemoteNode[static_cast<std::size_t>(i)].text()));
    }

    // The recording frame lies below the client area; the two spare images are never shown.
    EXPECT_GE(RectIn(rig.Child(L"fraRecording"), main).top, client.bottom);
    EXPECT_FALSE(GetWindowLongW(rig.Child(L"GREEN_LED"), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(rig.Child(L"RED_LED"), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongW(rig.Child(L"XMIT_LED"), GWL_STYLE) & WS_VISIBLE);

    const std::wstring face = Fonts::ChooseFace();
    for (const wchar_t* small :
         {L"Label1", L"fraRemoteNodes", L"cmdRemoteNode(5)", L"fraRecording", L"cbRecordStop"}) {
        const LOGFONTW lf = FontOf(rig.Child(small));
        EXPECT_EQ(lf.lfHeight, -9) << small;
        EXPECT_EQ(std::wstring(lf.lfFaceName), face) << small;
    }
    for (const wchar_t* normal :
         {L"cbHour", L"fraFan", L"CMDTime", L"tbFileName", L"cbAutoOverride", L"lblTime"}) {
        const LOGFONTW lf = FontOf(rig.Child(normal));
        EXPECT_EQ(lf.lfHeight, -11) << normal;
        EXPECT_EQ(lf.lfWeight, FW_NORMAL) << normal;
        EXPECT_EQ(std::wstring(lf.lfFaceName), face) << normal;
    }
    const std::vector<std::wstring> fallbacks{L"Verdana", L"DejaVu Sans", L"Tahoma",
                                              L"MS Sans Serif", L"MS Shell Dlg"};
    EXPECT_NE(std::find(fallbacks.begin(), fallbacks.end(), face), fallbacks.end());
}

TEST(MainWindow, TheFreewareNoticeShowsWholeAtItsFont) {
    WinRig rig;
    HWND label = rig.Child(L"Label1");
    const std::wstring text = TextOf(label);
    EXPECT_NE(text.find(L"@"), std::wstring::npos) << "the notice gives a contact address";
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT client{};
    GetClientRect(label, &client);
    EXPECT_LE(size.cx, client.right) << "the notice is cut at the right";
}

TEST(MainWindow, TabGoesThroughTheControlsInLayoutOrderIncludingTheHiddenFrame) {
    WinRig rig;
    const std::vector<std::wstring> order{
        L"cbHour",           L"cbHalfHour",        L"cbQuarterHour",    L"cbFileHour",
        L"cbFileHalfHour",   L"cbFileQuarterHour", L"FanRTS",           L"FanDTR",
        L"CMDFile",          L"CMDTime",           L"XMIT_LED",         L"tbFileName",
        L"cmdFileSelect",    L"cmdRemoteNode(0)",  L"cmdRemoteNode(1)", L"cmdRemoteNode(2)",
        L"cmdRemoteNode(3)", L"cmdRemoteNode(4)",  L"cmdRemoteNode(5)", L"cmdRemoteNode(6)",
        L"cmdRemoteNode(7)", L"cbAutoOverride",    L"cbRecordStart",    L"cbRecordStop",
        L"cbRecordPlayback"};
    rig.ShowThroughTray();
    HWND at = rig.Child(order[0]);
    for (std::size_t i = 1; i <= order.size(); ++i) {
        at = GetNextDlgTabItem(rig.Main(), at, FALSE);
        EXPECT_EQ(at, rig.Child(order[i % order.size()])) << "after " << i - 1;
    }
}

TEST(MainWindow, ShowsTheStatesTheStationGivesItsControls) {
    WinRig rig;
    HWND hour = rig.Child(L"cbHour");
    EXPECT_EQ(SendMessageW(hour, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    rig.station.cbHour.SetValue(1);
    EXPECT_EQ(SendMessageW(hour, BM_GETCHECK, 0, 0), BST_CHECKED);
    rig.station.cbHour.SetValue(2);
    EXPECT_EQ(SendMessageW(hour, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    rig.station.cbHour.SetValue(0);
    EXPECT_EQ(SendMessageW(hour, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    rig.station.FanDTR.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(rig.Child(L"FanDTR")));
    rig.station.FanDTR.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(rig.Child(L"FanDTR")));
    rig.station.CMDTime.SetEnabled(false);
    rig.station.CMDFile.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(rig.Child(L"CMDTime")));
    EXPECT_FALSE(IsWindowEnabled(rig.Child(L"CMDFile")));
    rig.station.CMDTime.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(rig.Child(L"CMDTime")));

    rig.station.tbFileName.SetText("C:\\Radio\\Wav\\Net \xc3\xa9t\xc3\xa9.wav");
    EXPECT_EQ(TextOf(rig.Child(L"tbFileName")), L"C:\\Radio\\Wav\\Net \u00e9t\u00e9.wav");
    rig.station.cmdRemoteNode[6].SetText("QX2CD-L*");
    EXPECT_EQ(TextOf(rig.Child(L"cmdRemoteNode(6)")), L"QX2CD-L*");
    rig.station.SetCaption("HourMark - QX9ZZ - v 0.9.1");
    EXPECT_EQ(TextOf(rig.Main()), L"HourMark - QX9ZZ - v 0.9.1");

    HWND led = rig.Child(L"XMIT_LED");
    const auto image = [&] {
        return reinterpret_cast<HBITMAP>(SendMessageW(led, STM_GETIMAGE, IMAGE_BITMAP, 0));
    };
    EXPECT_EQ(image(), rig.window.images().redLed);
    rig.station.SetLed(Led::Green);
    EXPECT_EQ(image(), rig.window.images().greenLed);
    rig.station.SetLed(Led::Red);
    EXPECT_EQ(image(), rig.window.images().redLed);
    BITMAP bm{};
    GetObjectW(rig.window.images().greenLed, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 15);
    EXPECT_EQ(bm.bmHeight, 15);
}

TEST(MainWindow, ClicksAndMouseUpsReachTheirHandlersAndNothingElse) {
    WinRig rig;
    rig.ShowThroughTray();
    rig.input.forward = false;
    rig.input.log.clear();
    const std::vector<std::pair<std::wstring, Control>> clickable{
        {L"cbHour", Control::cbHour},
        {L"cbHalfHour", Control::cbHalfHour},
        {L"cbQuarterHour", Control::cbQuarterHour},
        {L"cbFileHour", Control::cbFileHour},
        {L"cbFileHalfHour", Control::cbFileHalfHour},
        {L"cbFileQuarterHour", Control::cbFileQuarterHour},
        {L"FanRTS", Control::FanRTS},
        {L"FanDTR", Control::FanDTR},
        {L"CMDFile", Control::CMDFile},
        {L"CMDTime", Control::CMDTime},
        {L"cmdFileSelect", Control::cmdFileSelect},
        {L"cbAutoOverride", Control::cbAutoOverride},
        {L"cbRecordStart", Control::cbRecordStart},
        {L"cbRecordStop", Control::cbRecordStop},
        {L"cbRecordPlayback", Control::cbRecordPlayback}};
    for (const auto& [name, control] : clickable) {
        rig.input.log.clear();
        SendMessageW(rig.Child(name), BM_CLICK, 0, 0);
        EXPECT_EQ(
            rig.input.log,
            std::vector<std::string>{"Click(" + std::to_string(static_cast<int>(control)) + ")"})
            << std::string(name.begin(), name.end());
        // The box does not tick itself: only the station decides.
        if (name.rfind(L"cb", 0) == 0 || name.rfind(L"Fan", 0) == 0) {
            if (ClassOf(rig.Child(name)) == L"Button" &&
                (GetWindowLongW(rig.Child(name), GWL_STYLE) & BS_TYPEMASK) == BS_3STATE) {
                EXPECT_EQ(SendMessageW(rig.Child(name), BM_GETCHECK, 0, 0), BST_UNCHECKED);
            }
        }
    }

    for (int i = 0; i < 8; ++i) {
        HWND node = rig.Child(L"cmdRemoteNode(" + std::to_wstring(i) + L")");
        rig.input.log.clear();
        SendMessageW(node, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_TRUE(rig.input.log.empty()) << "a press alone does nothing";
        SendMessageW(node, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        SendMessageW(node, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        SendMessageW(node, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        SendMessageW(node, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5));
        SendMessageW(node, WM_MBUTTONUP, 0, MAKELPARAM(5, 5));
        const std::string n = std::to_string(i);
        EXPECT_EQ(rig.input.log,
                  (std::vector<std::string>{"MouseUp(" + n + ",1)", "MouseUp(" + n + ",2)",
                                            "MouseUp(" + n + ",4)"}));
        // Space and Enter on a focused node button do nothing.
        rig.input.log.clear();
        SetFocus(node);
        SendMessageW(node, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(node, WM_KEYUP, VK_SPACE, 0);
        PostMessageW(node, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(node, WM_KEYUP, VK_RETURN, 0);
        PumpFor(50);
        EXPECT_TRUE(rig.input.log.empty()) << i;

        // An "&" in a callsign shows as itself and makes no access key; the letter after it,
        // with Alt or alone, and a simulated click link or unlink nothing.
        rig.station.cmdRemoteNode[static_cast<std::size_t>(i)].SetText("QX&AB-L");
        EXPECT_EQ(TextOf(node), L"QX&&AB-L");
        HWND led = rig.Child(L"XMIT_LED");
        SetFocus(led);
        PostMessageW(led, WM_SYSKEYDOWN, 'A', 1 << 29);
        PostMessageW(led, WM_SYSCHAR, 'a', 1 << 29);
        PostMessageW(led, WM_SYSKEYUP, 'A', 1 << 29);
        PostMessageW(led, WM_CHAR, 'a', 0);
        PumpFor(50);
        SendMessageW(node, BM_CLICK, 0, 0);
        EXPECT_TRUE(rig.input.log.empty()) << i;
        rig.station.cmdRemoteNode[static_cast<std::size_t>(i)].SetText("Node");
    }
}

TEST(MainWindow, ACheckBoxClickIsToggledByTheStationAndShown) {
    WinRig rig;
    rig.ShowThroughTray();
    HWND box = rig.Child(L"cbFileHalfHour");
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(rig.station.cbFileHalfHour.value(), 1);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(rig.station.cbFileHalfHour.value(), 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(MainWindow, OperatorMinimiseAndRestoreReachTheStationItsOwnDoNot) {
    WinRig rig;
    HWND main = rig.Main();
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(rig.window.GetWindowState(), WindowState::Minimised);
    rig.ShowThroughTray();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_EQ(rig.input.resized, 0) << "the station's own state changes are not echoed";

    // Moving records nothing.
    SetWindowPos(main, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(rig.station.LastTop, 0);
    EXPECT_EQ(rig.station.LastLeft, 0);

    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(rig.input.resized, 1);
    EXPECT_FALSE(IsWindowVisible(main)) << "minimised means hidden, off the task bar too";
    EXPECT_EQ(rig.window.GetWindowState(), WindowState::Minimised);
    EXPECT_EQ(rig.station.LastTop, 0);

    SendMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(rig.input.resized, 2);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(rig.window.GetWindowState(), WindowState::Normal);
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(rig.station.LastTop, static_cast<int>(TwipsFromPixels(r.top, ScreenDpi().y)));
    EXPECT_EQ(rig.station.LastLeft, static_cast<int>(TwipsFromPixels(r.left, ScreenDpi().x)));
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
}

TEST(MainWindow, TheFourTimersTickAtTheirIntervals) {
    WinRig rig;
    PumpFor(2300);
    EXPECT_GE(rig.input.ticks[Timer::tTime], 2);
    EXPECT_LE(rig.input.ticks[Timer::tTime], 3);
    EXPECT_GE(rig.input.ticks[Timer::Timer1], 4);
    EXPECT_LE(rig.input.ticks[Timer::Timer1], 5);
    EXPECT_GE(rig.input.ticks[Timer::FanTimer], 4);
    EXPECT_LE(rig.input.ticks[Timer::FanTimer], 5);
    EXPECT_EQ(rig.input.ticks[Timer::tAutoConnect], 0);
    // The clock runs while the window is hidden; its label is current the moment the window is
    // shown, with no tick in between, and then follows every tick.
    EXPECT_NE(rig.station.lblTime.text(), "00:00:00");
    HWND label = rig.Child(L"lblTime");
    rig.ShowThroughTray();
    ASSERT_TRUE(IsWindowVisible(rig.Main()));
    EXPECT_EQ(TextOf(label), WideFromUtf8(rig.station.lblTime.text()));
    PumpFor(1100);
    EXPECT_EQ(TextOf(label), WideFromUtf8(rig.station.lblTime.text()));
    // Hidden and shown again: current again.
    ShowWindow(rig.Main(), SW_HIDE);
    PumpFor(1100);
    ShowWindow(rig.Main(), SW_SHOW);
    EXPECT_EQ(TextOf(label), WideFromUtf8(rig.station.lblTime.text()));
}

// A window nobody has opened carries no controls; opened, every control shows the model as it is
// by then, whatever changed while it was hidden.
TEST(MainWindow, ItsControlsAreMadeAsItIsFirstShownFromTheModelAsItIsThen) {
    WinRig rig;
    PumpFor(1100);
    EXPECT_EQ(GetWindow(rig.Main(), GW_CHILD), nullptr);
    rig.station.cbHour.SetValue(1);
    rig.station.FanDTR.SetEnabled(false);
    rig.station.cmdRemoteNode[6].SetText("QX2CD-L*");
    rig.station.SetLed(Led::Green);
    rig.ShowThroughTray();
    ASSERT_TRUE(IsWindowVisible(rig.Main()));
    const MainWindow& w = rig.window.Main();
    EXPECT_EQ(SendMessageW(w.Child(L"cbHour"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(w.Child(L"FanDTR")));
    EXPECT_EQ(TextOf(w.Child(L"cmdRemoteNode(6)")), L"QX2CD-L*");
    EXPECT_EQ(reinterpret_cast<HBITMAP>(
                  SendMessageW(w.Child(L"XMIT_LED"), STM_GETIMAGE, IMAGE_BITMAP, 0)),
              rig.window.images().greenLed);
    EXPECT_EQ(TextOf(w.Child(L"lblTime")), WideFromUtf8(rig.station.lblTime.text()));
}

TEST(MainWindow, MessageBoxesShowWhileHiddenAndTheTimersKeepTicking) {
    WinRig rig;
    rig.closeBoxes = false;
    ASSERT_FALSE(IsWindowVisible(rig.Main()));
    std::vector<SeenBox> seen;
    bool mainEnabled = true;
    RunLater(1300, [&] {
        for (HWND box : OpenMessageBoxes()) {
            seen.push_back(Describe(box));
            mainEnabled = IsWindowEnabled(rig.Main()) != 0;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    });
    const int before = rig.input.ticks[Timer::Timer1];
    const auto t0 = Clock::now();
    rig.station.ShowMessage("Error Writing .INI File\r\nC:\\HourMark\\hourmark.ini",
                            MessageIcon::Exclamation, "Settings");
    EXPECT_GE(MsSince(t0), 1200);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, L"Settings");
    EXPECT_EQ(seen[0].text, L"Error Writing .INI File\r\nC:\\HourMark\\hourmark.ini");
    EXPECT_EQ(seen[0].owner, rig.Main());
    // Wine's box shows the very icon LoadIcon shares; Windows may show a copy of its own.
    WINE_ONLY(EXPECT_EQ(seen[0].icon, LoadIconW(nullptr, IDI_EXCLAMATION)));
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(rig.Main()));
    EXPECT_GE(rig.input.ticks[Timer::Timer1] - before, 2);
    EXPECT_GE(rig.input.ticks[Timer::tTime], 1);
    EXPECT_TRUE(rig.station.lblTime.text() != "00:00:00");
}

std::vector<std::pair<DWORD, HWND>> toldEvents;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                          DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        toldEvents.emplace_back(event, hwnd);
    }
}

bool Told(DWORD event, HWND hwnd) {
    return std::find(toldEvents.begin(), toldEvents.end(), std::make_pair(event, hwnd)) !=
           toldEvents.end();
}

// The pixels along the control's edge, where the focus mark goes.
std::vector<COLORREF> Edge(HWND h) {
    UpdateWindow(h);
    RECT r;
    GetClientRect(h, &r);
    HDC dc = GetDC(h);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < r.right; ++i) {
        pixels.push_back(GetPixel(dc, i, 0));
        pixels.push_back(GetPixel(dc, 0, i));
    }
    ReleaseDC(h, dc);
    return pixels;
}

TEST(MainWindow, AScreenReaderHearsTheIndicatorTheNodesAndTheBoxesInWords) {
    WinRig rig;
    rig.ShowThroughTray();
    rig.input.forward = false;  // no tick changes the indicator behind the test's back
    toldEvents.clear();
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, RecordEvent,
                        GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);

    HWND led = rig.Child(L"XMIT_LED");
    rig.station.SetLed(Led::Red);
    ReaderSees seen = ReadAsAReader(led);
    EXPECT_EQ(seen.name, L"Transmit indicator");
    EXPECT_EQ(seen.value, L"busy");
    EXPECT_EQ(seen.role, ROLE_SYSTEM_INDICATOR);
    rig.station.SetLed(Led::Green);
    EXPECT_EQ(ReadAsAReader(led).value, L"idle");

    HWND linked = rig.Child(L"cmdRemoteNode(2)");
    rig.station.nodes[2].callsign = "QX2CD-L";
    rig.station.ELo_Connected("QX2CD-L", "", "");
    seen = ReadAsAReader(linked);
    EXPECT_EQ(seen.name, L"Node 3: QX2CD-L, linked");
    EXPECT_EQ(seen.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(TextOf(linked), L"QX2CD-L*") << "the caption stays as it was";
    rig.station.ELo_Disconnected("QX2CD-L");
    EXPECT_EQ(ReadAsAReader(linked).name, L"Node 3: QX2CD-L, not linked");
    rig.station.nodes[5].callsign.clear();
    rig.station.cmdRemoteNode[5].SetText("");
    EXPECT_EQ(ReadAsAReader(rig.Child(L"cmdRemoteNode(5)")).name, L"Node 6: empty");

    EXPECT_EQ(ReadAsAReader(rig.Child(L"cbHour")).name, L"Xmit Time: Hour");
    EXPECT_EQ(ReadAsAReader(rig.Child(L"cbFileHour")).name, L"Xmit File: Hour");
    EXPECT_EQ(ReadAsAReader(rig.Child(L"FanRTS")).name, L"Fan: RTS");
    rig.station.cbFileHour.SetValue(1);
    seen = ReadAsAReader(rig.Child(L"cbFileHour"));
    EXPECT_EQ(seen.role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_TRUE(seen.state & STATE_SYSTEM_CHECKED);
    seen = ReadAsAReader(rig.Child(L"tbFileName"));
    EXPECT_EQ(seen.name, L"WAV file to send") << "not the freeware notice before it";
    EXPECT_EQ(seen.value, TextOf(rig.Child(L"tbFileName")));

    // Every control the table names is told apart from every other.
    std::set<std::wstring> names;
    for (std::size_t i = 0; i < kSpokenNames.size(); ++i) {
        if (kSpokenNames[i] != nullptr) {
            names.insert(
                ReadAsAReader(rig.window.Main().ControlWindow(static_cast<Control>(i))).name);
        }
    }
    EXPECT_EQ(names.size(), 19u);

    PumpFor(50);
    EXPECT_TRUE(Told(EVENT_OBJECT_VALUECHANGE, led)) << "busy to idle";
    EXPECT_TRUE(Told(EVENT_OBJECT_NAMECHANGE, linked)) << "linked and unlinked";
    EXPECT_TRUE(Told(EVENT_OBJECT_STATECHANGE, rig.Child(L"cbFileHour")));
    UnhookWinEvent(hook);

    // The indicator shows when it holds the keyboard.
    SetFocus(rig.Child(L"CMDTime"));
    const std::vector<COLORREF> unfocused = Edge(led);
    SetFocus(led);
    EXPECT_NE(Edge(led), unfocused);
    SetFocus(rig.Child(L"CMDTime"));
    EXPECT_EQ(Edge(led), unfocused);
}

}  // namespace
}  // namespace hourmark::win32::test
