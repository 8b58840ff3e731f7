#include "WinRig.h"

#include <oleacc.h>

#include <algorithm>

#include "support/WineOnly.h"
#include "win32/MessagePump.h"

namespace hourmark::win32::test {

// ---- Tray --------------------------------------------------------------------------------------

std::vector<TrayRequest>& TrayRequests() {
    static std::vector<TrayRequest> requests;
    return requests;
}

BOOL trayAnswer = TRUE;

BOOL WINAPI RecordTrayRequest(DWORD message, PNOTIFYICONDATAA data) {
    TrayRequests().push_back({message, *data});
    return trayAnswer;
}

// ---- Input
// ---------------------------------------------------------------------------------------

void RecordingInput::Tick(Timer timer) {
    ++ticks[timer];
    if (forward) {
        station_.Tick(timer);
    }
}

void RecordingInput::Click(Control control) {
    log.push_back("Click(" + std::to_string(static_cast<int>(control)) + ")");
    if (forward) {
        station_.Click(control);
    }
}

void RecordingInput::NodeButtonMouseUp(int index, int mouseButton) {
    log.push_back("MouseUp(" + std::to_string(index) + "," + std::to_string(mouseButton) + ")");
    if (forward) {
        station_.NodeButtonMouseUp(index, mouseButton);
    }
}

void RecordingInput::TrayCallback(int eventCode) {
    log.push_back("Tray(" + std::to_string(eventCode) + ")");
    if (forward) {
        station_.TrayCallback(eventCode);
    }
}

void RecordingInput::Activated() {
    if (forward) {
        station_.Activated();
    }
}

void RecordingInput::Resized() {
    ++resized;
    log.push_back("Resized");
    if (forward) {
        station_.Resized();
    }
}

void RecordingInput::Close() {
    log.push_back("Close");
    if (forward) {
        station_.Close();
    }
}

void RecordingInput::EndSession() {
    log.push_back("EndSession");
    if (forward) {
        station_.EndSession();
    }
}

void RecordingInput::DialogInput(const std::function<void()>& handler) {
    log.push_back("DialogInput");
    if (forward) {
        station_.DialogInput(handler);
    }
    if (onDialogInput) {
        onDialogInput();
    }
}

std::size_t RecordingInput::Count(const std::string& entry) const {
    return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
}

// ---- Message boxes
// -------------------------------------------------------------------------------

namespace {

BOOL CALLBACK CollectBox(HWND h, LPARAM list) {
    if (IsWindowVisible(h) && ClassOf(h) == L"#32770") {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> OpenMessageBoxes() {
    std::vector<HWND> boxes;
    EnumThreadWindows(GetCurrentThreadId(), CollectBox, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

SeenBox Describe(HWND box) {
    wchar_t text[2048] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 2048);
    // The icon's control id is Wine's own (its dialog's stc1); Windows numbers it 20.
    HWND iconWindow = GetDlgItem(box, hourmark::test::WineOrWindows(0x440, 0x14));
    HICON icon =
        iconWindow ? reinterpret_cast<HICON>(SendMessageW(iconWindow, STM_GETICON, 0, 0)) : nullptr;
    return {TextOf(box), text, GetWindow(box, GW_OWNER), icon};
}

// ---- Rig
// -----------------------------------------------------------------------------------------

namespace {

WinRig* watchedRig = nullptr;

}  // namespace

void CALLBACK WinRig::Watch(HWND, UINT, UINT_PTR, DWORD) {
    WinRig* rig = watchedRig;
    if (!rig || !rig->closeBoxes) {
        return;
    }
    for (HWND box : OpenMessageBoxes()) {
        if (std::find(rig->closing_.begin(), rig->closing_.end(), box) == rig->closing_.end()) {
            rig->closing_.push_back(box);
            rig->closedBoxes.push_back(Describe(box));
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

WinRig::WinRig()
    : window(GetModuleHandleW(nullptr),
             WindowPortOptions{RecordTrayRequest, [](int code) { throw ProgramEnded{code}; }}),
      station(Ports{host, clock, window, pause, files}),
      input(station) {
    TrayRequests().clear();
    watchedRig = this;
    watch_ = SetTimer(nullptr, 0, 50, Watch);
    window.Create(station, input);
    station.Start();
}

WinRig::~WinRig() {
    KillTimer(nullptr, watch_);
    watchedRig = nullptr;
    window.Destroy();
    // Whatever the windows left in the queue must not reach the next rig.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            break;
        }
    }
}

void WinRig::TrayEvent(int code) {
    SendMessageW(Tray(), TrayIcon::kCallbackMessage, 0, static_cast<LPARAM>(code));
}

// ---- Message loop ------------------------------------------------------------------------------

void PumpFor(int ms) {
    const auto t0 = Clock::now();
    for (;;) {
        const long long left = ms - MsSince(t0);
        if (left <= 0) {
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            DispatchOne(msg);
        }
    }
}

namespace {

std::map<UINT_PTR, std::function<void()>>& Jobs() {
    static std::map<UINT_PTR, std::function<void()>> jobs;
    return jobs;
}

void CALLBACK RunJob(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto it = Jobs().find(id);
    if (it == Jobs().end()) {
        return;
    }
    auto job = std::move(it->second);
    Jobs().erase(it);
    job();
}

}  // namespace

void RunLater(int ms, std::function<void()> job) {
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(std::max(ms, 1)), RunJob);
    Jobs()[id] = std::move(job);
}

void WhenShowing(WinRig& rig, Dialog dialog, int ms, std::function<void()> job) {
    RunLater(50, [&rig, dialog, ms, job = std::move(job)]() mutable {
        const bool open = rig.window.IsDialogShowing(dialog) &&
                          (dialog == Dialog::NodeSetup ? rig.window.NodeSetupWindowHandle()
                                                       : rig.window.WavPickerWindowHandle());
        if (!open) {
            WhenShowing(rig, dialog, ms, std::move(job));
        } else {
            RunLater(ms, std::move(job));
        }
    });
}

// ---- Windows -----------------------------------------------------------------------------------

std::wstring TextOf(HWND h) {
    const int n = GetWindowTextLengthW(h);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(h, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

std::wstring ClassOf(HWND h) {
    wchar_t name[128] = {};
    GetClassNameW(h, name, 128);
    return name;
}

RECT RectIn(HWND h, HWND reference) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT RectInParent(HWND h) {
    return RectIn(h, GetParent(h));
}

LOGFONTW FontOf(HWND h) {
    LOGFONTW lf{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
    GetObjectW(font, sizeof lf, &lf);
    return lf;
}

std::wstring WindowsPath(const char* path) {
    std::wstring w;
    for (const char* p = path; *p; ++p) {
        w += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    return path[0] == '/' ? L"Z:" + w : w;
}

// ---- What a screen reader reads ----------------------------------------------------------------

ReaderSees ReadAsAReader(HWND control) {
    ReaderSees seen;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object))) &&
        object != nullptr) {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        const auto take = [](BSTR text, std::wstring& into) {
            if (text != nullptr) {
                into = text;
                SysFreeString(text);
            }
        };
        BSTR text = nullptr;
        if (object->get_accName(self, &text) == S_OK) {
            take(text, seen.name);
        }
        text = nullptr;
        if (object->get_accValue(self, &text) == S_OK) {
            take(text, seen.value);
        }
        VARIANT v{};
        if (SUCCEEDED(object->get_accRole(self, &v)) && v.vt == VT_I4) {
            seen.role = v.lVal;
        }
        VariantClear(&v);
        if (SUCCEEDED(object->get_accState(self, &v)) && v.vt == VT_I4) {
            seen.state = v.lVal;
        }
        VariantClear(&v);
        object->Release();
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return seen;
}

}  // namespace hourmark::win32::test
