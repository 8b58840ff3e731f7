// hourmark.exe as the station runs it, watched from outside: copied into a program directory of
// its own (where its settings, log and node list go), started against whatever host COM finds,
// and looked at and handled only through its windows and its files, as an operator would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class HourMarkProcess {
public:
    static std::wstring& Program();

    // Makes the program directory; nothing runs yet, so that files can be put beside the program.
    explicit HourMarkProcess(const std::string& tag);
    ~HourMarkProcess();
    HourMarkProcess(const HourMarkProcess&) = delete;
    HourMarkProcess& operator=(const HourMarkProcess&) = delete;

    std::string DirectoryText() const;
    std::wstring PathOf(const std::wstring& name) const { return dir_ + L"\\" + name; }
    void WriteFile(const std::wstring& name, const std::string& bytes) const;
    bool HasFile(const std::wstring& name) const;
    std::string ReadFile(const std::wstring& name) const;

    bool Start();
    bool Running() const;
    // The exit code, or -1 while it still runs after that long.
    long long WaitForExit(DWORD ms) const;

    // The start-up ends with the node buttons read from the host and the icon put up; the
    // simulator's trace must not be cleared meanwhile.
    bool StartUpOver() const;
    // Until the start-up is over and no message box waits. False if the program ended or a
    // message box is up instead.
    bool WaitUntilStarted(DWORD ms = 20000) const;

    // A top-level window of the program of that class; visibleOnly skips hidden ones.
    HWND Find(const wchar_t* windowClass, bool visibleOnly) const;
    HWND WaitFor(const wchar_t* windowClass, bool visibleOnly, DWORD ms) const;
    HWND MainWindow() const { return Find(L"HourMarkMain", false); }
    HWND TrayWindow() const { return Find(L"HourMarkTrayIcon", false); }
    // What the shell sends the tray window when the operator releases a mouse button (or
    // double-clicks) on the icon: WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK.
    void ClickTrayIcon(UINT mouseMessage) const;
    // A child control of the main window by its window id.
    HWND Control(int id) const;

    // The message boxes showing now, each as its text.
    std::vector<HWND> MessageBoxes() const;
    static std::wstring MessageText(HWND box);
    // Waits for a message box and returns its text ("" if none came).
    std::wstring WaitForMessage(DWORD ms) const;
    // Presses OK on every message box there is, keeping their texts.
    void AnswerMessages(std::vector<std::wstring>& texts) const;

    // The operator's close box on the main window.
    void CloseByOperator() const;

    DWORD UiThread() const;

private:
    std::wstring dir_;
    bool started_ = false;
    std::size_t traceAtStart_ = 0;
    PROCESS_INFORMATION info_{};
};

// Wine puts the notification icons of a display without a notification area of its own into a
// small window, shown while it holds any icon. Windows has no such window: there the icons are in
// Explorer's notification area, which these tests do not look into.
bool ShellShowsTrayIcons();

std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);

}  // namespace e2e
