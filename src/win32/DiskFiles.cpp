#include "win32/DiskFiles.h"

#include "win32/WinApi.h"

#include <algorithm>

#include "win32/Text.h"

namespace hourmark::win32 {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (ok()) {
            CloseHandle(h_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    bool Close() {
        const bool closed = ok() && CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE h_;
};

bool WriteAll(HANDLE h, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 20);
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(WideFromUtf8(path).c_str());
}

void RemoveFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
}

}  // namespace

std::string DiskFiles::ProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return ".";
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        path.resize(slash);
    }
    return Utf8FromWide(path);
}

std::optional<std::string> DiskFiles::ReadText(const std::string& path, std::size_t maxBytes) {
    Handle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        const std::size_t want = std::min(sizeof buffer, maxBytes - bytes.size());
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, static_cast<DWORD>(want), &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
    }
    return Utf8FromAnsi(bytes);
}

bool DiskFiles::AppendText(const std::string& path, const std::string& text) {
    Handle file(CreateFileW(WideFromUtf8(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.ok() && WriteAll(file.get(), AnsiFromUtf8(text));
}

bool DiskFiles::ReplaceText(const std::string& path, const std::string& text) {
    const std::wstring target = WideFromUtf8(path);
    const std::wstring temporary = WideFromUtf8(TemporaryFor(path));
    // A temporary file left by a run that was killed while writing goes first.
    RemoveFile(temporary);
    {
        Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) {
            return false;
        }
        const bool written = WriteAll(file.get(), AnsiFromUtf8(text)) &&
                             FlushFileBuffers(file.get()) && file.Close();
        if (!written) {
            file.Close();
            RemoveFile(temporary);
            return false;
        }
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        RemoveFile(temporary);
        return false;
    }
    return true;
}

bool DiskFiles::CopyFile(const std::string& from, const std::string& to) {
    return CopyFileW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(), FALSE) != 0;
}

bool DiskFiles::Exists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DiskFiles::IsDirectory(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> DiskFiles::ListDrives() {
    std::vector<std::string> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i)) {
            drives.push_back(std::string(1, static_cast<char>('a' + i)) + ":");
        }
    }
    return drives;
}

std::optional<std::string> DiskFiles::DriveDirectory(const std::string& drive) {
    if (drive.size() < 2 || drive[1] != ':') {
        return std::nullopt;
    }
    // "c:" alone names the drive's current directory.
    const std::wstring item = WideFromUtf8(drive.substr(0, 2));
    wchar_t full[MAX_PATH];
    const DWORD n = GetFullPathNameW(item.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) {
        return std::nullopt;
    }
    // With critical errors failing quietly, a drive with no medium fails here instead of asking.
    const DWORD a = GetFileAttributesW(full);
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    return Utf8FromWide(full);
}

std::optional<DirectoryListing> DiskFiles::ListDirectory(const std::string& path) {
    std::wstring pattern = WideFromUtf8(path);
    if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/')) {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND && IsDirectory(path)) {
            return DirectoryListing{};
        }
        return std::nullopt;
    }
    std::vector<std::wstring> directories;
    std::vector<std::wstring> files;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        // Like the lists the operator knows from Windows: hidden and system entries stay out.
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            continue;
        }
        ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? directories : files).push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(directories.begin(), directories.end(), LessIgnoringCase);
    std::sort(files.begin(), files.end(), LessIgnoringCase);
    DirectoryListing listing;
    for (const auto& d : directories) {
        listing.directories.push_back(Utf8FromWide(d));
    }
    for (const auto& f : files) {
        listing.files.push_back(Utf8FromWide(f));
    }
    return listing;
}

std::string DiskFiles::UpperCase(const std::string& text) {
    return UpperCaseIn(GetACP(), text);
}

}  // namespace hourmark::win32
