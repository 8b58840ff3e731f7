#include "win32/com/HostProcess.h"

#include <windows.h>

#include <objbase.h>
#include <tlhelp32.h>

#include <cwchar>
#include <optional>

namespace hourmark::win32::com {

namespace {

std::optional<std::wstring> LocalServerCommand(const CLSID& clsid, REGSAM view) {
    wchar_t guid[40] = {};
    StringFromGUID2(clsid, guid, 40);
    const std::wstring path = std::wstring(L"CLSID\\") + guid + L"\\LocalServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    return std::wstring(value);
}

// The program of a command line such as "C:\Program Files\EchoLink\EchoLink.exe" /automation,
// quoted or not.
std::wstring ProgramOf(const std::wstring& command) {
    std::wstring program;
    if (!command.empty() && command[0] == L'"') {
        program = command.substr(1, command.find(L'"', 1) - 1);
    } else {
        std::wstring lower = command;
        for (wchar_t& c : lower) {
            c = static_cast<wchar_t>(towlower(c));
        }
        const std::size_t exe = lower.find(L".exe");
        program = exe == std::wstring::npos ? command.substr(0, command.find(L' '))
                                            : command.substr(0, exe + 4);
    }
    const std::size_t slash = program.find_last_of(L"\\/");
    return slash == std::wstring::npos ? program : program.substr(slash + 1);
}

}  // namespace

std::wstring RegisteredServerFileName(const wchar_t* progId) {
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(progId, &clsid))) {
        return {};
    }
    // A 32-bit host registers in the 32-bit view, which a 64-bit HourMark reaches only by name.
    for (const REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
        if (const auto command = LocalServerCommand(clsid, view)) {
            return ProgramOf(*command);
        }
    }
    return {};
}

bool ProgramRunning(const std::wstring& fileName) {
    if (fileName.empty()) {
        return true;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return true;
    }
    // By file name alone: the registered path may be written short, long or through another
    // drive than the one the process reports.
    bool running = false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
         more = Process32NextW(snapshot, &entry)) {
        running = _wcsicmp(entry.szExeFile, fileName.c_str()) == 0;
    }
    CloseHandle(snapshot);
    return running;
}

}  // namespace hourmark::win32::com
