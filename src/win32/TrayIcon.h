// frmTrayIcon: the hidden top-level window that owns the notification-area icon (ID 1) and
// receives its mouse callback. It puts the icon back, tip and all, when the shell announces a
// new task bar, which also covers a first add that failed because the shell was not there yet.
#pragma once

#include <array>
#include <string>

#include "win32/StationInput.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

class TrayIcon {
public:
    using Notify = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);

    static constexpr UINT kIconId = 1;
    static constexpr UINT kCallbackMessage = 0x200;
    static constexpr wchar_t kClassName[] = L"HourMarkTrayIcon";

    TrayIcon(HINSTANCE instance, HICON icon, Notify notify = Shell_NotifyIconA);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Makes the hidden window; the callback goes to the input from then on.
    bool Create(StationInput& input);
    HWND window() const { return hwnd_; }

    void Add();
    void SetTip(const std::string& tip);
    void Delete();

    // The records of the three requests, as the shell receives them.
    static NOTIFYICONDATAA AddRecord(HWND owner, HICON icon);
    static NOTIFYICONDATAA TipRecord(HWND owner, const std::string& tip);
    static NOTIFYICONDATAA DeleteRecord(HWND owner);
    // The tip as a fixed 64-character field: the text (cut to 63 characters, in the ANSI code
    // page), a NUL, then blanks.
    static std::array<char, 64> TipField(const std::string& tip);

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    HINSTANCE instance_;
    HICON icon_;
    Notify notify_;
    StationInput* input_ = nullptr;
    HWND hwnd_ = nullptr;
    UINT taskbarCreated_ = 0;
    bool wanted_ = false;  // added and not deleted since
    bool tipSet_ = false;
    std::string tip_;
};

}  // namespace hourmark::win32
