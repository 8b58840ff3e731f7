// setupdriver.exe: goes through the installer's or the uninstaller's pages as an operator would,
// pressing the default button of each, and prints what the installer test checks:
//   setupdriver install    the finish page's "Start HourMark now": "run: shown|hidden
//                          checked|unchecked"; then Finish
//   setupdriver uninstall  each message box as it shows, with the progress bar then:
//                          "box at P/MAX: TEXT"; its status line whenever it is wider than
//                          its control: "cut: TEXT"; then Close
// Message boxes of the installer are answered Yes or OK and printed ("box: TEXT"). Ends with 0
// once the window is gone, 1 if it is not there or does not end.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

std::wstring TextOf(HWND h) {
    wchar_t text[1024] = {};
    GetWindowTextW(h, text, 1024);
    return text;
}

std::wstring ClassOf(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

void Print(const std::wstring& line) {
    std::string out;
    for (wchar_t c : line) {
        out += c == L'\r' || c == L'\n' ? ' ' : (c < 128 ? static_cast<char>(c) : '?');
    }
    std::printf("%s\n", out.c_str());
    std::fflush(stdout);
}

struct Found {
    const wchar_t* cls;
    const wchar_t* text;  // null: any
    HWND hwnd;
};

BOOL CALLBACK FindChild(HWND h, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    if (ClassOf(h) == f->cls && (!f->text || TextOf(h) == f->text)) {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text = nullptr) {
    Found f{cls, text, nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

// A visible dialog of the setup's process other than its main window: a message box.
struct Box {
    DWORD pid;
    HWND main;
    HWND found;
};

BOOL CALLBACK FindBox(HWND h, LPARAM p) {
    auto* b = reinterpret_cast<Box*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == b->pid && h != b->main && IsWindowVisible(h) && ClassOf(h) == L"#32770") {
        b->found = h;
        return FALSE;
    }
    return TRUE;
}

// The setup's main window: a dialog whose title starts with the given text (NSIS adds a blank).
struct Main {
    std::wstring title;
    HWND found;
};

BOOL CALLBACK FindMain(HWND h, LPARAM p) {
    auto* m = reinterpret_cast<Main*>(p);
    if (ClassOf(h) == L"#32770" && TextOf(h).rfind(m->title, 0) == 0) {
        m->found = h;
        return FALSE;
    }
    return TRUE;
}

// The status line as drawn: wider than its control, its end is cut off. Measured in this process
// with a copy of the control's font (a font handle of another process may not select here).
bool Cut(HWND status, std::wstring& measure) {
    RECT r{};
    GetClientRect(status, &r);
    if (!IsWindowVisible(status) || r.right <= 0) {
        return false;
    }
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0));
    if (!handle || GetObjectW(handle, sizeof font, &font) == 0) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font = metrics.lfMessageFont;
    }
    const std::wstring text = TextOf(status);
    HDC dc = GetDC(status);
    HFONT own = CreateFontIndirectW(&font);
    HGDIOBJ old = SelectObject(dc, own);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(own);
    ReleaseDC(status, dc);
    measure = std::to_wstring(size.cx) + L">" + std::to_wstring(r.right);
    return size.cx > r.right;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    const wchar_t* title = mode == L"uninstall" ? L"HourMark Uninstall" : L"HourMark Setup";
    HWND main = nullptr;
    for (int i = 0; i < 600 && !main; ++i) {
        Main m{title, nullptr};
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&m));
        main = m.found;
        Sleep(100);
    }
    if (!main) {
        Print(std::wstring(L"no window ") + title);
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    std::set<std::wstring> cuts;
    std::wstring pressedLabel;
    bool disabledSince = false;
    std::wstring lastState;
    ULONGLONG stableSince = 0;
    const ULONGLONG deadline = GetTickCount64() + 180000;
    while (IsWindow(main) && GetTickCount64() < deadline) {
        // On the progress page (its bar is 1004), 1006 is the status line.
        HWND page = Child(main, L"#32770");
        if (HWND status = GetDlgItem(page, 1004) ? GetDlgItem(page, 1006) : nullptr) {
            std::wstring measure;
            if (Cut(status, measure) && cuts.insert(TextOf(status)).second) {
                Print(L"cut: " + TextOf(status) + L" (" + measure + L")");
            }
        }
        Box box{pid, main, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
        if (box.found) {
            const std::wstring text = TextOf(GetDlgItem(box.found, 0xFFFF));
            if (mode == L"uninstall") {
                HWND bar = Child(main, L"msctls_progress32");
                const auto pos = SendMessageW(bar, PBM_GETPOS, 0, 0);
                const auto max = SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
                Print(L"box at " + std::to_wstring(pos) + L"/" + std::to_wstring(max) + L": " +
                      text);
            } else {
                Print(L"box: " + text);
            }
            // Yes where the box asks, else OK.
            PostMessageW(box.found, WM_COMMAND, GetDlgItem(box.found, IDYES) ? IDYES : IDOK, 0);
            Sleep(500);
            continue;
        }
        // Once a page: a second press could reach the next page before it is looked at. A page
        // is new when the button's label has changed, or it has been disabled meanwhile.
        // And only a button that has stayed as it is for half a second: between two pages it can
        // show the old label, enabled, for a moment.
        HWND next = GetDlgItem(main, IDOK);
        const bool ready = IsWindowEnabled(next) && IsWindowVisible(next);
        disabledSince = disabledSince || !ready;
        const std::wstring state = TextOf(next) + (ready ? L"+" : L"-");
        if (state != lastState) {
            lastState = state;
            stableSince = GetTickCount64();
        }
        if (ready && GetTickCount64() - stableSince >= 500 &&
            (TextOf(next) != pressedLabel || disabledSince)) {
            pressedLabel = TextOf(next);
            disabledSince = false;
            if (TextOf(next) == L"&Finish") {
                HWND run = Child(main, L"Button", L"Start HourMark now");
                Print(std::wstring(L"run: ") +
                      (run && IsWindowVisible(run) ? L"shown " : L"hidden ") +
                      (run && SendMessageW(run, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"checked"
                                                                                  : L"unchecked"));
            }
            PostMessageW(main, WM_COMMAND, IDOK, 0);
            Sleep(700);
            continue;
        }
        Sleep(10);
    }
    return IsWindow(main) ? 1 : 0;
}
