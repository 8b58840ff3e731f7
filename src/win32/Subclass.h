// Window subclassing without importing the common controls library. comctl32's SetWindowSubclass
// family is all this program would call in it, and an import would load it at start. Its themed
// controls load it anyway the first time the main window is shown, but a HourMark that stays in
// the tray never loads it: about 3 MiB of resident memory under Wine with the library's own
// allocations. The same names and meaning, for one subclass per window (all the program
// installs): within namespace hourmark::win32 these are the ones called.
#pragma once

#include "win32/WinApi.h"

namespace hourmark::win32 {

using SubclassProc = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

// Routes the window's messages through proc, which gets id and data with each; calling it again
// with the same proc and id replaces data. False if the window already has another subclass.
BOOL SetWindowSubclass(HWND window, SubclassProc proc, UINT_PTR id, DWORD_PTR data);
// Gives the window its own procedure back, or, if another subclass was installed after this one,
// leaves that one in place and passes messages on past proc; false if proc and id are not its
// subclass.
BOOL RemoveWindowSubclass(HWND window, SubclassProc proc, UINT_PTR id);
// From inside a subclass procedure: what the window would have done with the message.
LRESULT DefSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace hourmark::win32
