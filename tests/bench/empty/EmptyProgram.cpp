// benchempty.exe [FILE [SECONDS]]: does nothing and imports kernel32 only; scripts/bench sets
// its start-up beside hourmark.exe's, as what Wine itself costs any program.
//
// With FILE it writes the local time it began running ("yyyy-mm-dd hh:mm:ss.fff", the clock and
// form of the simulator's trace) into FILE; with SECONDS it then stays that long.
#include <windows.h>

#include <cstdio>
#include <cwchar>

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

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    if (__argc >= 2 && !WriteStartTime(__wargv[1], st)) {
        return 1;
    }
    const DWORD seconds = StaySeconds();
    Sleep(seconds * 1000);
    return 0;
}
