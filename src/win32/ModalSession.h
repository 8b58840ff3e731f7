// One modal dialog: the owner takes no input while it is open, but every message of the
// thread (the owner's timers included) keeps running. Closing may be asked from anywhere,
// also from inside a handler of the dialog itself; the window goes away once the loop ends.
#pragma once

#include "win32/WinApi.h"

namespace hourmark::win32 {

class ModalSession {
public:
    ModalSession(HWND owner, HWND dialog) : owner_(owner), dialog_(dialog) {}
    ~ModalSession();
    ModalSession(const ModalSession&) = delete;
    ModalSession& operator=(const ModalSession&) = delete;

    // Shows the dialog and returns when it has been closed (or WM_QUIT arrived, which is posted
    // again for the loop outside).
    void Run();
    void Close();
    bool IsOpen() const { return open_; }

private:
    void GiveBackOwner();

    HWND owner_;
    HWND dialog_;
    bool open_ = false;
    bool ownerDisabled_ = false;
};

}  // namespace hourmark::win32
