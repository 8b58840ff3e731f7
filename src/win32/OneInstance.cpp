#include "win32/OneInstance.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "win32/DiskFiles.h"
#include "win32/Text.h"
#include "win32/TrayIcon.h"
#include "win32/WinApi.h"
// After windows.h, which it needs.
#include <sddl.h>

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
std::wstring FolderHash(const std::wstring& folder) {
    // FNV-1a over the key's UTF-16 units.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const wchar_t c : FolderKey(folder)) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 0x100000001b3ULL;
    }
    std::wstring text;
    for (int shift = 60; shift >= 0; shift -= 4) {
        text += L"0123456789abcdef"[(hash >> shift) & 0xF];
    }
    return text;
}

// The signed-in user's SID, from the process's token.
std::vector<BYTE> UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    const bool ok =
        size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size) != FALSE;
    CloseHandle(token);
    if (!ok) {
        return {};
    }
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    const auto* first = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(first, first + GetLengthSid(sid));
}

std::wstring SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) {
        return {};
    }
    std::wstring copy = text;
    LocalFree(text);
    return copy;
}

// Objects only the user may open, nobody else change.
class OwnerOnly {
public:
    explicit OwnerOnly(const std::wstring& sid) {
        const std::wstring sddl = L"D:P(A;;GA;;;" + sid + L")";
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                             &descriptor_, nullptr);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
    }
    ~OwnerOnly() { LocalFree(descriptor_); }
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;
    bool ok() const { return descriptor_ != nullptr; }
    SECURITY_ATTRIBUTES* get() { return &attributes_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

// kernel32's private namespaces, looked up at run time: Wine 8 has none of them.
template <typename F>
F Kernel32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// A private namespace whose boundary holds the user's SID: Windows lets only a process whose
// token holds that SID make it, so no other account can make the claim's name first. Open for the
// rest of the process's life; false where there are no private namespaces.
bool OpenUserNamespace(PSID sid, OwnerOnly& security) {
    using CreateBoundary = HANDLE(WINAPI*)(LPCWSTR, ULONG);
    using AddSid = BOOL(WINAPI*)(HANDLE*, PSID);
    using DeleteBoundary = VOID(WINAPI*)(HANDLE);
    using CreateNamespace = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
    using OpenNamespace = HANDLE(WINAPI*)(LPVOID, LPCWSTR);
    const auto createBoundary = Kernel32<CreateBoundary>("CreateBoundaryDescriptorW");
    const auto addSid = Kernel32<AddSid>("AddSIDToBoundaryDescriptor");
    const auto deleteBoundary = Kernel32<DeleteBoundary>("DeleteBoundaryDescriptor");
    const auto createNamespace = Kernel32<CreateNamespace>("CreatePrivateNamespaceW");
    const auto openNamespace = Kernel32<OpenNamespace>("OpenPrivateNamespaceW");
    if (!createBoundary || !addSid || !deleteBoundary || !createNamespace || !openNamespace) {
        return false;
    }
    HANDLE boundary = createBoundary(L"HourMark", 0);
    if (boundary == nullptr) {
        return false;
    }
    HANDLE space = nullptr;
    if (addSid(&boundary, sid)) {
        space = createNamespace(security.get(), boundary, L"HourMark");
        if (space == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
            space = openNamespace(boundary, L"HourMark");
        }
    }
    deleteBoundary(boundary);
    return space != nullptr;
}

}  // namespace

bool ClaimFolder(const std::wstring& folder) {
    std::vector<BYTE> sid = UserSid();
    const std::wstring sidText = sid.empty() ? std::wstring() : SidText(sid.data());
    OwnerOnly security(sidText);
    if (sidText.empty() || !security.ok()) {
        // Nothing to bind the claim to; that alone must not keep the station off the air.
        return true;
    }
    // In the user's private namespace where Windows has them; elsewhere (Wine) a name that holds
    // the user's SID, open to the user alone.
    const std::wstring name = OpenUserNamespace(sid.data(), security)
                                  ? L"HourMark\\" + FolderHash(folder)
                                  : L"Local\\HourMark-" + sidText + L"-" + FolderHash(folder);
    // Never closed: the claim ends with the process, however it ends.
    HANDLE mutex = CreateMutexW(security.get(), FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // Held by something we may not open; anything else must not keep the station off the air.
        return error != ERROR_ACCESS_DENIED;
    }
    return error != ERROR_ALREADY_EXISTS;
}

bool ClaimProgramFolder() {
    return ClaimFolder(OwnFolder());
}

void ReportClaimWithoutCopy() {
    const std::wstring text =
        L"HourMark is not started: its place for the folder " + OwnFolder() +
        L" is taken, but no HourMark running from that folder answers.\r\n\r\nIf one is stuck, "
        L"end it in the Task Manager, or sign out and in again; then start HourMark again.";
    MessageBoxW(nullptr, text.c_str(), L"HourMark", MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
}

bool BringUpRunningCopy() {
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
            return true;
        }
        Sleep(100);
    }
    return false;
}

}  // namespace hourmark::win32
