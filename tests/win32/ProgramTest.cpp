// The programs as whole processes: hourmark.exe with no host registered, and the same program on
// the fake host ended by its close box and by the end of the session.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinRig.h"
#include "win32/OneInstance.h"
#include "win32/Resources.h"
#include "win32/Text.h"

namespace hourmark::win32::test {
namespace {

class Process {
public:
    // Copies the program into a directory of its own (its program directory) and starts it.
    Process(const std::wstring& exe, const std::wstring& tag, const std::wstring& argument = L"") {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir =
            std::wstring(temp) + L"hourmark-" + tag + L"-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir.c_str(), nullptr);
        const std::wstring copy = dir + L"\\" + exe.substr(exe.find_last_of(L'\\') + 1);
        CopyFileW(exe.c_str(), copy.c_str(), FALSE);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring commandLine = L"\"" + copy + L"\" " + argument;
        started = CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, dir.c_str(), &si, &info) != 0;
    }
    ~Process() {
        if (started) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
                WaitForSingleObject(info.hProcess, 5000);
            }
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
        WIN32_FIND_DATAW f;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((dir + L"\\" + f.cFileName).c_str());
            } while (FindNextFileW(h, &f));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    }

    // The process's visible or hidden top-level windows of a class.
    HWND Find(const wchar_t* cls, bool visibleOnly) const {
        struct Search {
            DWORD pid;
            const wchar_t* cls;
            bool visibleOnly;
            HWND found;
        } s{info.dwProcessId, cls, visibleOnly, nullptr};
        EnumWindows(
            [](HWND h, LPARAM p) CALLBACK -> BOOL {
                auto* search = reinterpret_cast<Search*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == search->pid && ClassOf(h) == search->cls &&
                    (!search->visibleOnly || IsWindowVisible(h))) {
                    search->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    HWND WaitFor(const wchar_t* cls, bool visibleOnly, int ms) const {
        const auto t0 = Clock::now();
        while (MsSince(t0) < ms) {
            if (HWND h = Find(cls, visibleOnly)) {
                return h;
            }
            if (WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0) {
                return nullptr;
            }
        }
        return nullptr;
    }

    // The exit code, or -1 if it did not end in time.
    long long Exit(int ms) const {
        if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

    // Waits for the end, closing (and keeping the texts of) any message box it shows meanwhile.
    long long ExitClosingMessages(int ms, std::vector<std::wstring>& texts) const {
        const auto t0 = Clock::now();
        while (MsSince(t0) < ms) {
            if (WaitForSingleObject(info.hProcess, 100) == WAIT_OBJECT_0) {
                return Exit(0);
            }
            if (HWND box = Find(L"#32770", true)) {
                wchar_t text[1024] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 1024);
                texts.push_back(text);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                Sleep(300);
            }
        }
        return -1;
    }

    bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }

    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW f;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    names.push_back(f.cFileName);
                }
            } while (FindNextFileW(h, &f));
            FindClose(h);
        }
        return names;
    }

    // Waits until the fake-host program, run unattended, tells that its start-up is over.
    HWND WaitUntilStarted() const {
        const auto t0 = Clock::now();
        while (MsSince(t0) < 20000 && Running()) {
            if (GetFileAttributesW((dir + L"\\started").c_str()) != INVALID_FILE_ATTRIBUTES) {
                return Find(L"HourMarkTrayIcon", false);
            }
            Sleep(100);
        }
        return nullptr;
    }

    std::wstring dir;
    bool started = false;
    PROCESS_INFORMATION info{};
};

TEST(Program, WithoutAHostShowsTheReasonAndEndsNonZeroWithoutASettingsFile) {
    Process p(WindowsPath(HOURMARK_EXE), L"nohost");
    ASSERT_TRUE(p.started);
    HWND box = p.WaitFor(L"#32770", true, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    EXPECT_NE(std::wstring(text).find(L"EchoLink"), std::wstring::npos) << text;
    std::wstring lower = text;
    CharLowerW(lower.data());
    EXPECT_NE(lower.find(L"800401f3"), std::wstring::npos) << "the reason's code: " << text;
    EXPECT_EQ(TextOf(box), L"HourMark");
    EXPECT_TRUE(p.Running()) << "the message waits for the operator";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    const long long code = p.Exit(10000);
    EXPECT_NE(code, -1) << "did not end";
    EXPECT_NE(code, 0);
    EXPECT_EQ(p.Files(), std::vector<std::wstring>{L"hourmark.exe"});
}

TEST(Program, AClaimedFolderWithNoHourMarkAnsweringIsReportedAndEndsNonZero) {
    // The folder's claim held by this test, which is no HourMark and has no tray window.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"hourmark-claimed-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(ClaimFolder(folder));
    EXPECT_FALSE(ClaimFolder(folder + L"\\")) << "one folder, however spelt";
    Process p(WindowsPath(HOURMARK_EXE), L"claimed");
    ASSERT_TRUE(p.started);
    std::vector<std::wstring> texts;
    const long long code = p.ExitClosingMessages(20000, texts);
    EXPECT_NE(code, -1) << "did not end";
    EXPECT_NE(code, 0);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(L"no HourMark running from that folder answers"), std::wstring::npos)
        << texts[0];
    EXPECT_EQ(p.Files(), std::vector<std::wstring>{L"hourmark.exe"}) << "nothing touched";
}

TEST(Program, TheCloseBoxEndsTheProgram) {
    Process p(WindowsPath(HOURMARK_FAKEHOST_EXE), L"close", L"unattended");
    ASSERT_TRUE(p.started);
    HWND tray = p.WaitUntilStarted();
    ASSERT_NE(tray, nullptr);
    HWND main = p.Find(L"HourMarkMain", false);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main)) << "started hidden";
    PostMessageW(tray, TrayIcon::kCallbackMessage, 0, 0x202);
    EXPECT_EQ(p.WaitFor(L"HourMarkMain", true, 5000), main) << "shown from the tray";
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    std::vector<std::wstring> messages;
    EXPECT_EQ(p.ExitClosingMessages(10000, messages), 0);
    for (const auto& m : messages) {
        ADD_FAILURE() << "message at the close: " << Utf8FromWide(m);
    }
}

TEST(Program, TheEndOfTheSessionEndsTheProgramOnlyWhenItReallyEnds) {
    Process p(WindowsPath(HOURMARK_FAKEHOST_EXE), L"session", L"unattended");
    ASSERT_TRUE(p.started);
    HWND tray = p.WaitUntilStarted();
    ASSERT_NE(tray, nullptr);
    HWND main = p.Find(L"HourMarkMain", false);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    // A session that is not ended after all leaves the station running.
    SendMessageTimeoutW(main, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_TRUE(p.Running());
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_EQ(p.Exit(10000), 0);
}

TEST(Program, CarriesItsVersionIconAndIndicatorImages) {
    const std::wstring exe = WindowsPath(HOURMARK_EXE);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));
    wchar_t* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(std::wstring(text), L"0.09.0001");
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000009u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);

    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_HOURMARK), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
#pragma pack(push, 2)
    struct Entry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct Directory {
        WORD reserved, type, count;
        Entry entries[1];
    };
#pragma pack(pop)
    const auto* dir = static_cast<const Directory*>(LockResource(LoadResource(module, group)));
    ASSERT_EQ(dir->count, 2);
    std::vector<int> sizes;
    for (int i = 0; i < dir->count; ++i) {
        sizes.push_back(dir->entries[i].width);
        EXPECT_EQ(dir->entries[i].height, dir->entries[i].width);
        EXPECT_EQ(dir->entries[i].bitCount, 4) << "16 colours";
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
    for (int id : {IDB_GREEN_LED, IDB_RED_LED}) {
        HBITMAP bmp =
            static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(bmp, nullptr) << id;
        BITMAP bm{};
        GetObjectW(bmp, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 15);
        EXPECT_EQ(bm.bmHeight, 15);
        DeleteObject(bmp);
    }
    FreeLibrary(module);
}

}  // namespace
}  // namespace hourmark::win32::test
