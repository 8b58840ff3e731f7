// The main window frmmain: every piece of state the station owns and every handler. The
// platform drives it only through the entry points at the top, which go through the dispatcher
// and the error boundary; the handlers below them carry the station's own names.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "console/Clock.h"
#include "console/Controls.h"
#include "console/Dispatcher.h"
#include "console/ErrorBoundary.h"
#include "console/Files.h"
#include "console/HostOutage.h"
#include "console/Pause.h"
#include "console/Window.h"
#include "host/Host.h"
#include "host/HostLink.h"
#include "settings/NodeTable.h"

namespace hourmark {

class frmNodeSetup;
class frmSelect;

enum class Timer { tTime, Timer1, FanTimer, tAutoConnect };

constexpr int TimerIntervalMs(Timer t) {
    switch (t) {
        case Timer::tTime:
            return 1000;
        case Timer::Timer1:
        case Timer::FanTimer:
            return 500;
        case Timer::tAutoConnect:
            return 60000;
    }
    return 0;
}

// Mouse buttons as a MouseUp handler receives them.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

// The shell's mouse codes for the tray icon.
constexpr int kTrayLeftUp = 0x202;
constexpr int kTrayLeftDoubleClick = 0x203;
constexpr int kTrayRightUp = 0x205;

constexpr const char* kProgramTitle = "HourMark";
constexpr int kVersionMajor = 0;
constexpr int kVersionMinor = 9;
constexpr int kVersionRevision = 1;

struct Ports {
    HostFactory& hostFactory;
    Clock& clock;
    Window& window;
    Pause& pause;
    Files& files;
};

class Station {
public:
    explicit Station(Ports ports);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // ---- Entry points for the platform ------------------------------------------------------
    // Form_Load, once. When the host cannot be reached it reports that and ends the program
    // (Window::EndProgram) without touching the settings.
    void Start();
    void Tick(Timer timer);
    // The operator clicked a check box or push button of the main window.
    void Click(Control control);
    void NodeButtonMouseUp(int index, int mouseButton);
    void TrayCallback(int eventCode);
    void Activated();
    // The window's size or state changed by the operator's hand (the minimise button). Changes
    // the core makes itself (Station::SetWindowState) run Form_Resize without this call.
    void Resized();
    // The close box or the system menu: saves the settings, deletes the tray icon and ends the
    // program, also from inside a pause, a dialog, a message box or a pending host call.
    void Close();
    void EndSession();  // Windows is ending the session: a close like the close box
    void HostStationListReceived();
    void HostClosing();
    void HostConnected(const std::string& sCall, const std::string& sName,
                       const std::string& sAddr);
    void HostDisconnected(const std::string& sCall);
    void HostDTMFString(const std::string& sDigits);
    // The host raised an event under an id its description does not declare; logged, not run.
    void HostUnknownEvent(std::int32_t id);
    // An action of the operator in one of the dialogs.
    void DialogInput(const std::function<void()>& handler);

    // The open dialogs, or null.
    frmNodeSetup* NodeSetup() { return nodeSetup_.get(); }
    frmSelect* WavPicker() { return wavPicker_.get(); }

    // ---- The controls (the Windows layer draws them from here) -----------------------------
    std::string caption = "HourMark";
    TextControl Label1{Control::Label1,
                       "Freeware - Questions, suggestions, etc. to hm@qx1ab.example"};
    CheckBox cbHour{Control::cbHour, "Hour"};
    CheckBox cbHalfHour{Control::cbHalfHour, "Half Hour"};
    CheckBox cbQuarterHour{Control::cbQuarterHour, "Quarter Hour"};
    CheckBox cbFileHour{Control::cbFileHour, "Hour"};
    CheckBox cbFileHalfHour{Control::cbFileHalfHour, "Half Hour"};
    CheckBox cbFileQuarterHour{Control::cbFileQuarterHour, "Quarter Hour"};
    CheckBox FanRTS{Control::FanRTS, "RTS"};
    CheckBox FanDTR{Control::FanDTR, "DTR"};
    CheckBox cbAutoOverride{Control::cbAutoOverride, "Disable Auto Connects"};
    TextControl CMDFile{Control::CMDFile, "Xmit File"};
    TextControl CMDTime{Control::CMDTime, "Xmit Time"};
    TextControl tbFileName{Control::tbFileName, "No File Selected"};
    TextControl cmdFileSelect{Control::cmdFileSelect, "Select"};
    std::array<TextControl, kNodeCount> cmdRemoteNode{
        TextControl{Control::cmdRemoteNode0, "Node 1"},
        TextControl{Control::cmdRemoteNode1, "Node 2"},
        TextControl{Control::cmdRemoteNode2, "Node 3"},
        TextControl{Control::cmdRemoteNode3, "Node 4"},
        TextControl{Control::cmdRemoteNode4, "Node 5"},
        TextControl{Control::cmdRemoteNode5, "Node 6"},
        TextControl{Control::cmdRemoteNode6, "Node 7"},
        TextControl{Control::cmdRemoteNode7, "Node 8"}};
    TextControl lblTime{Control::lblTime, "00:00:00"};
    TextControl cbRecordStart{Control::cbRecordStart, "START"};
    TextControl cbRecordStop{Control::cbRecordStop, "STOP"};
    TextControl cbRecordPlayback{Control::cbRecordPlayback, "PLAYBACK"};
    Led XMIT_LED = Led::Red;

    // ---- Program-wide values ----------------------------------------------------------------
    NodeTable nodes{};
    std::string SelectedWavFile;
    std::string LastWavDir;
    std::int32_t LastTop = 0;
    std::int32_t LastLeft = 0;
    std::string sQSOFile;

    // ---- Handlers of frmmain ----------------------------------------------------------------
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void tTime_Timer();

    void Timer1_Timer();
    void cbHour_Click();
    void cbHalfHour_Click();
    void cbQuarterHour_Click();
    void cbFileHour_Click();
    void cbFileHalfHour_Click();
    void cbFileQuarterHour_Click();
    void AnnounceTime();
    void CMDTime_Click();
    void SendWavFile();
    void CMDFile_Click();
    void cmdFileSelect_Click();

    void tAutoConnect_Timer();
    void LoadNodeButtons();
    void cmdRemoteNode_MouseUp(int index, int mouseButton);
    void cbAutoOverride_Click();
    void ELo_Connected(const std::string& sCall, const std::string& sName,
                       const std::string& sAddr);
    void ELo_Disconnected(const std::string& sCall);
    void ELo_Closing();
    void ELo_StationListReceived();
    void SaveNodeList();

    void ELo_DTMFString(const std::string& sDigits);

    void FanTimer_Timer();
    void CheckFanLines();
    void FanRTS_Click();
    void FanDTR_Click();

    void cbRecordStart_Click();
    void cbRecordStop_Click();
    void cbRecordPlayback_Click();

    void ReadINIFile();
    void WriteIniFile();

    void WriteLog(const std::string& message);

    // frmTrayIcon's mouse-move handler: the shell's event code.
    void TrayIcon_MouseMove(int eventCode);

    // Pauses that keep the program alive (nesting points).
    void WaitSeconds(std::int32_t seconds);
    void KillTime(const float& pauseTime);

    // ---- Helpers shared by the subsystems ---------------------------------------------------
    // Moves the keyboard focus to XMIT_LED when the window can take it.
    void FocusStep();
    // The same, but not while either dialog is showing.
    void FocusStepUnlessDialog();
    bool DialogShowing();
    // A modal message box (a nesting point).
    void ShowMessage(const std::string& text, MessageIcon icon,
                     const std::string& title = kProgramTitle);
    void SetLed(Led led);
    void SetCaption(const std::string& text);
    // Minimises or restores the main window; Form_Resize runs when the state changes.
    void SetWindowState(WindowState state);
    // Opens frmNodeSetup or frmSelect modally and returns once it has closed.
    void OpenNodeSetup();
    void OpenWavPicker();
    // Closes an open dialog (its OK, CANCEL or close box).
    void CloseNodeSetup();
    void CloseWavPicker();

    std::string ProgramDirectory();
    LocalTime Now() { return ports_.clock.Now(); }
    std::string FormatNow(const char* pattern);
    std::string Format(const LocalTime& t, const char* pattern);

    HostLink& host() { return host_; }
    Window& window() { return ports_.window; }
    Files& files() { return ports_.files; }
    Clock& clock() { return ports_.clock; }
    Dispatcher& dispatcher() { return dispatcher_; }

    // Ends the program: tray icon deleted, host released, process ended. Never returns.
    [[noreturn]] void EndProgram(int exitCode);

private:
    void Enter(EntryKind kind, const std::function<void()>& handler);
    void BindControls();
    [[noreturn]] void StartUpFailed(const std::string& reason, const char* advice);

    // EchoLink went away and comes back: noted at the failing call, told once after the entry
    // point, looked for at the clock's ticks.
    void HostLost(const HostFailure& failure);
    void TellOutage();
    static std::string CaptionFor(const std::string& callsign);
    void WatchHost();
    void Reattach();

    Ports ports_;
    Dispatcher dispatcher_;
    ErrorBoundary boundary_;
    HostLink host_;
    bool started_ = false;
    bool hostBound_ = false;  // start-up's steps 2 and 3 are done
    bool ending_ = false;
    bool trayAdded_ = false;
    bool loaded_ = false;  // Form_Load is over: a host lost from here on is followed
    HostOutage outage_;
    std::string outageText_;

    std::unique_ptr<frmNodeSetup> nodeSetup_;
    std::unique_ptr<frmSelect> wavPicker_;

    // ---- State kept by the subsystems, each reached only through their handlers -------------
    // The node is busy: IsTransmitting, IsBusyA and IsBusyB, all three read, in that order.
    bool NodeBusy();
    // The scheduler's once-per-slot marks: the minute of the day (hour * 60 + minute, or -1) for
    // which each button was pressed by the schedule.
    int timeSlotPressed = -1;
    int fileSlotPressed = -1;
    // An auto-connect pass is walking the table.
    bool autoConnectWorking = false;
    // The file error message is open.
    bool fileErrorOpen = false;
    // A settings file that failed to read has not been copied aside yet: no save may replace
    // it until a copy is kept. Only the settings code clears it.
    bool damagedSettingsUnkept = false;
};

}  // namespace hourmark
