#include "win32/TrayIcon.h"

#include <algorithm>
#include <cstring>

#include "win32/Text.h"
#include "win32/WindowClass.h"

namespace hourmark::win32 {

namespace {

NOTIFYICONDATAA Record(HWND owner) {
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof nid);
    // The first version of the record: every shell since the first one takes it.
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = owner;
    nid.uID = TrayIcon::kIconId;
    return nid;
}

}  // namespace

std::array<char, 64> TrayIcon::TipField(const std::string& tip) {
    std::array<char, 64> field;
    field.fill(' ');
    const std::string ansi = AnsiFromUtf8(tip);
    const std::size_t n = std::min<std::size_t>(ansi.size(), field.size() - 1);
    std::copy_n(ansi.begin(), n, field.begin());
    field[n] = '\0';
    return field;
}

NOTIFYICONDATAA TrayIcon::AddRecord(HWND owner, HICON icon) {
    NOTIFYICONDATAA nid = Record(owner);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kCallbackMessage;
    nid.hIcon = icon;
    const auto field = TipField("");
    std::copy(field.begin(), field.end(), nid.szTip);
    return nid;
}

NOTIFYICONDATAA TrayIcon::TipRecord(HWND owner, const std::string& tip) {
    NOTIFYICONDATAA nid = Record(owner);
    nid.uFlags = NIF_TIP;
    const auto field = TipField(tip);
    std::copy(field.begin(), field.end(), nid.szTip);
    return nid;
}

NOTIFYICONDATAA TrayIcon::DeleteRecord(HWND owner) {
    return Record(owner);
}

TrayIcon::TrayIcon(HINSTANCE instance, HICON icon, Notify notify)
    : instance_(instance), icon_(icon), notify_(notify) {}

TrayIcon::~TrayIcon() {
    Delete();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool TrayIcon::Create(StationInput& input) {
    input_ = &input;
    if (!RegisterClassOnce(instance_, kClassName, ObjectWindowProc<TrayIcon>)) {
        return false;
    }
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    // A top-level window, never shown: a message-only window would not hear the broadcast.
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"frmTrayIcon", WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr, instance_, this);
    return hwnd_ != nullptr;
}

void TrayIcon::Add() {
    wanted_ = true;
    NOTIFYICONDATAA nid = AddRecord(hwnd_, icon_);
    notify_(NIM_ADD, &nid);
}

void TrayIcon::SetTip(const std::string& tip) {
    tip_ = tip;
    tipSet_ = true;
    NOTIFYICONDATAA nid = TipRecord(hwnd_, tip);
    notify_(NIM_MODIFY, &nid);
}

void TrayIcon::Delete() {
    if (!wanted_) {
        return;
    }
    wanted_ = false;
    NOTIFYICONDATAA nid = DeleteRecord(hwnd_);
    notify_(NIM_DELETE, &nid);
}

LRESULT TrayIcon::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kCallbackMessage) {
        if (input_) {
            input_->TrayCallback(static_cast<int>(LOWORD(lParam)));
        }
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        if (wanted_) {
            NOTIFYICONDATAA nid = AddRecord(hwnd_, icon_);
            notify_(NIM_ADD, &nid);
            if (tipSet_) {
                NOTIFYICONDATAA tip = TipRecord(hwnd_, tip_);
                notify_(NIM_MODIFY, &tip);
            }
        }
        return 0;
    }
    switch (msg) {
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam && input_) {
                input_->EndSession();
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace hourmark::win32
