// hourmark.exe against the node simulator, driven from outside as the station's host and its
// operator drive it: simulator commands, window messages, the tray callback, keys and message
// boxes; checked by what reached the simulator (its trace) and what is on disk.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "HourMarkProcess.h"
#include "NodeSimDriver.h"
#include "settings/SettingsFields.h"
#include "support/WineOnly.h"
#include "win32/MainWindowLayout.h"
#include "win32/NodeSetupWindow.h"
#include "win32/WavPickerWindow.h"

namespace e2e {
namespace {

using hourmark::Control;
using hourmark::SettingsValues;
using hourmark::win32::ControlId;

constexpr const char* kSimCallsign = "QX1SIM-L";
constexpr const char* kCaptionVersion = " - v 0.9.1";

// Host calls made by the timers all the time; most checks look past them.
bool Polling(const std::string& line) {
    for (const char* member : {"\tIsTransmitting", "\tIsBusyA", "\tIsBusyB"}) {
        if (line.find(member) != std::string::npos && line.find(member) == line.find('\t')) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> TraceWithoutPolling() {
    std::vector<std::string> lines = NodeSim::TraceLines();
    lines.erase(std::remove_if(lines.begin(), lines.end(), Polling), lines.end());
    return lines;
}

std::size_t TraceCount(const std::string& line) {
    const auto lines = NodeSim::TraceLines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

bool TraceHas(const std::string& line) {
    return TraceCount(line) > 0;
}

bool WaitForTrace(const std::string& line, DWORD ms = 10000) {
    return PumpUntil([&] { return TraceHas(line); }, ms);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += "  " + l + "\n";
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A text as the trace writes it.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return out;
}

// The keyboard of the machine, as the operator's fingers reach it.
void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    PumpFor(150);
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Tabs through the window until that control has the focus.
bool TabTo(const HourMarkProcess& p, HWND control) {
    for (int i = 0; i < 40 && FocusOf(p.UiThread()) != control; ++i) {
        PressKey(VK_TAB);
    }
    return FocusOf(p.UiThread()) == control;
}

// Until nothing is on the air and HourMark's own ticks have seen it so.
// Until the simulator's state line holds that text.
bool WaitForState(const std::string& part, DWORD ms) {
    return PumpUntil([&] { return NodeSim::Must({"state"}).find(part) != std::string::npos; }, ms);
}

bool WaitUntilIdle() {
    const bool idle = WaitForState("transmitting=False", 30000);
    PumpFor(1000);
    return idle;
}

SettingsValues NoBoxesTicked() {
    return {};
}

class Station : public testing::Test {
protected:
    void SetUp() override {
        NodeSim::Must({"reset"});
        NodeSim::Must({"trace", "clear"});
    }

    void TearDown() override {
        for (auto& p : programs_) {
            if (p->Running()) {
                std::vector<std::wstring> texts;
                p->AnswerMessages(texts);
                p->CloseByOperator();
                p->WaitForExit(10000);
            }
        }
        programs_.clear();
        NodeSim::Run({"reset"});
    }

    HourMarkProcess& NewStation(const std::string& tag) {
        programs_.push_back(std::make_unique<HourMarkProcess>(tag));
        return *programs_.back();
    }

    // A station with a settings file of its own, started and past its start-up.
    HourMarkProcess& Started(const std::string& tag, const SettingsValues& settings) {
        HourMarkProcess& p = NewStation(tag);
        p.WriteFile(L"hourmark.ini", hourmark::FormatSettings(settings));
        EXPECT_TRUE(p.Start());
        EXPECT_TRUE(p.WaitUntilStarted()) << "start-up did not end with the tray window";
        return p;
    }

    std::string ControlText(const HourMarkProcess& p, Control c) {
        return Narrow(WindowText(p.Control(ControlId(c))));
    }

    LRESULT CheckOf(const HourMarkProcess& p, Control c) {
        return SendMessageW(p.Control(ControlId(c)), BM_GETCHECK, 0, 0);
    }

    bool WaitForText(const HourMarkProcess& p, Control c, const std::string& text,
                     DWORD ms = 10000) {
        return PumpUntil([&] { return ControlText(p, c) == text; }, ms);
    }

    std::vector<std::unique_ptr<HourMarkProcess>> programs_;
};

// ---- Start-up ----------------------------------------------------------------------------------

TEST_F(Station, StartsUpInTheHostsOrderAndHidesInTheTray) {
    SettingsValues s = NoBoxesTicked();
    s.nodes[0] = {"QX9AB-L", 0, "", "", 10};
    s.nodes[2] = {"QX8CD-R", 0, "", "", 10};
    NodeSim::Must({"link", "QX8CD-R"});
    NodeSim::Must({"trace", "clear"});
    HourMarkProcess& p = Started("startup", s);

    const std::vector<std::string> expected = {
        "get\tSetupConfig.Callsign",  // the caption
        "get\tSetupConfig.Callsign",  // the rule for the one station that starts with overrides
        "get\tSysopConfig",
        "get\tSysopConfig.KeyingLine",
        "get\tSysopConfig",
        "get\tSysopConfig.KeyingLine",
        "call\tIsConnectedTo\tQX9AB-L",
        "call\tIsConnectedTo\t",
        "call\tIsConnectedTo\tQX8CD-R",
        "call\tIsConnectedTo\t",
        "call\tIsConnectedTo\t",
        "call\tIsConnectedTo\t",
        "call\tIsConnectedTo\t",
        "call\tIsConnectedTo\t"};
    std::vector<std::string> seen = TraceWithoutPolling();
    seen.resize(std::min(seen.size(), expected.size()));
    EXPECT_EQ(seen, expected) << Joined(TraceWithoutPolling());
    // The timers start only once the start-up is over.
    const auto all = NodeSim::TraceLines();
    const auto firstPoll = std::find_if(all.begin(), all.end(), Polling);
    const auto lastLink = std::find(all.rbegin(), all.rend(), "call\tIsConnectedTo\t");
    ASSERT_NE(lastLink, all.rend());
    EXPECT_GT(firstPoll - all.begin(), all.rend() - lastLink - 1);

    HWND main = p.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Narrow(WindowText(main)),
              std::string("HourMark - ") + kSimCallsign + kCaptionVersion);
    EXPECT_FALSE(IsWindowVisible(main)) << "the window starts hidden";
    WINE_ONLY(EXPECT_TRUE(ShellShowsTrayIcons()) << "the icon is in the notification area");

    // The tray brings the window up and puts it away again. Before any control is looked at:
    // looking opens the window from the icon itself.
    p.ClickTrayIcon(WM_LBUTTONUP);
    EXPECT_NE(p.WaitFor(L"HourMarkMain", true, 5000), nullptr);
    p.ClickTrayIcon(WM_RBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(main); }, 5000));
    EXPECT_TRUE(p.Running());
    EXPECT_EQ(ControlText(p, Control::cmdRemoteNode0), "QX9AB-L");
    EXPECT_EQ(ControlText(p, Control::cmdRemoteNode2), "QX8CD-R*") << "linked before we started";
    EXPECT_EQ(CheckOf(p, Control::cbAutoOverride), BST_UNCHECKED);
}

TEST_F(Station, TheStationWithOverridesStartsWithAutoConnectsDisabled) {
    NodeSim::Must({"callsign", "QX2CD-L"});
    HourMarkProcess& p = Started("override", NoBoxesTicked());
    EXPECT_EQ(Narrow(WindowText(p.MainWindow())),
              std::string("HourMark - QX2CD-L") + kCaptionVersion);
    EXPECT_EQ(CheckOf(p, Control::cbAutoOverride), BST_CHECKED);
}

TEST_F(Station, FirstStartTellsTheOperatorAndWritesAWholeSettingsFile) {
    HourMarkProcess& p = NewStation("first");
    ASSERT_TRUE(p.Start());
    const std::wstring first = p.WaitForMessage(20000);
    EXPECT_NE(first.find(L"The file HourMark.Ini is Missing or Corrupted"), std::wstring::npos)
        << Narrow(first);
    std::vector<std::wstring> texts;
    p.AnswerMessages(texts);
    const std::wstring second = p.WaitForMessage(10000);
    EXPECT_NE(second.find(L"New INI File Created"), std::wstring::npos) << Narrow(second);
    p.AnswerMessages(texts);
    ASSERT_TRUE(p.WaitUntilStarted());

    const std::string ini = p.ReadFile(L"hourmark.ini");
    EXPECT_EQ(Lines(ini).size(), 64u);
    EXPECT_EQ(ini, hourmark::FormatSettings(SettingsValues{})) << "a whole file of defaults";
    EXPECT_FALSE(p.HasFile(L"hourmark.ini.bad")) << "nothing was there to keep";
}

TEST_F(Station, ADamagedSettingsFileIsKeptAsideBeforeTheNewOneIsWritten) {
    HourMarkProcess& p = NewStation("damaged");
    const std::string damaged = "1,0,zero\r\n";
    p.WriteFile(L"hourmark.ini", damaged);
    ASSERT_TRUE(p.Start());
    EXPECT_NE(p.WaitForMessage(20000).find(L"Missing or Corrupted"), std::wstring::npos);
    EXPECT_EQ(p.ReadFile(L"hourmark.ini.bad"), damaged);
    std::vector<std::wstring> texts;
    p.AnswerMessages(texts);
    EXPECT_NE(p.WaitForMessage(10000).find(L"New INI File Created"), std::wstring::npos);
    p.AnswerMessages(texts);
    ASSERT_TRUE(p.WaitUntilStarted());
    EXPECT_EQ(Lines(p.ReadFile(L"hourmark.ini")).size(), 64u);
}

// Each host failure during the start-up: one message naming it, a non-zero exit, no tray icon
// and the settings file as it was.
TEST_F(Station, AHostFailingDuringStartUpEndsItWithOneMessage) {
    for (const char* operation :
         {"SetupConfig.Callsign", "SysopConfig.KeyingLine", "IsConnectedTo"}) {
        SCOPED_TRACE(operation);
        NodeSim::Must({"reset"});
        NodeSim::Must({"fail", operation, "the node is down"});
        NodeSim::Must({"trace", "clear"});
        WINE_ONLY(ASSERT_FALSE(ShellShowsTrayIcons()) << "an icon left from before");
        HourMarkProcess& p = NewStation(std::string("fail-") + operation);
        const std::string settings = hourmark::FormatSettings(NoBoxesTicked());
        p.WriteFile(L"hourmark.ini", settings);
        ASSERT_TRUE(p.Start());
        const std::wstring text = p.WaitForMessage(20000);
        EXPECT_NE(text.find(L"HourMark cannot start."), std::wstring::npos) << Narrow(text);
        EXPECT_NE(text.find(Widen(operation)), std::wstring::npos) << Narrow(text);
        EXPECT_NE(text.find(L"the node is down"), std::wstring::npos) << Narrow(text);
        EXPECT_EQ(p.MessageBoxes().size(), 1u);
        EXPECT_FALSE(p.StartUpOver());
        WINE_ONLY(EXPECT_FALSE(ShellShowsTrayIcons())
                  << "no icon for a program that did not start");
        std::vector<std::wstring> texts;
        p.AnswerMessages(texts);
        const long long code = p.WaitForExit(10000);
        EXPECT_NE(code, -1) << "still running after the message";
        EXPECT_NE(code, 0);
        EXPECT_EQ(texts.size(), 1u);
        EXPECT_EQ(p.ReadFile(L"hourmark.ini"), settings);
        EXPECT_FALSE(p.HasFile(L"HourMarkLog.txt"));
        // Nothing is tried after the failure.
        EXPECT_EQ(TraceCount("call\tIsTransmitting"), 0u);
    }
}

// ---- Links ---------------------------------------------------------------------------------

TEST_F(Station, LinksAndUnlinksAreLoggedAndMarkedOnTheButtons) {
    SettingsValues s = NoBoxesTicked();
    s.nodes[1] = {"QX3EF-L", 0, "", "", 10};
    s.nodes[5] = {"QX3EF-L", 0, "", "", 10};  // the same node on two buttons: both follow it
    HourMarkProcess& p = Started("links", s);

    NodeSim::Must({"link", "QX3EF-L", "Some Body", "10.0.0.9"});
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode1, "QX3EF-L*"));
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode5, "QX3EF-L*"));
    NodeSim::Must({"link", "QX3EF-L"});  // a second event never doubles the mark
    NodeSim::Must({"unlink", "QX3EF-L"});
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode1, "QX3EF-L"));
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode5, "QX3EF-L"));

    // A link asked for with the left button comes up a second later, by the host's event.
    PostMessageW(p.Control(ControlId(Control::cmdRemoteNode1)), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(WaitForTrace("call\tConnect\tQX3EF-L\t0"));
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode1, "QX3EF-L*"));
    // ... and the middle button on a linked node unlinks it.
    PostMessageW(p.Control(ControlId(Control::cmdRemoteNode1)), WM_MBUTTONUP, 0, 0);
    EXPECT_TRUE(WaitForTrace("call\tDisconnect\tQX3EF-L"));
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode1, "QX3EF-L"));

    const std::vector<std::string> log = Lines(p.ReadFile(L"HourMarkLog.txt"));
    std::vector<std::string> events;
    for (const auto& line : log) {
        // "mm/dd/yy hh:mm:ss " then the message
        ASSERT_GT(line.size(), 18u) << line;
        EXPECT_EQ(line[2], '/') << line;
        events.push_back(line.substr(18));
    }
    EXPECT_EQ(events, (std::vector<std::string>{
                          "<EchoLink> connected: QX3EF-L", "<EchoLink> connected: QX3EF-L",
                          "<EchoLink> disconnected: QX3EF-L", "<EchoLink> connected: QX3EF-L",
                          "<EchoLink> disconnected: QX3EF-L"}));
}

TEST_F(Station, TheNodeSetupOpensOnTheRightButtonAndTheStationRunsOnUnderIt) {
    SettingsValues s = NoBoxesTicked();
    s.nodes[0] = {"QX9AB-L", 0, "", "", 10};
    HourMarkProcess& p = Started("setup", s);
    PostMessageW(p.Control(ControlId(Control::cmdRemoteNode0)), WM_RBUTTONUP, 0, 0);
    HWND setup = p.WaitFor(L"HourMarkNodeSetup", true, 10000);
    ASSERT_NE(setup, nullptr);
    EXPECT_FALSE(TraceHas("call\tConnect\tQX9AB-L\t0")) << "the right button only opens it";

    // Touch tones and host events are obeyed while the operator edits.
    NodeSim::Must({"dtmf", "*0*"});
    EXPECT_TRUE(WaitForTrace("call\tSpeakPhrase\t8"));
    NodeSim::Must({"link", "QX9AB-L"});
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode0, "QX9AB-L*"));

    using hourmark::win32::NodeSetupWindow;
    SetDlgItemTextW(setup, NodeSetupWindow::kCallId + 1, L"  qx5zz-r ");
    SetDlgItemTextW(setup, NodeSetupWindow::kStartId + 1, L" 08:00");
    SetDlgItemTextW(setup, NodeSetupWindow::kStopId + 1, L"09:00 ");
    SetDlgItemTextW(setup, NodeSetupWindow::kDelayId + 1, L"12.5");
    PostMessageW(GetDlgItem(setup, NodeSetupWindow::kAutoId + 1), BM_CLICK, 0, 0);
    PumpFor(300);
    PostMessageW(GetDlgItem(setup, NodeSetupWindow::kOkId), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(setup) || !IsWindowVisible(setup); }, 10000));

    SettingsValues saved = s;
    saved.nodes[1] = {"QX5ZZ-R", 1, "08:00", "09:00", 12};
    for (int i = 2; i < hourmark::kNodeCount; ++i) {
        saved.nodes[static_cast<std::size_t>(i)].delay = 10;  // the dialog's least delay
    }
    EXPECT_TRUE(PumpUntil(
        [&] { return p.ReadFile(L"hourmark.ini") == hourmark::FormatSettings(saved); }, 5000))
        << p.ReadFile(L"hourmark.ini");
    EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode1, "QX5ZZ-R"));
    EXPECT_EQ(ControlText(p, Control::cmdRemoteNode0), "QX9AB-L*");
    EXPECT_TRUE(p.MessageBoxes().empty());
}

// ---- Touch-tone commands ---------------------------------------------------------------------

TEST_F(Station, ObeysEachTouchToneCommand) {
    SettingsValues s = NoBoxesTicked();
    s.nodes[0] = {"QX4GH-R", 0, "", "", 10};
    s.nodes[1] = {"QX5IJ-L", 0, "", "", 10};
    s.nodes[2] = {"QX6KL-L", 0, "", "", 10};
    HourMarkProcess& p = NewStation("dtmf");
    const std::string wave = WriteWave("hourmark-e2e-id.wav", 300);
    s.selectedWavFile = wave;
    p.WriteFile(L"hourmark.ini", hourmark::FormatSettings(s));
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitUntilStarted());
    NodeSim::Must({"link", "QX6KL-L"});
    NodeSim::Must({"link", "QX4GH-R"});

    NodeSim::Must({"trace", "clear"});
    NodeSim::Must({"dtmf", "*0*"});
    EXPECT_TRUE(WaitForTrace("call\tSpeakPhrase\t8"));
    EXPECT_EQ(CheckOf(p, Control::cbAutoOverride), BST_CHECKED);

    NodeSim::Must({"dtmf", "*1*"});
    EXPECT_TRUE(WaitForTrace("call\tSpeakPhrase\t3"));
    EXPECT_EQ(CheckOf(p, Control::cbAutoOverride), BST_UNCHECKED);

    // The linked nodes in the order of the table, each as its call and what it is.
    NodeSim::Must({"trace", "clear"});
    NodeSim::Must({"dtmf", "*7*"});
    EXPECT_TRUE(WaitForTrace("call\tSpeakPhrase\t2"));
    std::vector<std::string> spoken;
    for (const auto& line : TraceWithoutPolling()) {
        if (line.rfind("call\tSpeak", 0) == 0) {
            spoken.push_back(line);
        }
    }
    EXPECT_EQ(spoken, (std::vector<std::string>{"call\tSpeakText\tQX4GH", "call\tSpeakPhrase\t1",
                                                "call\tSpeakText\tQX6KL", "call\tSpeakPhrase\t2"}));

    // "000*" presses the time button: the callsign, then the time; only on an idle node.
    ASSERT_TRUE(WaitUntilIdle());
    NodeSim::Must({"trace", "clear"});
    NodeSim::Must({"dtmf", "000*"});
    EXPECT_TRUE(WaitForTrace("call\tSpeakText\tQX1SIM"));
    EXPECT_TRUE(WaitForTrace("call\tSpeakPhrase\t2"));
    EXPECT_TRUE(PumpUntil(
        [] {
            for (const auto& line : NodeSim::TraceLines()) {
                if (line.rfind("call\tSpeakText\t ", 0) == 0 &&
                    (line.find("AM") != std::string::npos ||
                     line.find("PM") != std::string::npos)) {
                    return true;
                }
            }
            return false;
        },
        10000))
        << Joined(NodeSim::TraceLines());

    // "000#" presses the file button, again only on an idle node.
    ASSERT_TRUE(WaitUntilIdle());
    NodeSim::Must({"trace", "clear"});
    NodeSim::Must({"dtmf", "000#"});
    EXPECT_TRUE(WaitForTrace("call\tPlayWaveFile\t" + Escaped(wave) + "\tFalse"))
        << Joined(NodeSim::TraceLines());

    // Anything else is nothing.
    NodeSim::Must({"trace", "clear"});
    for (const char* other : {"*00*", "*0", "0*0*", "*7* ", "000"}) {
        NodeSim::Must({"dtmf", other});
    }
    PumpFor(1500);
    for (const auto& line : TraceWithoutPolling()) {
        EXPECT_EQ(line.rfind("event\tDTMFString", 0), 0u) << "answered: " << line;
    }
    EXPECT_TRUE(p.MessageBoxes().empty());
}

// ---- The file transmission ---------------------------------------------------------------------

TEST_F(Station, ARefusedWaveFileUnkeysAndTellsTheOperatorOnce) {
    SettingsValues s = NoBoxesTicked();
    s.selectedWavFile = WriteFileText("hourmark-e2e-not-a-wave.wav", "this is no RIFF file");
    HourMarkProcess& p = Started("badwave", s);

    PostMessageW(p.Control(ControlId(Control::CMDFile)), BM_CLICK, 0, 0);
    const std::wstring text = p.WaitForMessage(10000);
    EXPECT_EQ(text, L"File Format Invalid - See EchoLink HELP\r\nfor proper WAV file format.");
    EXPECT_TRUE(WaitForTrace("call\tSetTransmit\tFalse"));
    // A radio user repeating the command under the open box does not stack boxes.
    NodeSim::Must({"dtmf", "000#"});
    NodeSim::Must({"dtmf", "000#"});
    PumpFor(1500);
    EXPECT_EQ(p.MessageBoxes().size(), 1u);
    EXPECT_EQ(TraceCount("call\tSetTransmit\tFalse"), 3u) << Joined(TraceWithoutPolling());
    std::vector<std::wstring> texts;
    p.AnswerMessages(texts);
    EXPECT_TRUE(p.Running());
}

TEST_F(Station, TheFilePickedIsTheFileSent) {
    HourMarkProcess& p = NewStation("picker");
    p.WriteFile(L"hourmark.ini", hourmark::FormatSettings(NoBoxesTicked()));
    ASSERT_TRUE(CopyFileW(Widen(WriteWave("hourmark-e2e-pick.wav", 200)).c_str(),
                          p.PathOf(L"Ident.WAV").c_str(), FALSE));
    p.WriteFile(L"notes.txt", "not a recording");
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitUntilStarted());
    PostMessageW(p.Control(ControlId(Control::cmdFileSelect)), BM_CLICK, 0, 0);
    HWND picker = p.WaitFor(L"HourMarkSelect", true, 10000);
    ASSERT_NE(picker, nullptr);

    using hourmark::win32::WavPickerWindow;
    // It opens in the program's own directory and shows only the recordings.
    HWND files = GetDlgItem(picker, WavPickerWindow::kFileListId);
    ASSERT_EQ(SendMessageW(files, LB_GETCOUNT, 0, 0), 1);
    wchar_t name[MAX_PATH] = {};
    SendMessageW(files, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(std::wstring(name), L"Ident.WAV");
    const LPARAM firstItem =
        MAKELPARAM(5, static_cast<WORD>(SendMessageW(files, LB_GETITEMHEIGHT, 0, 0) / 2));
    PostMessageW(files, WM_LBUTTONDOWN, MK_LBUTTON, firstItem);
    PostMessageW(files, WM_LBUTTONUP, 0, firstItem);
    PumpFor(300);
    PostMessageW(GetDlgItem(picker, WavPickerWindow::kSelectId), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(picker) || !IsWindowVisible(picker); }, 10000));

    const std::string chosen = p.DirectoryText() + "\\Ident.WAV";
    EXPECT_TRUE(WaitForText(p, Control::tbFileName, chosen)) << ControlText(p, Control::tbFileName);
    NodeSim::Must({"trace", "clear"});
    PostMessageW(p.Control(ControlId(Control::CMDFile)), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitForTrace("call\tPlayWaveFile\t" + Escaped(chosen) + "\tFalse"))
        << Joined(TraceWithoutPolling());

    // The choice and the directory it came from outlive the program.
    p.CloseByOperator();
    EXPECT_EQ(p.WaitForExit(10000), 0);
    SettingsValues saved = NoBoxesTicked();
    saved.selectedWavFile = chosen;
    saved.lastWavDir = p.DirectoryText();
    EXPECT_EQ(p.ReadFile(L"hourmark.ini"), hourmark::FormatSettings(saved));
}

// ---- Host events -------------------------------------------------------------------------------

TEST_F(Station, KeepsTheNodeListOnlyForItsOwnStations) {
    NodeSim::Must({"nodelist", "<nodelist><node call=\"QX7MN-L\"/></nodelist>"});
    {
        HourMarkProcess& p = Started("list-other", NoBoxesTicked());
        NodeSim::Must({"stationlist"});
        PumpFor(1500);
        EXPECT_FALSE(p.HasFile(L"NodeList.xml"));
        p.CloseByOperator();
        EXPECT_EQ(p.WaitForExit(10000), 0);
    }
    NodeSim::Must({"callsign", "QX2CD-L"});
    HourMarkProcess& p = Started("list-own", NoBoxesTicked());
    NodeSim::Must({"stationlist"});
    EXPECT_TRUE(PumpUntil([&] { return p.HasFile(L"NodeList.xml"); }, 10000));
    PumpFor(300);
    EXPECT_EQ(p.ReadFile(L"NodeList.xml"), "<nodelist><node call=\"QX7MN-L\"/></nodelist>\r\n");
}

TEST_F(Station, TheHostClosingEndsHourMarkWithItsSettingsSaved) {
    HourMarkProcess& p = Started("hostclose", NoBoxesTicked());
    // A change the operator made: only a save at the end puts it in the file.
    PostMessageW(p.Control(ControlId(Control::cbHalfHour)), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return CheckOf(p, Control::cbHalfHour) == BST_CHECKED; }, 5000));
    NodeSim::Must({"close"});
    EXPECT_EQ(p.WaitForExit(10000), 0);
    SettingsValues expected = NoBoxesTicked();
    expected.schedule[1] = 1;
    EXPECT_EQ(p.ReadFile(L"hourmark.ini"), hourmark::FormatSettings(expected));
}

// A host whose class names no type library is read through the host object's own type
// information, a proxy across processes; a host whose registered library is another version's,
// with other event ids, is read from the running object's own class information. Every event
// must reach HourMark all the same, and an id no description declares is logged once.
TEST_F(Station, EveryEventArrivesWhetherTheRegistryNamesNoLibraryOrAStaleOne) {
    struct Reregister {
        ~Reregister() { NodeSim::Run({"/RegServer"}); }
    } reregister;
    for (const char* registration : {"/NoTypeLib", "/StaleTypeLib"}) {
        SCOPED_TRACE(registration);
        NodeSim::Must({"/RegServer", registration});
        NodeSim::Must({"reset"});
        // One of the two stations that keep the node list, so that a station list shows.
        NodeSim::Must({"callsign", "QX2CD-L"});
        NodeSim::Must({"nodelist", "<nodes/>"});
        SettingsValues s = NoBoxesTicked();
        s.nodes[2] = {"QX3EF-L", 0, "", "", 10};
        HourMarkProcess& p = Started(std::string("events-") + (registration + 1), s);
        auto logged = [&](const std::string& line) {
            return PumpUntil(
                [&] { return p.ReadFile(L"HourMarkLog.txt").find(line) != std::string::npos; },
                5000);
        };

        NodeSim::Must({"link", "QX3EF-L"});
        EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode2, "QX3EF-L*"));
        EXPECT_TRUE(logged("<EchoLink> connected: QX3EF-L"));
        NodeSim::Must({"unlink", "QX3EF-L"});
        EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode2, "QX3EF-L"));
        EXPECT_TRUE(logged("<EchoLink> disconnected: QX3EF-L"));
        NodeSim::Must({"stationlist"});
        EXPECT_TRUE(PumpUntil([&] { return p.HasFile(L"NodeList.xml"); }, 5000));
        NodeSim::Must({"dtmf", "*0*"});
        EXPECT_TRUE(WaitForTrace("call\tSpeakPhrase\t8"));
        ASSERT_TRUE(
            PumpUntil([&] { return CheckOf(p, Control::cbAutoOverride) == BST_CHECKED; }, 5000));
        NodeSim::Must({"raise", "77"});
        NodeSim::Must({"raise", "77"});
        EXPECT_TRUE(logged("<EchoLink> event 77 not known to HourMark, ignored"));

        // The host's closing ends HourMark with its settings saved, a change made just before
        // too.
        PostMessageW(p.Control(ControlId(Control::cbHalfHour)), BM_CLICK, 0, 0);
        ASSERT_TRUE(
            PumpUntil([&] { return CheckOf(p, Control::cbHalfHour) == BST_CHECKED; }, 5000));
        NodeSim::Must({"close"});
        EXPECT_EQ(p.WaitForExit(10000), 0);
        SettingsValues expected = s;
        expected.schedule[1] = 1;
        EXPECT_EQ(p.ReadFile(L"hourmark.ini"), hourmark::FormatSettings(expected));
        EXPECT_TRUE(p.MessageBoxes().empty());
        const std::string log = p.ReadFile(L"HourMarkLog.txt");
        EXPECT_EQ(log.find("event 77"), log.rfind("event 77")) << "told once: " << log;
    }
}

TEST_F(Station, AHostFailingEveryCallGivesOneMessageAndHourMarkGoesOn) {
    HourMarkProcess& p = Started("failing", NoBoxesTicked());
    NodeSim::Must({"fail", "IsTransmitting", "the radio is gone"});
    const std::wstring text = p.WaitForMessage(10000);
    EXPECT_NE(text.find(L"IsTransmitting"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"the radio is gone"), std::wstring::npos) << Narrow(text);
    // Ticks go on failing twice a second underneath: still the one box, then no more.
    PumpFor(3000);
    EXPECT_EQ(p.MessageBoxes().size(), 1u);
    std::vector<std::wstring> texts;
    p.AnswerMessages(texts);
    PumpFor(3000);
    EXPECT_TRUE(p.MessageBoxes().empty()) << "the same failure is told once";
    EXPECT_TRUE(p.Running());
    EXPECT_GT(TraceCount("call\tIsTransmitting\tfailed: the radio is gone"), 4u)
        << "the ticks kept running";
    // ... and the station still answers once the host is back.
    NodeSim::Must({"fail", "IsTransmitting", "off"});
    NodeSim::Must({"trace", "clear"});
    NodeSim::Must({"dtmf", "*0*"});
    EXPECT_TRUE(WaitForTrace("call\tSpeakPhrase\t8"));
}

// ---- EchoLink dies and comes back --------------------------------------------------------------

std::vector<DWORD> SimulatorProcesses() {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"nodesim.exe") == 0) {
            found.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return found;
}

// As a crash takes it: the process ends without its close command or any goodbye.
void KillSimulator() {
    for (DWORD pid : SimulatorProcesses()) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        ASSERT_NE(process, nullptr);
        TerminateProcess(process, 3);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

// Wine 8's rpcss keeps a killed server's class registration and hands it to every later client, so
// no restarted server is reachable while rpcss runs; Windows drops a dead server's classes. A
// restart of the service stands in for that, under Wine only.
void ForgetDeadServersClasses() {
    if (!hourmark::test::OnWine()) {
        return;
    }
    std::wstring command = L"net.exe stop rpcss";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &info));
    WaitForSingleObject(info.hProcess, 30000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

// As a watchdog or the operator starts it, not through COM.
void StartSimulator() {
    std::wstring command = L"\"" + NodeSim::Program() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

TEST_F(Station, FollowsEchoLinkThroughTwoCrashesWithNobodyAtTheKeyboard) {
    SettingsValues s = NoBoxesTicked();
    s.nodes[2] = {"QX3EF-L", 0, "", "", 10};
    HourMarkProcess& p = Started("crash", s);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("outage " + std::to_string(round));
        KillSimulator();
        ForgetDeadServersClasses();
        if (round == 1) {
            const std::wstring text = p.WaitForMessage(10000);
            EXPECT_NE(text.find(L"EchoLink stopped answering in "), std::wstring::npos)
                << Narrow(text);
        }
        // HourMark looks for EchoLink, but leaves starting it to the station.
        PumpFor(8000);
        EXPECT_TRUE(SimulatorProcesses().empty()) << "HourMark started EchoLink itself";
        ASSERT_TRUE(p.Running());
        EXPECT_NE(p.ReadFile(L"HourMarkLog.txt").find("HourMark lost EchoLink in "),
                  std::string::npos);

        // The dead simulator's trace goes with it, so that only the new one's calls are seen.
        DeleteFileW((NodeSim::Directory() + L"\\nodesim-trace.txt").c_str());
        const DWORD restarted = GetTickCount();
        StartSimulator();
        ASSERT_TRUE(PumpUntil([] { return NodeSim::Run({"state"}).exitCode == 0; }, 20000));
        // Round two comes within a minute of the first return: attempts at the slow pace.
        ASSERT_TRUE(WaitForTrace("call\tIsTransmitting", 75000));
        std::printf("[ outage %d ] EchoLink started to HourMark's first call: %lu ms\n", round,
                    static_cast<unsigned long>(GetTickCount() - restarted));
        EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode2, "QX3EF-L")) << "captions afresh";

        NodeSim::Must({"link", "QX3EF-L"});
        EXPECT_TRUE(WaitForText(p, Control::cmdRemoteNode2, "QX3EF-L*"));
        EXPECT_TRUE(PumpUntil(
            [&] {
                const std::string log = p.ReadFile(L"HourMarkLog.txt");
                std::size_t count = 0;
                for (std::size_t at = log.find("<EchoLink> connected: QX3EF-L");
                     at != std::string::npos;
                     at = log.find("<EchoLink> connected: QX3EF-L", at + 1)) {
                    ++count;
                }
                return count == static_cast<std::size_t>(round);
            },
            5000));
        NodeSim::Must({"dtmf", "*7*"});
        EXPECT_TRUE(WaitForTrace("call\tSpeakText\tQX3EF"));
        EXPECT_EQ(p.MessageBoxes().size(), 1u) << "the first outage's box, never answered";
    }
    // EchoLink's closing still ends HourMark, saving its settings, under the unanswered box.
    DeleteFileW(p.PathOf(L"hourmark.ini").c_str());
    NodeSim::Must({"close"});
    EXPECT_EQ(p.WaitForExit(10000), 0);
    EXPECT_EQ(p.ReadFile(L"hourmark.ini"), hourmark::FormatSettings(s));
}

// ---- Recording ---------------------------------------------------------------------------------

TEST_F(Station, RecordsAContactWithTheKeyboardAlone) {
    HourMarkProcess& p = NewStation("record");
    p.WriteFile(L"hourmark.ini", hourmark::FormatSettings(NoBoxesTicked()));
    ASSERT_TRUE(CopyFileW(Widen(WriteWave("hourmark-e2e-ok.wav", 200)).c_str(),
                          p.PathOf(L"ok.wav").c_str(), FALSE));
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitUntilStarted());
    p.ClickTrayIcon(WM_LBUTTONUP);
    HWND main = p.WaitFor(L"HourMarkMain", true, 5000);
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);
    PumpFor(300);
    const std::string dir = Escaped(p.DirectoryText());

    // The recording buttons sit below what the window shows: only Tab reaches them.
    NodeSim::Must({"trace", "clear"});
    ASSERT_TRUE(TabTo(p, p.Control(ControlId(Control::cbRecordStart))));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitForTrace("call\tStartRecording\t" + dir + "\\\\rec.wav"))
        << Joined(TraceWithoutPolling());
    EXPECT_EQ(TraceWithoutPolling(),
              (std::vector<std::string>{"put\tSetupConfig.RecordMode\t2",
                                        "call\tPlayWaveFile\t" + dir + "\\\\ok.wav\tTrue",
                                        "call\tStartRecording\t" + dir + "\\\\rec.wav"}));
    EXPECT_NE(NodeSim::Must({"state"}).find("recordmode=2"), std::string::npos);

    NodeSim::Must({"trace", "clear"});
    ASSERT_TRUE(TabTo(p, p.Control(ControlId(Control::cbRecordStop))));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitForTrace("call\tPlayWaveFile\t" + dir + "\\\\ok.wav\tFalse"))
        << Joined(TraceWithoutPolling());
    EXPECT_EQ(TraceWithoutPolling(),
              (std::vector<std::string>{"call\tStopRecording", "put\tSetupConfig.RecordMode\t0",
                                        "call\tPlayWaveFile\t" + dir + "\\\\ok.wav\tFalse"}));

    // The contact plays back from EchoLink's WAV directory under the name of its start.
    NodeSim::Must({"trace", "clear"});
    ASSERT_TRUE(TabTo(p, p.Control(ControlId(Control::cbRecordPlayback))));
    PressKey(VK_SPACE);
    const std::string played = "call\tPlayWaveFile\td:\\\\radio\\\\echolink\\\\wav\\\\QSO_";
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const auto& line : NodeSim::TraceLines()) {
                if (line.rfind(played, 0) == 0) {
                    return true;
                }
            }
            return false;
        },
        10000))
        << Joined(TraceWithoutPolling());
    for (const auto& line : NodeSim::TraceLines()) {
        if (line.rfind(played, 0) == 0) {
            // QSO_yyyy_mm_dd_hhmmss.wav, then the wait flag (and the host's refusal: the file
            // is not on this machine)
            const std::string name = line.substr(played.size() - 4, 25);
            SYSTEMTIME now;
            GetLocalTime(&now);
            char year[16];
            snprintf(year, sizeof year, "QSO_%04u", now.wYear);
            EXPECT_EQ(name.substr(0, 8), year) << line;
            EXPECT_EQ(name.substr(21), ".wav") << line;
            EXPECT_EQ(name.substr(8, 1) + name.substr(11, 1) + name.substr(14, 1), "___") << line;
            EXPECT_NE(line.find(".wav\tFalse"), std::string::npos) << line;
        }
    }
    std::vector<std::wstring> texts;
    p.AnswerMessages(texts);
}

// ---- The fan -----------------------------------------------------------------------------------

TEST_F(Station, TheFanFollowsTheTransmitter) {
    SettingsValues s = NoBoxesTicked();
    s.fanRts = 1;
    s.fanDtr = 1;
    HourMarkProcess& p = Started("fan", s);
    NodeSim::Must({"busy", "transmitting", "on"});
    EXPECT_TRUE(WaitForTrace("call\tSetRts\tTrue"));
    EXPECT_TRUE(WaitForTrace("call\tSetDtr\tTrue"));
    EXPECT_TRUE(WaitForState("rts=True dtr=True", 5000));
    NodeSim::Must({"busy", "transmitting", "off"});
    EXPECT_TRUE(WaitForState("rts=False dtr=False", 5000));
    EXPECT_TRUE(p.Running());
}

TEST_F(Station, TheKeyingLineGreysItsFanBox) {
    for (const char* line : {"2", "3"}) {
        SCOPED_TRACE(std::string("keying line ") + line);
        NodeSim::Must({"reset"});
        NodeSim::Must({"keyingline", line});
        SettingsValues s = NoBoxesTicked();
        s.fanRts = 1;
        s.fanDtr = 1;
        HourMarkProcess& p = Started(std::string("keying") + line, s);
        const Control keyed = line[0] == '2' ? Control::FanRTS : Control::FanDTR;
        const Control other = line[0] == '2' ? Control::FanDTR : Control::FanRTS;
        EXPECT_FALSE(IsWindowEnabled(p.Control(ControlId(keyed))));
        EXPECT_EQ(CheckOf(p, keyed), BST_UNCHECKED);
        EXPECT_TRUE(IsWindowEnabled(p.Control(ControlId(other))));
        EXPECT_EQ(CheckOf(p, other), BST_CHECKED);
        NodeSim::Must({"trace", "clear"});
        NodeSim::Must({"busy", "transmitting", "on"});
        const char* otherCall = line[0] == '2' ? "call\tSetDtr\tTrue" : "call\tSetRts\tTrue";
        const char* keyedCall = line[0] == '2' ? "call\tSetRts\tTrue" : "call\tSetDtr\tTrue";
        EXPECT_TRUE(WaitForTrace(otherCall));
        EXPECT_FALSE(TraceHas(keyedCall)) << "the keying line is EchoLink's";
        p.CloseByOperator();
        EXPECT_EQ(p.WaitForExit(10000), 0);
        SettingsValues saved = s;
        (line[0] == '2' ? saved.fanRts : saved.fanDtr) = 0;
        EXPECT_EQ(p.ReadFile(L"hourmark.ini"), hourmark::FormatSettings(saved));
    }
}

}  // namespace
}  // namespace e2e
