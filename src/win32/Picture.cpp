#include "win32/Picture.h"

namespace hourmark::win32 {

namespace {

constexpr COLORREF kSeeThrough = RGB(255, 0, 255);

HBITMAP ImageOf(HWND hwnd) {
    return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hwnd, 0));
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (HBITMAP image = ImageOf(hwnd)) {
        BITMAP bm{};
        GetObjectW(image, sizeof bm, &bm);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, image);
        // gdi32's own, not msimg32's TransparentBlt: msimg32 is no DLL Windows always takes from
        // System32, and one dropped beside the program would be loaded in its place.
        GdiTransparentBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, bm.bmWidth, bm.bmHeight,
                          kSeeThrough);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    // The keyboard's parking place shows where the keyboard is, as a button's dotted frame does.
    if (GetFocus() == hwnd) {
        DrawFocusRect(dc, &client);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case STM_SETIMAGE: {
            const LRESULT old = GetWindowLongPtrW(hwnd, 0);
            if (wParam == IMAGE_BITMAP) {
                SetWindowLongPtrW(hwnd, 0, lParam);
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return old;
        }
        case STM_GETIMAGE:
            return wParam == IMAGE_BITMAP ? GetWindowLongPtrW(hwnd, 0) : 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

bool RegisterPictureClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kPictureClass, &existing)) {
        return true;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PictureProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kPictureClass;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace hourmark::win32
