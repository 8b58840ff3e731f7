// Controls and dialog windows as the station's windows make them: placed and sized in twips at
// the screen's real resolution, in one of the station's fonts.
#pragma once

#include "win32/Twips.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

struct ChildControl {
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;  // complete: WS_CHILD and WS_VISIBLE are the caller's to give
    DWORD exStyle;
    TwipRect rect;  // relative to the parent's client area
    int id;
};

HWND MakeChildControl(HWND parent, HINSTANCE instance, Dpi dpi, const ChildControl& control,
                      HFONT font);

struct DialogFrame {
    const wchar_t* windowClass;
    const wchar_t* caption;
    DWORD style;
    int clientWidthTwips;
    int clientHeightTwips;
};

// A dialog's own window, owned by the main window, with the program's icons; the object is the
// creation parameter its window procedure finds the C++ side by.
HWND MakeDialogWindow(HINSTANCE instance, Dpi dpi, const DialogFrame& frame, HWND owner,
                      void* object, HICON bigIcon, HICON smallIcon);

}  // namespace hourmark::win32
