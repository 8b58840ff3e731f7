#include "TraceFile.h"

#include <windows.h>

#include <cstdio>

namespace nodesim {

std::wstring ProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

TraceFile::TraceFile(std::wstring path, std::wstring oldPath, std::uint64_t limit)
    : path_(std::move(path)), oldPath_(std::move(oldPath)), limit_(limit) {}

TraceFile TraceFile::BesideProgram() {
    const std::wstring dir = ProgramDirectory();
    return TraceFile(dir + L"\\nodesim-trace.txt", dir + L"\\nodesim-trace.old.txt");
}

bool TraceFile::Append(const std::string& line) {
    HANDLE file = CreateFileW(path_.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string text = line + "\r\n";
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    LARGE_INTEGER size{};
    const bool full =
        GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) > limit_;
    CloseHandle(file);
    if (full) {
        // While a reader holds the file open the move fails; the next line tries again.
        MoveFileExW(path_.c_str(), oldPath_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return ok && written == text.size();
}

bool TraceFile::Clear() {
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string TraceFile::Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

}  // namespace nodesim
