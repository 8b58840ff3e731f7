#include "win32/OneInstance.h"

#include <cstdint>
#include <optional>

#include "win32/DiskFiles.h"
#include "win32/Text.h"
#include "win32/TrayIcon.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

namespace {

std::wstring FolderOf(std::wstring path) {
    const auto slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    return path;
}

// The folder the station's files use, so that the claim and the files name the same folder.
std::wstring OwnFolder() {
    return WideFromUtf8(DiskFiles().ProgramDirectory());
}

// The folder of another process's program, if Windows lets us read it.
std::optional<std::wstring> ProcessFolder(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        return std::nullopt;
    }
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    const BOOL ok = QueryFullProcessImageNameW(process, 0, path.data(), &size);
    CloseHandle(process);
    if (!ok) {
        return std::nullopt;
    }
    path.resize(size);
    return FolderOf(path);
}

// A path service that fails leaves the text it was given: the key is then still the same for
// the same spelling.
std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) {
        return path;
    }
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (written == 0 || written >= n) {
        return path;
    }
    full.resize(written);
    return full;
}

std::wstring LongPath(const std::wstring& path) {
    const DWORD n = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) {
        return path;
    }
    std::wstring full(n, L'\0');
    const DWORD written = GetLongPathNameW(path.c_str(), full.data(), n);
    if (written == 0 || written >= n) {
        return path;
    }
    full.resize(written);
    return full;
}

// The folder as a key: the long, full path in upper case, so that "C:\HourMark" and
// "c:\hourmark\" (or its short name) are one folder.
std::wstring FolderKey(const std::wstring& folder) {
    std::wstring key = LongPath(FullPath(folder));
    while (key.size() > 3 && (key.back() == L'\\' || key.back() == L'/')) {
        key.pop_back();
    }
    for (wchar_t& c : key) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (!key.empty()) {
        CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    }
    return key;
}

// A hash of the key: a kernel object's name may hold neither a backslash nor more than MAX_PATH
// characters.
std::wstring FolderMutexName(const std::wstring& folder) {
    // FNV-1a over the key's UTF-16 units.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const wchar_t c : FolderKey(folder)) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 0x100000001b3ULL;
    }
    std::wstring name = L"Local\\HourMark-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += L"0123456789abcdef"[(hash >> shift) & 0xF];
    }
    return name;
}

}  // namespace

bool ClaimProgramFolder() {
    // Never closed: the claim ends with the process, however it ends.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, FolderMutexName(OwnFolder()).c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // Held by a copy we may not open; anything else must not keep the station off the air.
        return error != ERROR_ACCESS_DENIED;
    }
    return error != ERROR_ALREADY_EXISTS;
}

void BringUpRunningCopy() {
    const std::wstring own = FolderKey(OwnFolder());
    const DWORD self = GetCurrentProcessId();
    // The copy makes its windows right after it claims the folder; give it a moment.
    for (int attempt = 0; attempt < 30; ++attempt) {
        HWND tray = nullptr;
        while ((tray = FindWindowExW(nullptr, tray, TrayIcon::kClassName, nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(tray, &pid);
            if (pid == 0 || pid == self) {
                continue;
            }
            const auto folder = ProcessFolder(pid);
            if (!folder || FolderKey(*folder) != own) {
                continue;
            }
            // We were just started by the operator, so we may hand the foreground on.
            AllowSetForegroundWindow(pid);
            PostMessageW(tray, TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONUP);
            return;
        }
        Sleep(100);
    }
}

}  // namespace hourmark::win32
