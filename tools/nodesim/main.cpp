// nodesim.exe: with no arguments (or started by COM) the simulator itself; with /RegServer
// [/NoTypeLib | /StaleTypeLib] or /UnregServer its registration; with a verb a command to the
// running simulator.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "CommandClient.h"
#include "Output.h"
#include "Registration.h"
#include "SimWindow.h"
#include "Simulator.h"
#include "Text.h"

namespace {

bool IsSwitch(const std::wstring& arg, const wchar_t* name) {
    return (arg.size() > 1 && (arg[0] == L'/' || arg[0] == L'-')) &&
           _wcsicmp(arg.c_str() + 1, name) == 0;
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int Serve() {
    // One simulator per session: a second start only brings the first one's window up.
    HANDLE instance = CreateMutexW(nullptr, TRUE, nodesim::kInstanceMutex);
    if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        // COM may have started this one while the first was still starting. Wine's activation
        // looks for the class once a second and gives up as soon as the process it started has
        // ended: stay until the first one serves, and a little longer than one such step.
        HANDLE serving = CreateEventW(nullptr, TRUE, FALSE, nodesim::kServingEvent);
        if (serving != nullptr) {
            if (WaitForSingleObject(serving, 20000) == WAIT_OBJECT_0) {
                Sleep(2500);
            }
            CloseHandle(serving);
        }
        if (HWND other = FindWindowW(nodesim::SimWindow::kClassName, nullptr)) {
            ShowWindow(other, SW_SHOWNOACTIVATE);
        }
        CloseHandle(instance);
        return 0;
    }
    const int code = nodesim::Simulator::Instance().Run();
    if (instance != nullptr) {
        CloseHandle(instance);
    }
    return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // A DLL dropped beside the program is never loaded: later loads search System32 only.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    LocalFree(argv);

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        nodesim::WriteErr("nodesim: COM cannot be initialised\r\n");
        return 1;
    }
    int code = 0;
    if (args.empty() || IsSwitch(args[0], L"Embedding")) {
        code = Serve();
    } else if (IsSwitch(args[0], L"RegServer") || IsSwitch(args[0], L"UnregServer")) {
        // "/RegServer /NoTypeLib" leaves the classes without their TypeLib key, as some hosts
        // register, so that a client's way to the library through an instance can be tried.
        // "/RegServer /StaleTypeLib" registers another version of the library over its own,
        // with other event ids, as an older or newer install of a host leaves one.
        const auto typeLibKey = args.size() > 1 && IsSwitch(args[1], L"NoTypeLib")
                                    ? nodesim::TypeLibKey::Omitted
                                    : nodesim::TypeLibKey::Written;
        const bool stale = args.size() > 1 && IsSwitch(args[1], L"StaleTypeLib");
        const auto outcome = IsSwitch(args[0], L"RegServer")
                                 ? nodesim::RegisterServer(ProgramPath(), typeLibKey, stale)
                                 : nodesim::UnregisterServer();
        (outcome.exitCode == 0 ? nodesim::WriteOut : nodesim::WriteErr)(outcome.message + "\r\n");
        code = outcome.exitCode;
    } else {
        std::vector<std::string> words;
        for (const auto& a : args) {
            words.push_back(nodesim::Narrow(a));
        }
        code = nodesim::RunClientCommand(words);
    }
    CoUninitialize();
    return code;
}
