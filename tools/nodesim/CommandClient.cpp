#include "CommandClient.h"

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>

#include "Command.h"
#include "NodeSimIdl.h"
#include "Output.h"
#include "Simulator.h"
#include "Text.h"
#include "TraceFile.h"

namespace nodesim {

namespace {

using Microsoft::WRL::ComPtr;

constexpr DWORD kCloseWaitMs = 15000;

std::string ErrorText(HRESULT hr) {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.GetAddressOf()) == S_OK && info) {
        BSTR description = nullptr;
        info->GetDescription(&description);
        std::string text = FromBstr(description);
        SysFreeString(description);
        if (!text.empty()) {
            return text;
        }
    }
    char code[16];
    snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return std::string("error ") + code;
}

int PrintTrace() {
    const std::wstring path = TraceFile::BesideProgram().path();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // No call has been traced yet.
        return 0;
    }
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        WriteOut(std::string(buffer, got));
    }
    CloseHandle(file);
    return 0;
}

bool SimulatorRunning() {
    HANDLE instance = OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMutex);
    if (instance == nullptr) {
        return false;
    }
    CloseHandle(instance);
    return true;
}

bool KnownVerb(const std::string& verb) {
    static const char* const verbs[] = {
        "dtmf", "link", "unlink", "stationlist", "close", "callsign", "keyingline", "nodelist",
        "busy", "fail", "refuse", "lag",         "slow",  "state",    "trace",      "reset"};
    return std::any_of(std::begin(verbs), std::end(verbs),
                       [&](const char* v) { return verb == v; });
}

}  // namespace

int RunClientCommand(const std::vector<std::string>& words) {
    if (!words.empty() && (words[0] == "help" || words[0] == "/?")) {
        WriteOut(Usage() + "\r\n");
        return 0;
    }
    if (words.empty() || !KnownVerb(words[0])) {
        WriteErr((words.empty() ? "" : "nodesim: unknown command \"" + words[0] + "\"\r\n") +
                 Usage() + "\r\n");
        return 2;
    }
    if (words[0] == "trace" && words.size() == 1) {
        return PrintTrace();
    }
    if (words[0] == "close" && !SimulatorRunning()) {
        WriteOut("the simulator is not running\r\n");
        return 0;
    }
    ComPtr<INodeSimControl> control;
    HRESULT hr = CoCreateInstance(CLSID_NodeSimControl, nullptr, CLSCTX_LOCAL_SERVER,
                                  IID_PPV_ARGS(&control));
    if (FAILED(hr)) {
        char code[16];
        snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
        WriteErr(std::string("nodesim: the simulator cannot be reached (") + code +
                 "); is it registered (nodesim.exe /RegServer)?\r\n");
        return 1;
    }
    LONG pid = 0;
    if (words[0] == "close") {
        control->get_ProcessId(&pid);
    }
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(words.size()));
    for (LONG i = 0; i < static_cast<LONG>(words.size()); ++i) {
        BSTR word = ToBstr(words[static_cast<std::size_t>(i)]);
        SafeArrayPutElement(array, &i, word);
        SysFreeString(word);
    }
    BSTR answer = nullptr;
    SetErrorInfo(0, nullptr);
    hr = control->Command(array, &answer);
    SafeArrayDestroy(array);
    if (FAILED(hr)) {
        WriteErr("nodesim: " + ErrorText(hr) + "\r\n");
        return 1;
    }
    WriteOut(FromBstr(answer) + "\r\n");
    SysFreeString(answer);
    control.Reset();
    if (words[0] == "close") {
        // Returns once the simulator has ended, so that a script can go on from there.
        if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid))) {
            const DWORD waited = WaitForSingleObject(process, kCloseWaitMs);
            CloseHandle(process);
            if (waited != WAIT_OBJECT_0) {
                WriteErr("nodesim: the simulator has not ended yet\r\n");
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace nodesim
