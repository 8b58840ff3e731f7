#include "CommandClient.h"

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <utility>

#include "Command.h"
#include "NodeSimIdl.h"
#include "Output.h"
#include "Registration.h"
#include "Simulator.h"
#include "Text.h"
#include "TraceFile.h"

namespace nodesim {

namespace {

using Microsoft::WRL::ComPtr;

constexpr DWORD kCloseWaitMs = 15000;

std::string CodeText(HRESULT hr) {
    char code[16];
    snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

// A member of the simulator's control object, called late-bound: through IDispatch the call
// reaches a simulator of either bitness, with nothing of its type library registered for this
// one, and a failure comes back with the simulator's own text.
class Control {
public:
    explicit Control(ComPtr<IDispatch> object) : object_(std::move(object)) {}

    // On failure returns false and leaves the reason in error.
    bool Invoke(const wchar_t* name, WORD flags, VARIANT* argument, VARIANT* result,
                std::string& error) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = object_->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) {
            error = "the simulator has no member " + Narrow(name) + " (" + CodeText(hr) + ")";
            return false;
        }
        DISPPARAMS params{argument, nullptr, argument ? 1u : 0u, 0};
        EXCEPINFO info{};
        hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info,
                             nullptr);
        if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn != nullptr) {
            info.pfnDeferredFillIn(&info);
        }
        const std::string description = FromBstr(info.bstrDescription);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrHelpFile);
        if (SUCCEEDED(hr)) {
            return true;
        }
        const HRESULT code = hr == DISP_E_EXCEPTION && FAILED(info.scode) ? info.scode : hr;
        error = description.empty() ? "error " + CodeText(code) : description;
        return false;
    }

    // Lets the simulator go: a closing simulator need not wait for this client.
    void Release() { object_.Reset(); }

private:
    ComPtr<IDispatch> object_;
};

// The trace lies beside the simulator that COM starts, which need not be this program: a
// simulator of the other bitness is reached just the same. Its registration names it, in the
// registry view of its own bitness.
std::wstring RegisteredTracePath() {
    std::wstring server = RegisteredServer(CLSID_NodeSimControl).value_or(L"");
    server.erase(std::remove(server.begin(), server.end(), L'"'), server.end());
    const auto slash = server.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return TraceFile::BesideProgram().path();
    }
    return server.substr(0, slash) + L"\\nodesim-trace.txt";
}

int PrintTrace() {
    const std::wstring path = RegisteredTracePath();
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
    static const char* const verbs[] = {"dtmf",   "link",  "unlink",   "stationlist", "raise",
                                        "advise", "close", "callsign", "keyingline",  "nodelist",
                                        "busy",   "fail",  "refuse",   "lag",         "slow",
                                        "state",  "trace", "reset"};
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
    ComPtr<IDispatch> object;
    HRESULT hr =
        CoCreateInstance(CLSID_NodeSimControl, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object));
    if (FAILED(hr)) {
        WriteErr("nodesim: the simulator cannot be reached (" + CodeText(hr) +
                 "); is it registered (nodesim.exe /RegServer)?\r\n");
        return 1;
    }
    Control control(std::move(object));
    std::string error;
    LONG pid = 0;
    if (words[0] == "close") {
        VARIANT value;
        VariantInit(&value);
        if (control.Invoke(L"ProcessId", DISPATCH_PROPERTYGET, nullptr, &value, error) &&
            SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4))) {
            pid = V_I4(&value);
        }
        VariantClear(&value);
    }
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&argument) = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(words.size()));
    for (LONG i = 0; i < static_cast<LONG>(words.size()); ++i) {
        BSTR word = ToBstr(words[static_cast<std::size_t>(i)]);
        SafeArrayPutElement(V_ARRAY(&argument), &i, word);
        SysFreeString(word);
    }
    VARIANT answer;
    VariantInit(&answer);
    const bool done = control.Invoke(L"Command", DISPATCH_METHOD, &argument, &answer, error);
    VariantClear(&argument);
    if (!done) {
        VariantClear(&answer);
        WriteErr("nodesim: " + error + "\r\n");
        return 1;
    }
    if (V_VT(&answer) == VT_BSTR) {
        WriteOut(FromBstr(V_BSTR(&answer)) + "\r\n");
    } else {
        WriteOut("\r\n");
    }
    VariantClear(&answer);
    control.Release();
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
