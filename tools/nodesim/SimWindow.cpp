#include "SimWindow.h"

#include "Simulator.h"

namespace nodesim {

bool SimWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &SimWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (RegisterClassExW(&wc) == 0) {
        return false;
    }
    hwnd_ = CreateWindowExW(0, kClassName, L"NodeSim", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 480, 360, nullptr, nullptr, instance, nullptr);
    if (hwnd_ == nullptr) {
        // No display (Wine without an X server): the simulator still serves, unseen, from a
        // message-only window.
        hwnd_ = CreateWindowExW(0, kClassName, L"NodeSim", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
        return hwnd_ != nullptr;
    }
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    state_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0,
                             0, 0, hwnd_, nullptr, instance, nullptr);
    air_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 0,
                           0, 0, 0, hwnd_, nullptr, instance, nullptr);
    SendMessageW(state_, WM_SETFONT, font, FALSE);
    SendMessageW(air_, WM_SETFONT, font, FALSE);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Layout();
    return true;
}

void SimWindow::Show() {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
}

void SimWindow::Layout() {
    RECT r{};
    GetClientRect(hwnd_, &r);
    constexpr int kMargin = 6;
    constexpr int kStateHeight = 96;
    MoveWindow(state_, kMargin, kMargin, r.right - 2 * kMargin, kStateHeight, TRUE);
    MoveWindow(air_, kMargin, 2 * kMargin + kStateHeight, r.right - 2 * kMargin,
               r.bottom - 3 * kMargin - kStateHeight, TRUE);
}

void SimWindow::ShowState(const std::wstring& title, const std::wstring& text) {
    if (hwnd_ == nullptr) {
        return;
    }
    if (title != shownTitle_) {
        SetWindowTextW(hwnd_, title.c_str());
        shownTitle_ = title;
    }
    if (text != shownState_) {
        SetWindowTextW(state_, text.c_str());
        shownState_ = text;
    }
}

void SimWindow::AddOnAir(const std::wstring& line) {
    if (air_ == nullptr) {
        return;
    }
    while (SendMessageW(air_, LB_GETCOUNT, 0, 0) >= kKeptLines) {
        SendMessageW(air_, LB_DELETESTRING, 0, 0);
    }
    const LRESULT at = SendMessageW(air_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (at >= 0) {
        SendMessageW(air_, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
    }
}

LRESULT CALLBACK SimWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Simulator& sim = Simulator::Instance();
    switch (message) {
        case WM_SIZE:
            // Set once the children exist, at the end of Create.
            if (auto* self = reinterpret_cast<SimWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
                self->Layout();
            }
            break;
        case WM_TIMER:
            if (wParam == kClockTimer) {
                sim.OnTimer();
            }
            return 0;
        case kPostedEvents:
            sim.OnPosted();
            return 0;
        case kEnd:
            DestroyWindow(hwnd);
            return 0;
        case WM_CLOSE:
            // Closing the window is the node shutting down: its clients hear Closing first.
            sim.Close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) {
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_DESTROY:
            sim.OnEnd();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace nodesim
