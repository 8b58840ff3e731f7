// The station on the real windows, with the core's fake host and files: the windows, the tray
// window, the timers, the pause and the message boxes are the program's own. The tray requests
// are recorded instead of reaching the shell, and the end of the program throws ProgramEnded.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fakes/FakePorts.h"
#include "win32/LocalClock.h"
#include "win32/StationInput.h"
#include "win32/WaitTimerPause.h"
#include "win32/WinApi.h"
#include "win32/WindowPort.h"

namespace hourmark::win32::test {

using hourmark::test::FakeFiles;
using hourmark::test::FakeHost;
using hourmark::test::ProgramEnded;

// ---- The shell, as the tray icon's requests reach it ------------------------------------------

struct TrayRequest {
    DWORD message;
    NOTIFYICONDATAA data;
};
std::vector<TrayRequest>& TrayRequests();
// What the recorded shell answers.
extern BOOL trayAnswer;
BOOL WINAPI RecordTrayRequest(DWORD message, PNOTIFYICONDATAA data);

// ---- The station's entry points, recorded on the way in ----------------------------------------

class RecordingInput : public StationInput {
public:
    explicit RecordingInput(Station& station) : station_(station) {}

    // Off: the calls are only recorded, nothing reaches the station.
    bool forward = true;
    std::vector<std::string> log;
    std::map<Timer, int> ticks;
    int resized = 0;
    // Runs as a dialog's handler has been handed over: after it ran, unless the station held it.
    std::function<void()> onDialogInput;

    void Tick(Timer timer) override;
    void Click(Control control) override;
    void NodeButtonMouseUp(int index, int mouseButton) override;
    void TrayCallback(int eventCode) override;
    void Activated() override;
    void Resized() override;
    void Close() override;
    void EndSession() override;
    void DialogInput(const std::function<void()>& handler) override;

    std::size_t Count(const std::string& entry) const;

private:
    StationEntryPoints station_;
};

// ---- Message boxes -----------------------------------------------------------------------------

struct SeenBox {
    std::wstring title;
    std::wstring text;
    HWND owner;
    HICON icon;
};

// The message boxes this thread shows now.
std::vector<HWND> OpenMessageBoxes();
SeenBox Describe(HWND box);

// ---- The rig
// -------------------------------------------------------------------------------------

class WinRig {
public:
    WinRig();
    ~WinRig();
    WinRig(const WinRig&) = delete;
    WinRig& operator=(const WinRig&) = delete;

    FakeHost host;
    FakeFiles files;
    LocalClock clock;
    WaitTimerPause pause;
    WindowPort window;
    Station station;
    RecordingInput input;
    // Message boxes nobody was waiting for are closed at once and kept here.
    std::vector<SeenBox> closedBoxes;
    bool closeBoxes = true;

    HWND Main() { return window.Main().hwnd(); }
    HWND Tray() { return window.Tray().window(); }
    // A control of the main window; the window makes its controls as it is first shown, so
    // asking for one makes them, hidden or not.
    HWND Child(const std::wstring& name) {
        window.Main().MakeControls();
        return window.Main().Child(name);
    }
    void TrayEvent(int code);
    // Brings the main window back as the operator does: a left click on the icon.
    void ShowThroughTray() { TrayEvent(0x202); }

private:
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR watch_ = 0;
    std::vector<HWND> closing_;
};

// ---- Time and the message loop ----------------------------------------------------------------

using Clock = std::chrono::steady_clock;
inline long long MsSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// Runs the thread's messages for the time.
void PumpFor(int ms);
// Runs the job once, the given time from now, from whatever message loop is running then.
void RunLater(int ms, std::function<void()> job);
// Runs the job once the dialog is on the screen (whatever start-up messages come first), and
// then the given time later.
void WhenShowing(WinRig& rig, Dialog dialog, int ms, std::function<void()> job);

// ---- Windows -------------------------------------------------------------------------------

std::wstring TextOf(HWND h);
std::wstring ClassOf(HWND h);
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND h);
// The window's rectangle relative to another window's client area.
RECT RectIn(HWND h, HWND reference);
LOGFONTW FontOf(HWND h);
// A Unix path from the build as Windows under Wine names it.
std::wstring WindowsPath(const char* path);

// ---- What a screen reader reads ----------------------------------------------------------------

struct ReaderSees {
    std::wstring name;
    std::wstring value;
    long role = 0;
    long state = 0;
};
// The control's client object as an MSAA client gets it (AccessibleObjectFromWindow).
ReaderSees ReadAsAReader(HWND control);

}  // namespace hourmark::win32::test
