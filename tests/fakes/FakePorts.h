// Fakes of the clock, the windows, the files and the pause, and the Rig that wires them to a
// Station with the four window timers simulated on the fake clock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "console/Clock.h"
#include "console/Files.h"
#include "console/Pause.h"
#include "console/Station.h"
#include "console/Window.h"
#include "fakes/FakeHost.h"

namespace hourmark::test {

// Thrown by FakeWindow::EndProgram so that a test sees the end of the program.
struct ProgramEnded {
    int exitCode;
};

class FakeClock : public Clock {
public:
    // Milliseconds since 1970-01-01 00:00 local time.
    std::int64_t nowMs = 0;
    std::string am = "AM";
    std::string pm = "PM";
    // Runs at every reading (a test can move the clock between two readings).
    std::function<void()> onRead;
    // How far the wall clock stands from the time the window timers and pauses run on: changing
    // it sets the clock (the end of summer time, an operator's correction), which neither the
    // timers nor a pause in progress notice.
    std::int64_t wallOffsetMs = 0;

    void Set(int year, int month, int day, int hour, int minute, int second, int ms = 0);
    void Advance(std::int64_t ms) { nowMs += ms; }
    LocalTime Now() override;
    std::string AmDesignator() override { return am; }
    std::string PmDesignator() override { return pm; }
    static std::int64_t ToMs(int year, int month, int day, int hour, int minute, int second,
                             int ms = 0);
    static LocalTime FromMs(std::int64_t ms);
};

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
};

class FakeWindow : public Window {
public:
    bool shown = false;  // the main window is on the screen
    WindowState state = WindowState::Normal;
    double top = 0;
    double left = 0;
    std::vector<std::string> log;  // what the core asked of the window, in order
    std::vector<Message> messages;
    int openModals = 0;  // message boxes and dialogs open now
    std::set<Dialog> showing;
    bool trayIcon = false;
    std::string trayTip;

    // Runs while a message box is open (the operator reads it); then the box closes.
    std::function<void(const Message&)> onMessage;
    // Runs while a dialog is open, as the operator; the dialog closes when the script calls
    // CloseDialog or when it returns.
    std::function<void(Dialog)> onDialog;

    void ControlChanged(Control control) override;
    bool CanFocusIndicator() override { return shown && openModals == 0; }
    void FocusIndicator() override { log.push_back("FocusIndicator"); }
    bool IsDialogShowing(Dialog d) override { return showing.count(d) != 0; }
    void ShowDialog(Dialog d) override;
    void CloseDialog(Dialog d) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    WindowState GetWindowState() override { return state; }
    void SetWindowState(WindowState s) override;
    void SetVisible(bool visible) override;
    void ShowModeless() override;
    void SetForeground() override { log.push_back("SetForeground"); }
    double Top() override { return top; }
    double Left() override { return left; }
    void SetTop(std::int32_t twips) override;
    void SetLeft(std::int32_t twips) override;
    void AddTrayIcon() override;
    void SetTrayTip(const std::string& tip) override;
    void DeleteTrayIcon() override;
    [[noreturn]] void EndProgram(int exitCode) override;

    std::size_t Count(const std::string& entry) const;
    std::vector<Control> changed;  // every ControlChanged, in order
};

class FakeFiles : public Files {
public:
    std::string programDirectory = "C:\\HourMark";
    std::map<std::string, std::string> files;  // path -> bytes
    std::set<std::string> directories{"C:\\HourMark", "C:\\"};
    std::vector<std::string> drives{"c:"};
    std::map<std::string, std::string> driveDirectory{{"c:", "C:\\"}};  // drive -> current dir
    bool failRead = false;
    bool failAppend = false;
    bool failReplace = false;
    bool failCopy = false;
    int replaceCount = 0;
    // Every append, replace and copy is a write, numbered from 1 in the order they come. Asked
    // before each one (with the text it would write): true makes it fail, as a full disk or a
    // read-only directory would. A failed write leaves every file as it was.
    std::function<bool(int number, const std::string& path, const std::string& text)> failWrite;
    int writes = 0;

    std::string ProgramDirectory() override { return programDirectory; }
    std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) override;
    bool AppendText(const std::string& path, const std::string& text) override;
    bool ReplaceText(const std::string& path, const std::string& text) override;
    bool CopyFile(const std::string& from, const std::string& to) override;
    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool IsDirectory(const std::string& path) override;
    std::vector<std::string> ListDrives() override { return drives; }
    std::optional<std::string> DriveDirectory(const std::string& drive) override;
    std::optional<DirectoryListing> ListDirectory(const std::string& path) override;
    // As Windows-1252 has it: ASCII and the accented Latin-1 letters.
    std::string UpperCase(const std::string& text) override;

    // The file's text, or "" when it does not exist.
    std::string Text(const std::string& path) const;

private:
    bool WriteFails(const std::string& path, const std::string& text);
};

class Rig;

// Advances the fake clock and runs every timer that falls due, nested, like the real pause.
class FakePause : public Pause {
public:
    explicit FakePause(Rig& rig) : rig_(rig) {}
    std::int64_t WaitUpTo(std::int64_t ms, const Over& over) override;
    std::vector<std::int64_t> waits;  // every pause asked for
    // Runs at the start of every pause, inside it: the place where a test acts during a pause.
    std::function<void(std::int64_t ms)> onWait;
    // The longest stretch of a pause during which every tick runs.
    std::int64_t tickingLimitMs = INT64_MAX;
    // How far past that the pause still runs the moments the station reads the clock for: each
    // auto-connect tick, and each quarter hour of the wall clock, ticked from a second before it
    // to a second after. In between the thread is held up, and each timer fires once as it
    // resumes. The rest of a longer pause passes at once, with one round of ticks at its end.
    std::int64_t momentsLimitMs = 0;

private:
    void RunMoments(std::int64_t endMs, const std::function<bool()>& stop);
    Rig& rig_;
};

class Rig {
public:
    Rig();
    FakeHost host;
    FakeClock clock;
    FakeWindow window;
    FakeFiles files;
    FakePause pause{*this};
    Station station;

    // Runs Form_Load; returns the exit code if the program ended during start-up.
    std::optional<int> Start();
    // Advances the clock by ms, firing the four window timers as they fall due.
    void RunFor(std::int64_t ms);
    // Stops early, after a timer's handler, once `stop` says so.
    void RunUntil(std::int64_t endMs, const std::function<bool()>& stop = nullptr);
    // Shows the main window as the operator would through the tray icon.
    void ShowWindow();
    // The settings file's path and text.
    std::string IniPath() const { return "C:\\HourMark\\hourmark.ini"; }
    std::string LogPath() const { return "C:\\HourMark\\HourMarkLog.txt"; }

    // When the timer is next due to fire.
    std::int64_t NextDue(Timer timer) const;
    // Which timers tick; a test of one subsystem may leave the others quiet.
    std::set<Timer> enabledTimers{Timer::tTime, Timer::Timer1, Timer::FanTimer,
                                  Timer::tAutoConnect};

private:
    std::map<Timer, std::int64_t> nextDue_;
    bool timersStarted_ = false;
};

}  // namespace hourmark::test
