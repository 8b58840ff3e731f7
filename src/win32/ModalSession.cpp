#include "win32/ModalSession.h"

#include "win32/MessagePump.h"

namespace hourmark::win32 {

ModalSession::~ModalSession() {
    GiveBackOwner();
    if (IsWindow(dialog_)) {
        DestroyWindow(dialog_);
    }
}

void ModalSession::GiveBackOwner() {
    if (ownerDisabled_) {
        ownerDisabled_ = false;
        EnableWindow(owner_, TRUE);
    }
}

void ModalSession::Run() {
    open_ = true;
    if (owner_ && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    AddKeyboardNavigation(dialog_);
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);
    if (HWND first = GetNextDlgTabItem(dialog_, nullptr, FALSE)) {
        SetFocus(first);
    }
    MSG msg;
    while (open_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        DispatchOne(msg);
    }
    open_ = false;
    RemoveKeyboardNavigation(dialog_);
    GiveBackOwner();
    if (IsWindow(dialog_)) {
        DestroyWindow(dialog_);
    }
}

void ModalSession::Close() {
    if (!open_) {
        return;
    }
    open_ = false;
    // The owner first, so that it, not some other program, becomes the active window.
    GiveBackOwner();
    ShowWindow(dialog_, SW_HIDE);
    PostMessageW(dialog_, WM_NULL, 0, 0);  // wakes the loop, which then ends
}

}  // namespace hourmark::win32
