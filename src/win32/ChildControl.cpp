#include "win32/ChildControl.h"

#include "win32/WindowClass.h"

namespace hourmark::win32 {

HWND MakeChildControl(HWND parent, HINSTANCE instance, Dpi dpi, const ChildControl& control,
                      HFONT font) {
    HWND h = CreateWindowExW(
        control.exStyle, control.windowClass, control.text, control.style,
        PixelsFromTwips(control.rect.left, dpi.x), PixelsFromTwips(control.rect.top, dpi.y),
        PixelsFromTwips(control.rect.width, dpi.x), PixelsFromTwips(control.rect.height, dpi.y),
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (h) {
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return h;
}

HWND MakeDialogWindow(HINSTANCE instance, Dpi dpi, const DialogFrame& frame, HWND owner,
                      void* object, HICON bigIcon, HICON smallIcon) {
    const SIZE outer =
        OuterSizeFor(PixelsFromTwips(frame.clientWidthTwips, dpi.x),
                     PixelsFromTwips(frame.clientHeightTwips, dpi.y), frame.style, 0);
    HWND h = CreateWindowExW(0, frame.windowClass, frame.caption, frame.style, 0, 0, outer.cx,
                             outer.cy, owner, nullptr, instance, object);
    if (h) {
        SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
        SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }
    return h;
}

}  // namespace hourmark::win32
