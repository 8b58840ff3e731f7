// A window procedure that hands each message to the C++ object the window was created for (the
// object is passed as the creation parameter), and one-time class registration.
#pragma once

#include "win32/WinApi.h"

namespace hourmark::win32 {

template <class T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    T* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self) {
        return self->HandleMessage(hwnd, msg, wParam, lParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Registers the class unless this process already has; false only on a real failure.
bool RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                       HICON bigIcon = nullptr, HICON smallIcon = nullptr);

// The size of the outer window that gives the client area, for the style.
SIZE OuterSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// Places the window centred over the owner, kept inside the owner's screen.
void CentreOver(HWND window, HWND owner);

// The face colour of the station's windows, for the controls' background.
LRESULT FaceColour(HDC dc);

}  // namespace hourmark::win32
