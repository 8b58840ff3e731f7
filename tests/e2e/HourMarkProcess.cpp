#include "HourMarkProcess.h"

#include <fstream>
#include <iterator>

#include "NodeSimDriver.h"
#include "support/WineOnly.h"
#include "win32/TrayIcon.h"

namespace e2e {

namespace {

constexpr wchar_t kMessageBoxClass[] = L"#32770";
constexpr int kMessageTextId = 0xFFFF;

struct Search {
    DWORD pid;
    const wchar_t* windowClass;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && WindowClass(window) == search->windowClass &&
        (!search->visibleOnly || IsWindowVisible(window))) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> TopLevel(DWORD pid, const wchar_t* windowClass, bool visibleOnly) {
    Search search{pid, windowClass, visibleOnly, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = f.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(dir + L"\\" + name);
            } else {
                DeleteFileW((dir + L"\\" + name).c_str());
            }
        } while (FindNextFileW(h, &f));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

std::wstring WindowText(HWND window) {
    // Asked of the window itself: across processes GetWindowText gives only the text a window
    // was made with, which for an edit box is not what it shows.
    wchar_t text[1024] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &ignored);
    return text;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring& HourMarkProcess::Program() {
    // The build tree's program, by its Unix path as the build knows it.
    static std::wstring path = [] {
        std::wstring w;
        for (const char* c = HOURMARK_EXE; *c; ++c) {
            w += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
        return HOURMARK_EXE[0] == '/' ? L"Z:" + w : w;
    }();
    return path;
}

HourMarkProcess::HourMarkProcess(const std::string& tag) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"hourmark-e2e-" + Widen(tag) + L"-" +
           std::to_wstring(GetCurrentProcessId());
    RemoveTree(dir_);
    CreateDirectoryW(dir_.c_str(), nullptr);
}

HourMarkProcess::~HourMarkProcess() {
    if (started_) {
        if (Running()) {
            // A test that failed half-way: do not leave a station running into the next one.
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    RemoveTree(dir_);
}

std::string HourMarkProcess::DirectoryText() const {
    return Narrow(dir_);
}

void HourMarkProcess::WriteFile(const std::wstring& name, const std::string& bytes) const {
    std::ofstream out(PathOf(name).c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool HourMarkProcess::HasFile(const std::wstring& name) const {
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string HourMarkProcess::ReadFile(const std::wstring& name) const {
    std::ifstream in(PathOf(name).c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool HourMarkProcess::Start() {
    const std::wstring& exe = Program();
    const std::wstring copy = PathOf(exe.substr(exe.find_last_of(L"\\/") + 1));
    if (!CopyFileW(exe.c_str(), copy.c_str(), FALSE)) {
        return false;
    }
    traceAtStart_ = NodeSim::TraceLines().size();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring commandLine = L"\"" + copy + L"\"";
    started_ = CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              dir_.c_str(), &si, &info_) != 0;
    return started_;
}

bool HourMarkProcess::Running() const {
    return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

long long HourMarkProcess::WaitForExit(DWORD ms) const {
    if (!started_) {
        return -1;
    }
    if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool HourMarkProcess::StartUpOver() const {
    // The node buttons are the last thing read from the host, and the icon is put up next.
    const std::vector<std::string> lines = NodeSim::TraceLines();
    std::size_t asked = 0;
    for (std::size_t i = traceAtStart_; i < lines.size(); ++i) {
        asked += lines[i].rfind("call\tIsConnectedTo\t", 0) == 0 ? 1U : 0U;
    }
    // Only Wine shows whether the icon is up.
    return asked >= 8 && (ShellShowsTrayIcons() || !hourmark::test::OnWine());
}

bool ShellShowsTrayIcons() {
    bool shown = false;
    EnumWindows(
        [](HWND window, LPARAM param) CALLBACK -> BOOL {
            if (WindowClass(window) == L"__winex11_standalone_tray" && IsWindowVisible(window)) {
                *reinterpret_cast<bool*>(param) = true;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

bool HourMarkProcess::WaitUntilStarted(DWORD ms) const {
    PumpUntil([this] { return !Running() || StartUpOver() || !MessageBoxes().empty(); }, ms);
    return Running() && StartUpOver() && MessageBoxes().empty();
}

HWND HourMarkProcess::Find(const wchar_t* windowClass, bool visibleOnly) const {
    if (!started_) {
        return nullptr;
    }
    const std::vector<HWND> found = TopLevel(info_.dwProcessId, windowClass, visibleOnly);
    return found.empty() ? nullptr : found.front();
}

HWND HourMarkProcess::WaitFor(const wchar_t* windowClass, bool visibleOnly, DWORD ms) const {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            found = Find(windowClass, visibleOnly);
            return found != nullptr || !Running();
        },
        ms);
    return found;
}

namespace {

HWND ChildById(HWND main, int id) {
    struct ById {
        int id;
        HWND found;
    } search{id, nullptr};
    // The controls sit inside their frames, so the search goes through the whole tree.
    EnumChildWindows(
        main,
        [](HWND child, LPARAM param) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<ById*>(param);
            if (GetDlgCtrlID(child) == s->id) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void HourMarkProcess::ClickTrayIcon(UINT mouseMessage) const {
    PostMessageW(TrayWindow(), hourmark::win32::TrayIcon::kCallbackMessage, 0,
                 static_cast<LPARAM>(mouseMessage));
}

HWND HourMarkProcess::Control(int id) const {
    HWND main = MainWindow();
    if (!main) {
        return nullptr;
    }
    HWND found = ChildById(main, id);
    if (found == nullptr && GetWindow(main, GW_CHILD) == nullptr) {
        // The window makes its controls as it is first shown: the operator opens it from the
        // icon before looking at a box or clicking one. They are all drawn by the time it shows.
        ClickTrayIcon(WM_LBUTTONUP);
        PumpUntil([&] { return IsWindowVisible(main) || !Running(); }, 5000);
        found = ChildById(main, id);
    }
    return found;
}

std::vector<HWND> HourMarkProcess::MessageBoxes() const {
    if (!started_) {
        return {};
    }
    return TopLevel(info_.dwProcessId, kMessageBoxClass, true);
}

std::wstring HourMarkProcess::MessageText(HWND box) {
    wchar_t text[2048] = {};
    GetDlgItemTextW(box, kMessageTextId, text, 2048);
    return text;
}

std::wstring HourMarkProcess::WaitForMessage(DWORD ms) const {
    HWND box = WaitFor(kMessageBoxClass, true, ms);
    return box ? MessageText(box) : std::wstring();
}

void HourMarkProcess::AnswerMessages(std::vector<std::wstring>& texts) const {
    for (HWND box : MessageBoxes()) {
        texts.push_back(MessageText(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    // Let each box go before anyone looks for the next one.
    PumpFor(300);
}

void HourMarkProcess::CloseByOperator() const {
    PostMessageW(MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

DWORD HourMarkProcess::UiThread() const {
    HWND main = MainWindow();
    return main ? GetWindowThreadProcessId(main, nullptr) : 0;
}

}  // namespace e2e
