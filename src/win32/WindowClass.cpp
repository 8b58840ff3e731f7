#include "win32/WindowClass.h"

namespace hourmark::win32 {

bool RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HICON bigIcon,
                       HICON smallIcon) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name, &existing)) {
        return true;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = bigIcon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

SIZE OuterSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void CentreOver(HWND window, HWND owner) {
    RECT w;
    GetWindowRect(window, &w);
    RECT o;
    // A minimised or hidden owner still has the rectangle it is restored to.
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (owner && IsIconic(owner) && GetWindowPlacement(owner, &wp)) {
        o = wp.rcNormalPosition;
    } else if (!owner || !GetWindowRect(owner, &o)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &o, 0);
    }
    const int width = w.right - w.left;
    const int height = w.bottom - w.top;
    int x = o.left + ((o.right - o.left) - width) / 2;
    int y = o.top + ((o.bottom - o.top) - height) / 2;
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(MonitorFromRect(&o, MONITOR_DEFAULTTONEAREST), &mi)) {
        const RECT& a = mi.rcWork;
        if (x + width > a.right) {
            x = a.right - width;
        }
        if (y + height > a.bottom) {
            y = a.bottom - height;
        }
        if (x < a.left) {
            x = a.left;
        }
        if (y < a.top) {
            y = a.top;
        }
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FaceColour(HDC dc) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace hourmark::win32
