#include <gtest/gtest.h>

#include <oleacc.h>

#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "WinRig.h"
#include "schedule/WavPicker.h"
#include "settings/NodeSetupDialog.h"
#include "settings/SettingsFields.h"
#include "win32/Fonts.h"
#include "win32/Text.h"
#include "win32/Twips.h"

namespace hourmark::win32::test {
namespace {

using N = NodeSetupWindow;
using P = WavPickerWindow;

bool Is96Dpi() {
    return ScreenDpi().x == 96 && ScreenDpi().y == 96;
}

void ExpectRect(HWND h, int x, int y, int w, int hgt, const char* what) {
    const RECT r = RectInParent(h);
    EXPECT_EQ(r.left, x) << what;
    EXPECT_EQ(r.top, y) << what;
    EXPECT_EQ(r.right - r.left, w) << what;
    EXPECT_EQ(r.bottom - r.top, hgt) << what;
}

POINT Centre(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Puts the main window where a dialog centred over it fits on the screen.
void PlaceMainMidScreen(WinRig& rig) {
    rig.ShowThroughTray();
    SetWindowPos(rig.Main(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

TEST(NodeSetupDialog, LaysOutEightRowsCentredOverTheMainWindowInTabOrder) {
    WinRig rig;
    PlaceMainMidScreen(rig);
    bool checked = false;
    WhenShowing(rig, Dialog::NodeSetup, 100, [&] {
        HWND d = rig.window.NodeSetupWindowHandle();
        ASSERT_NE(d, nullptr);
        checked = true;
        EXPECT_TRUE(rig.window.IsDialogShowing(Dialog::NodeSetup));
        EXPECT_TRUE(IsWindowVisible(d));
        EXPECT_EQ(TextOf(d), L"HourMark - Remote Node Setup");
        EXPECT_EQ(GetWindow(d, GW_OWNER), rig.Main());
        EXPECT_FALSE(IsWindowEnabled(rig.Main())) << "modal";
        const LONG style = GetWindowLongW(d, GWL_STYLE);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(d, WM_GETICON, ICON_BIG, 0)),
                  rig.window.images().bigIcon);
        const POINT dc = Centre(d);
        const POINT mc = Centre(rig.Main());
        EXPECT_LE(std::abs(dc.x - mc.x), 1);
        EXPECT_LE(std::abs(dc.y - mc.y), 1);

        if (Is96Dpi()) {
            RECT client;
            GetClientRect(d, &client);
            EXPECT_EQ(client.right, 355);
            EXPECT_EQ(client.bottom, 260);
            ExpectRect(GetDlgItem(d, N::kHeadingId), 72, 8, 65, 17, "Node Call");
            ExpectRect(GetDlgItem(d, N::kHeadingId + 3), 288, 8, 41, 17, "Delay");
            ExpectRect(GetDlgItem(d, N::kAutoId), 16, 24, 49, 17, "cbAuto(0)");
            ExpectRect(GetDlgItem(d, N::kCallId), 72, 24, 73, 19, "tbRemoteNode(0)");
            ExpectRect(GetDlgItem(d, N::kStartId + 7), 160, 192, 49, 19, "tbTimeStart(7)");
            ExpectRect(GetDlgItem(d, N::kStopId + 3), 224, 96, 49, 19, "tbTimeStop(3)");
            ExpectRect(GetDlgItem(d, N::kDelayId + 7), 288, 192, 33, 19, "tbDelay(7)");
            ExpectRect(GetDlgItem(d, N::kOkId), 208, 224, 65, 25, "OK");
            ExpectRect(GetDlgItem(d, N::kCancelId), 136, 224, 65, 25, "CANCEL");
            EXPECT_EQ(FontOf(GetDlgItem(d, N::kHeadingId + 1)).lfHeight, -9);
            EXPECT_EQ(FontOf(GetDlgItem(d, N::kCallId + 2)).lfHeight, -11);
            EXPECT_EQ(FontOf(GetDlgItem(d, N::kOkId)).lfHeight, -11);
        }
        EXPECT_EQ(TextOf(GetDlgItem(d, N::kOkId)), L"OK");
        EXPECT_EQ(TextOf(GetDlgItem(d, N::kCancelId)), L"CANCEL");
        EXPECT_EQ(TextOf(GetDlgItem(d, N::kAutoId + 5)), L"Auto");
        EXPECT_EQ(
            reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(d, N::kDelayId), WM_GETFONT, 0, 0)),
            GetStockObject(DEFAULT_GUI_FONT));
        EXPECT_EQ(std::wstring(FontOf(GetDlgItem(d, N::kAutoId)).lfFaceName), Fonts::ChooseFace());

        std::vector<int> order;
        for (int i = 0; i < 8; ++i) {
            for (int column : {N::kCallId, N::kStartId, N::kStopId, N::kDelayId}) {
                order.push_back(column + i);
            }
        }
        order.push_back(N::kOkId);
        order.push_back(N::kCancelId);
        for (int i = 0; i < 8; ++i) {
            order.push_back(N::kAutoId + i);
        }
        EXPECT_EQ(GetFocus(), GetDlgItem(d, order[0])) << "the first focus";
        HWND at = GetDlgItem(d, order[0]);
        for (std::size_t i = 1; i <= order.size(); ++i) {
            at = GetNextDlgTabItem(d, at, FALSE);
            EXPECT_EQ(GetDlgCtrlID(at), order[i % order.size()]) << i;
        }
        PostMessageW(d, WM_CLOSE, 0, 0);
    });
    rig.station.OpenNodeSetup();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::NodeSetup));
    EXPECT_TRUE(IsWindowEnabled(rig.Main()));
}

TEST(NodeSetupDialog, EnterAndEscDoNothingAndTheTypedRowsReachTheHandlers) {
    WinRig rig;
    rig.ShowThroughTray();
    // A hand-edited file greys row 5's box, which the operator leaves alone.
    SettingsValues values;
    values.nodes[5] = {"QX6FF-L", 2, "", "", 10};
    rig.files.files[rig.files.programDirectory + "\\hourmark.ini"] = FormatSettings(values);
    std::vector<std::array<NodeSetupRow, kNodeCount>> handedOver;
    rig.input.onDialogInput = [&] {
        if (frmNodeSetup* model = rig.station.NodeSetup()) {
            handedOver.push_back(model->rows);
        }
    };
    bool openAfterKeys = false;
    WhenShowing(rig, Dialog::NodeSetup, 100, [&] {
        HWND d = rig.window.NodeSetupWindowHandle();
        HWND call = GetDlgItem(d, N::kCallId);
        SetFocus(call);
        for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
            PostMessageW(call, WM_KEYDOWN, key, 0);
            PostMessageW(call, WM_CHAR, key == VK_RETURN ? WPARAM{L'\r'} : WPARAM{0x1b}, 0);
            PostMessageW(call, WM_KEYUP, key, 0);
        }
        PostMessageW(d, WM_COMMAND, IDOK, 0);
        PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
        RunLater(150, [&, d] {
            openAfterKeys = rig.window.IsDialogShowing(Dialog::NodeSetup) && IsWindowVisible(d);
            SetWindowTextW(GetDlgItem(d, N::kCallId + 2), L"  qx2cd-l ");
            SetWindowTextW(GetDlgItem(d, N::kStartId + 2), L"22:00");
            SetWindowTextW(GetDlgItem(d, N::kStopId + 2), L"06:00");
            SetWindowTextW(GetDlgItem(d, N::kDelayId + 2), L"12.5");
            SendMessageW(GetDlgItem(d, N::kAutoId + 2), BM_CLICK, 0, 0);
            SendMessageW(GetDlgItem(d, N::kAutoId + 4), BM_CLICK, 0, 0);
            SendMessageW(GetDlgItem(d, N::kAutoId + 4), BM_CLICK, 0, 0);
            EXPECT_EQ(SendMessageW(GetDlgItem(d, N::kAutoId + 2), BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(SendMessageW(GetDlgItem(d, N::kAutoId + 4), BM_GETCHECK, 0, 0),
                      BST_UNCHECKED);
            EXPECT_EQ(SendMessageW(GetDlgItem(d, N::kAutoId + 5), BM_GETCHECK, 0, 0),
                      BST_INDETERMINATE);
            SendMessageW(GetDlgItem(d, N::kOkId), BM_CLICK, 0, 0);
        });
    });
    rig.station.OpenNodeSetup();
    EXPECT_TRUE(openAfterKeys);
    ASSERT_EQ(handedOver.size(), 1u) << "only OK reached the dialog's handlers";
    const NodeSetupRow& row = handedOver[0][2];
    EXPECT_EQ(row.tbRemoteNode, "  qx2cd-l ");
    EXPECT_EQ(row.tbTimeStart, "22:00");
    EXPECT_EQ(row.tbTimeStop, "06:00");
    EXPECT_EQ(row.tbDelay, "12.5");
    EXPECT_EQ(row.cbAuto, 1);
    EXPECT_EQ(handedOver[0][4].cbAuto, 0);
    EXPECT_EQ(handedOver[0][5].cbAuto, 2);
    EXPECT_EQ(rig.station.nodes[5].autoFlag, 2);
    EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::NodeSetup));
}

TEST(NodeSetupDialog, AScreenReaderHearsEveryBoxByItsRowAndColumn) {
    WinRig rig;
    rig.ShowThroughTray();
    std::set<std::wstring> names;
    ReaderSees auto3;
    WhenShowing(rig, Dialog::NodeSetup, 100, [&] {
        HWND d = rig.window.NodeSetupWindowHandle();
        for (int i = 0; i < 8; ++i) {
            for (int column : {N::kCallId, N::kStartId, N::kStopId, N::kDelayId, N::kAutoId}) {
                names.insert(ReadAsAReader(GetDlgItem(d, column + i)).name);
            }
        }
        SendMessageW(GetDlgItem(d, N::kAutoId + 2), BM_CLICK, 0, 0);
        auto3 = ReadAsAReader(GetDlgItem(d, N::kAutoId + 2));
        PostMessageW(d, WM_CLOSE, 0, 0);
    });
    rig.station.OpenNodeSetup();
    EXPECT_EQ(names.size(), 40u) << "no two boxes sound alike";
    for (const wchar_t* name :
         {L"Node 1 call", L"Node 1 start", L"Node 1 stop", L"Node 1 delay, seconds", L"Node 1 auto",
          L"Node 8 delay, seconds"}) {
        EXPECT_EQ(names.count(name), 1u) << std::string(name, name + wcslen(name));
    }
    EXPECT_EQ(auto3.name, L"Node 3 auto");
    EXPECT_EQ(auto3.role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_TRUE(auto3.state & STATE_SYSTEM_CHECKED);
}

TEST(NodeSetupDialog, OkStaysOpenOverTheReportWhenTheButtonsCannotBeCaptioned) {
    WinRig rig;
    rig.ShowThroughTray();
    const std::size_t boxes = rig.closedBoxes.size();
    bool openAfterTheReport = false;
    WhenShowing(rig, Dialog::NodeSetup, 100, [&] {
        HWND d = rig.window.NodeSetupWindowHandle();
        rig.host.Fail("IsConnectedTo", "node gone");
        SendMessageW(GetDlgItem(d, N::kOkId), BM_CLICK, 0, 0);
        openAfterTheReport = rig.window.IsDialogShowing(Dialog::NodeSetup) && IsWindowVisible(d);
        rig.host.Succeed("IsConnectedTo");
        PostMessageW(GetDlgItem(d, N::kOkId), BM_CLICK, 0, 0);
    });
    rig.station.OpenNodeSetup();
    EXPECT_TRUE(openAfterTheReport);
    ASSERT_EQ(rig.closedBoxes.size(), boxes + 1);
    EXPECT_NE(rig.closedBoxes.back().text.find(L"IsConnectedTo"), std::wstring::npos);
    EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::NodeSetup));
}

TEST(NodeSetupDialog, CancelAndTheCloseBoxCloseItAndTheTimersRunWhileItIsOpen) {
    WinRig rig;
    rig.ShowThroughTray();
    for (bool closeBox : {false, true}) {
        const int before = rig.input.ticks[Timer::Timer1];
        const std::size_t handed = rig.input.Count("DialogInput");
        WhenShowing(rig, Dialog::NodeSetup, 1200, [&] {
            HWND d = rig.window.NodeSetupWindowHandle();
            if (closeBox) {
                PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else {
                PostMessageW(GetDlgItem(d, N::kCancelId), BM_CLICK, 0, 0);
            }
        });
        const auto t0 = Clock::now();
        rig.station.OpenNodeSetup();
        EXPECT_GE(MsSince(t0), 1100);
        EXPECT_EQ(rig.input.Count("DialogInput"), handed + 1);
        EXPECT_GE(rig.input.ticks[Timer::Timer1] - before, 2);
        EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::NodeSetup));
        EXPECT_EQ(rig.window.NodeSetupWindowHandle(), nullptr);
    }
}

TEST(WavPicker, DrawsTheListsFromTheModelAndHandsOverTheOperatorsChoices) {
    WinRig rig;
    PlaceMainMidScreen(rig);
    rig.files.drives = {"c:", "z:"};
    rig.files.driveDirectory["z:"] = "Z:\\";
    for (const char* d :
         {"C:\\Radio", "C:\\Radio\\Wav", "C:\\Radio\\Wav\\New", "C:\\Radio\\Wav\\Old", "Z:\\"}) {
        rig.files.directories.insert(d);
    }
    bool checked = false;
    WhenShowing(rig, Dialog::WavPicker, 100, [&] {
        HWND d = rig.window.WavPickerWindowHandle();
        frmSelect* model = rig.station.WavPicker();
        ASSERT_NE(d, nullptr);
        ASSERT_NE(model, nullptr);
        checked = true;
        EXPECT_EQ(TextOf(d), L"HourMark - Select WAV File");
        EXPECT_EQ(GetWindow(d, GW_OWNER), rig.Main());
        EXPECT_FALSE(IsWindowEnabled(rig.Main()));
        EXPECT_FALSE(GetWindowLongW(d, GWL_STYLE) &
                     (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
        const POINT dc = Centre(d);
        const POINT mc = Centre(rig.Main());
        EXPECT_LE(std::abs(dc.x - mc.x), 1);
        EXPECT_LE(std::abs(dc.y - mc.y), 1);
        HWND drives = GetDlgItem(d, P::kDriveListId);
        HWND dirs = GetDlgItem(d, P::kDirListId);
        HWND files = GetDlgItem(d, P::kFileListId);
        HWND select = GetDlgItem(d, P::kSelectId);
        if (Is96Dpi()) {
            RECT client;
            GetClientRect(d, &client);
            EXPECT_EQ(client.right, 433);
            EXPECT_EQ(client.bottom, 204);
            const RECT r = RectInParent(drives);
            EXPECT_EQ(r.left, 8);
            EXPECT_EQ(r.top, 8);
            EXPECT_EQ(r.right - r.left, 185);
            EXPECT_NEAR(r.bottom - r.top, 21, 2) << "the closed drive list";
            ExpectRect(dirs, 8, 40, 185, 156, "dirList");
            ExpectRect(files, 208, 8, 217, 162, "filList");
            ExpectRect(select, 352, 176, 73, 25, "Command1");
            EXPECT_EQ(FontOf(files).lfHeight, -11);
        }
        EXPECT_EQ(TextOf(select), L"Select");
        EXPECT_EQ(std::wstring(FontOf(dirs).lfFaceName), Fonts::ChooseFace());
        EXPECT_EQ(GetNextDlgTabItem(d, drives, FALSE), dirs);
        EXPECT_EQ(GetNextDlgTabItem(d, dirs, FALSE), files);
        EXPECT_EQ(GetNextDlgTabItem(d, files, FALSE), select);

        model->drives = {"c:", "z:"};
        model->drive = "C:";
        model->dirPath = "C:\\Radio\\Wav";
        model->subdirectories = {"New", "Old"};
        model->filPath = "C:\\Radio\\Wav";
        model->files = {"id.wav", "net.wav", "weather.wav"};
        model->highlighted = 1;
        model->changed();
        EXPECT_EQ(SendMessageW(drives, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageW(drives, CB_GETCURSEL, 0, 0), 0);
        auto line = [&](int i) {
            wchar_t text[256] = {};
            SendMessageW(dirs, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            return std::wstring(text);
        };
        ASSERT_EQ(SendMessageW(dirs, LB_GETCOUNT, 0, 0), 5);
        EXPECT_EQ(line(0), L"C:\\");
        EXPECT_EQ(line(1), L"  Radio");
        EXPECT_EQ(line(2), L"    Wav");
        EXPECT_EQ(line(3), L"      New");
        EXPECT_EQ(line(4), L"      Old");
        EXPECT_EQ(SendMessageW(dirs, LB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(rig.window.Picker()->DirectoryLines(),
                  (std::vector<std::string>{"C:\\", "C:\\Radio", "C:\\Radio\\Wav",
                                            "C:\\Radio\\Wav\\New", "C:\\Radio\\Wav\\Old"}));
        EXPECT_EQ(SendMessageW(files, LB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(SendMessageW(files, LB_GETCURSEL, 0, 0), 1);

        // A single click on a file highlights it; a double click on a directory opens it.
        SendMessageW(files, LB_SETCURSEL, 2, 0);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(P::kFileListId, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(files));
        EXPECT_EQ(model->highlighted, 2);
        SendMessageW(dirs, LB_SETCURSEL, 4, 0);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(P::kDirListId, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(dirs));
        EXPECT_EQ(model->dirPath, "C:\\Radio\\Wav\\Old");
        SendMessageW(drives, CB_SETCURSEL, 1, 0);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(P::kDriveListId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(drives));
        EXPECT_EQ(model->drive, "z:");
        SendMessageW(select, BM_CLICK, 0, 0);
    });
    rig.station.OpenWavPicker();
    EXPECT_TRUE(checked);
    EXPECT_EQ(rig.input.Count("DialogInput"), 4u) << "file, directory, drive and Select";
    EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::WavPicker));
    EXPECT_EQ(rig.window.WavPickerWindowHandle(), nullptr);
}

// The lists are named, and Enter does in them what a double click does.
TEST(WavPicker, AScreenReaderHearsTheListsAndEnterOpensAFolderAndChoosesAFile) {
    WinRig rig;
    PlaceMainMidScreen(rig);
    rig.files.directories.insert({"C:\\Radio", "C:\\Radio\\Wav"});
    rig.files.files["C:\\Radio\\Wav\\net.wav"] = "";
    rig.station.LastWavDir = "C:\\Radio";
    std::vector<std::wstring> names;
    std::string opened;
    WhenShowing(rig, Dialog::WavPicker, 100, [&] {
        HWND d = rig.window.WavPickerWindowHandle();
        for (int id : {P::kDriveListId, P::kDirListId, P::kFileListId}) {
            names.push_back(ReadAsAReader(GetDlgItem(d, id)).name);
        }
        HWND dirs = GetDlgItem(d, P::kDirListId);
        SetFocus(dirs);
        SendMessageW(dirs, LB_SETCURSEL, 2, 0);  // "    Wav"
        PostMessageW(dirs, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(dirs, WM_KEYUP, VK_RETURN, 0);
        RunLater(150, [&, d] {
            opened = rig.station.WavPicker()->dirPath;
            HWND files = GetDlgItem(d, P::kFileListId);
            SetFocus(files);
            SendMessageW(files, LB_SETCURSEL, 0, 0);
            PostMessageW(files, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(files, WM_KEYUP, VK_RETURN, 0);
            // A picker that Enter left open is closed, so that the test fails, not hangs.
            RunLater(300, [d] {
                if (IsWindow(d)) {
                    PostMessageW(d, WM_CLOSE, 0, 0);
                }
            });
        });
    });
    rig.station.OpenWavPicker();
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Drive", L"Folders", L"WAV files"}));
    EXPECT_EQ(opened, "C:\\Radio\\Wav");
    EXPECT_EQ(rig.station.SelectedWavFile, "C:\\Radio\\Wav\\net.wav");
    EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::WavPicker));
}

TEST(WavPicker, TheCloseBoxClosesItAndTheTimersRunWhileItIsOpen) {
    WinRig rig;
    rig.ShowThroughTray();
    const int before = rig.input.ticks[Timer::tTime];
    // What the operator typed into the file box gives way to the file that goes on the air.
    rig.station.SelectedWavFile = "C:\\wav\\id.wav";
    rig.station.tbFileName.SetText(rig.station.SelectedWavFile);
    SetWindowTextW(rig.Child(L"tbFileName"), L"C:\\typed.wav");
    WhenShowing(rig, Dialog::WavPicker, 1200,
                [&] { PostMessageW(rig.window.WavPickerWindowHandle(), WM_CLOSE, 0, 0); });
    SendMessageW(rig.Child(L"cmdFileSelect"), BM_CLICK, 0, 0);
    EXPECT_EQ(TextOf(rig.Child(L"tbFileName")), L"C:\\wav\\id.wav");
    EXPECT_GE(rig.input.ticks[Timer::tTime] - before, 1);
    EXPECT_FALSE(rig.window.IsDialogShowing(Dialog::WavPicker));
    EXPECT_EQ(rig.input.Count("DialogInput"), 0u) << "the close box is no choice";
    EXPECT_TRUE(IsWindowEnabled(rig.Main()));
}

TEST(WavPicker, AMessageBoxOverTheOpenPickerBelongsToThePicker) {
    WinRig rig;
    rig.ShowThroughTray();
    rig.closeBoxes = false;
    HWND owner = nullptr;
    HWND picker = nullptr;
    bool pickerEnabledWhileBox = true;
    WhenShowing(rig, Dialog::WavPicker, 100, [&] {
        picker = rig.window.WavPickerWindowHandle();
        RunLater(150, [&] {
            for (HWND box : OpenMessageBoxes()) {
                owner = GetWindow(box, GW_OWNER);
                pickerEnabledWhileBox = IsWindowEnabled(rig.window.WavPickerWindowHandle()) != 0;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        });
        rig.station.ShowMessage("Bad file", MessageIcon::Stop);
        // The picker is modal again once the box is gone, over a main window still disabled.
        EXPECT_TRUE(IsWindowEnabled(rig.window.WavPickerWindowHandle()));
        EXPECT_FALSE(IsWindowEnabled(rig.Main()));
        PostMessageW(rig.window.WavPickerWindowHandle(), WM_CLOSE, 0, 0);
    });
    rig.station.OpenWavPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(owner, picker);
    EXPECT_FALSE(pickerEnabledWhileBox);
}

}  // namespace
}  // namespace hourmark::win32::test
