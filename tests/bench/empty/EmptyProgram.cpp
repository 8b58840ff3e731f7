// The yardsticks scripts/bench sets beside hourmark.exe: what Wine itself costs a program.
//
//   benchempty.exe [FILE [SECONDS]]     does nothing and imports kernel32 only
//   benchwindow.exe [FILE [SECONDS]]    opens one window and a COM apartment, then waits
//   benchtimers.exe [FILE [SECONDS]]    the same, with HourMark's four window timers running
//
// With FILE a program writes the local time it began running ("yyyy-mm-dd hh:mm:ss.fff", the
// clock and form of the simulator's trace) into FILE; with SECONDS it then stays that long, so
// that its resident memory can be read.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#ifdef BENCH_WINDOW
#include <objbase.h>
#endif

namespace {

bool WriteStartTime(const wchar_t* path, const SYSTEMTIME& st) {
    char text[32];
    const int n =
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u\n", st.wYear,
                      st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(file);
    return ok && written == static_cast<DWORD>(n);
}

DWORD StaySeconds() {
    if (__argc < 3) {
        return 0;
    }
    const long seconds = std::wcstol(__wargv[2], nullptr, 10);
    return seconds > 0 && seconds <= 3600 ? static_cast<DWORD>(seconds) : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    if (__argc >= 2 && !WriteStartTime(__wargv[1], st)) {
        return 1;
    }
    const DWORD seconds = StaySeconds();
#ifdef BENCH_WINDOW
    // What any windowed COM client pays before it does anything of its own: user32 and the X11
    // driver for a shown window, ole32 and its apartment.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    HWND window = CreateWindowExW(0, L"Static", L"benchwindow", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, 200, 100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    constexpr UINT_PTR kEnd = 1;
    SetTimer(window, kEnd, seconds == 0 ? 1 : seconds * 1000, nullptr);
#ifdef BENCH_TIMERS
    // HourMark's four timers, ticking into nothing: what waking up for them costs under Wine.
    const UINT periods[] = {1000, 500, 500, 60000};
    for (UINT_PTR i = 0; i < 4; ++i) {
        SetTimer(window, kEnd + 1 + i, periods[i], nullptr);
    }
#endif
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 &&
           !(msg.message == WM_TIMER && msg.wParam == kEnd)) {
        DispatchMessageW(&msg);
    }
    DestroyWindow(window);
    CoUninitialize();
#else
    (void)instance;
    Sleep(seconds * 1000);
#endif
    return 0;
}
