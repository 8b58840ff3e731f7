// benchyardstick.exe [FILE [SECONDS]]: the least a program can do and still behave like HourMark
// while it is left alone. It finds and creates the host's main object the way HourMark does,
// receives its events, holds a setup configuration, keeps a hidden window and a tray icon, runs
// the four timers at HourMark's intervals and asks the host what the idle ticks ask (Timer1:
// IsTransmitting, IsBusyA, IsBusyB; FanTimer: IsTransmitting), each member's id looked up once.
// Nothing else: no controls, no fonts, no core. scripts/bench runs it beside hourmark.exe against
// the same simulator, and HourMark's idle cost is measured against this one.
//
// With FILE it writes the local time at which it is set up and calling ("yyyy-mm-dd hh:mm:ss.fff")
// into FILE. It ends when the host closes (its Closing event), when a call fails, or after
// SECONDS (3600).
#include <windows.h>

#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#include <shellapi.h>
#include <wrl/client.h>

#include <cstdio>
#include <cwchar>
#include <exception>

#include "win32/com/MainObjectClass.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr UINT_PTR kTimeTimer = 1, kTimer1 = 2, kFanTimer = 3, kAutoConnectTimer = 4, kEnd = 5;
constexpr UINT kTrayMessage = WM_APP + 1;

// Accepts the host's events; only Closing does anything.
class Sink final : public IDispatch {
public:
    Sink(const IID& iid, DISPID closing) : iid_(iid), closing_(closing) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == iid_) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
    }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (result != nullptr) {
            VariantInit(result);
        }
        if (id == closing_) {
            PostQuitMessage(0);
        }
        return S_OK;
    }

private:
    ~Sink() = default;
    LONG refs_ = 1;
    IID iid_;
    DISPID closing_;
};

struct Host {
    ComPtr<IDispatch> main;
    DISPID isTransmitting = DISPID_UNKNOWN;
    DISPID isBusyA = DISPID_UNKNOWN;
    DISPID isBusyB = DISPID_UNKNOWN;
    bool failed = false;

    // A value-returning member read as HourMark reads it: method or property, result a VARIANT
    // converted to a boolean.
    bool Ask(DISPID id) {
        DISPPARAMS none{};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO info{};
        UINT badArg = 0;
        const HRESULT hr =
            main->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                         &none, &result, &info, &badArg);
        bool value = false;
        if (FAILED(hr) || FAILED(VariantChangeType(&result, &result, 0, VT_BOOL))) {
            failed = true;
        } else {
            value = V_BOOL(&result) != VARIANT_FALSE;
        }
        VariantClear(&result);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        return value;
    }
};

Host* g_host = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_TIMER) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    // Timer1 and the clock read the time of day; the clock would show it, Timer1 match slots.
    SYSTEMTIME now;
    switch (wParam) {
        case kTimeTimer:
            GetLocalTime(&now);
            break;
        case kTimer1: {
            const bool transmitting = g_host->Ask(g_host->isTransmitting);
            const bool busyA = g_host->Ask(g_host->isBusyA);
            const bool busyB = g_host->Ask(g_host->isBusyB);
            GetLocalTime(&now);
            (void)(transmitting || busyA || busyB);
            break;
        }
        case kFanTimer:
            g_host->Ask(g_host->isTransmitting);
            break;
        case kAutoConnectTimer:
            break;  // no node set for auto-connect: the tick asks the host nothing
        case kEnd:
            PostQuitMessage(0);
            break;
        default:
            break;
    }
    if (g_host->failed) {
        PostQuitMessage(2);
    }
    return 0;
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    LPOLESTR n = const_cast<LPOLESTR>(name);
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

bool WriteNow(const wchar_t* path) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    char text[32];
    const int n =
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u\n", st.wYear,
                      st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(file);
    return ok && written == static_cast<DWORD>(n);
}

int Run(HINSTANCE instance) {
    // The main object as HourMark finds it: the event-raising class of the setup
    // configuration's type library.
    hourmark::win32::com::MainObjectClass mainClass;
    try {
        mainClass = hourmark::win32::com::FindMainObjectClass(L"EchoLink.SetupConfig");
    } catch (const std::exception&) {
        return 3;
    }
    Host host;
    if (FAILED(
            CoCreateInstance(mainClass.clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&host.main)))) {
        return 3;
    }
    LPOLESTR closingName = const_cast<LPOLESTR>(L"Closing");
    MEMBERID closing = MEMBERID_NIL;
    mainClass.events->GetIDsOfNames(&closingName, 1, &closing);
    // COM may hold the sink until the apartment ends, after the host has gone.
    ComPtr<Sink> sink;
    sink.Attach(new Sink(mainClass.eventsIid, closing));
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (FAILED(host.main.As(&container)) ||
        FAILED(container->FindConnectionPoint(mainClass.eventsIid, &point)) ||
        FAILED(point->Advise(sink.Get(), &cookie))) {
        return 3;
    }
    // HourMark holds the setup configuration for as long as it runs.
    CLSID setupClass{};
    ComPtr<IDispatch> setup;
    if (FAILED(CLSIDFromProgID(L"EchoLink.SetupConfig", &setupClass)) ||
        FAILED(CoCreateInstance(setupClass, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&setup)))) {
        return 3;
    }
    host.isTransmitting = IdOf(host.main.Get(), L"IsTransmitting");
    host.isBusyA = IdOf(host.main.Get(), L"IsBusyA");
    host.isBusyB = IdOf(host.main.Get(), L"IsBusyB");
    g_host = &host;

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"HourMarkYardstick";
    if (RegisterClassW(&wc) == 0) {
        return 1;
    }
    // Hidden, as HourMark's window is while it is left alone.
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"yardstick", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    NOTIFYICONDATAW tray{};
    tray.cbSize = NOTIFYICONDATAW_V1_SIZE;
    tray.hWnd = window;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    std::wcscpy(tray.szTip, L"yardstick");
    Shell_NotifyIconW(NIM_ADD, &tray);

    const long seconds = __argc >= 3 ? std::wcstol(__wargv[2], nullptr, 10) : 3600;
    SetTimer(window, kTimeTimer, 1000, nullptr);
    SetTimer(window, kTimer1, 500, nullptr);
    SetTimer(window, kFanTimer, 500, nullptr);
    SetTimer(window, kAutoConnectTimer, 60000, nullptr);
    SetTimer(window, kEnd,
             static_cast<UINT>(seconds > 0 && seconds <= 86400 ? seconds : 3600) * 1000, nullptr);
    if (__argc >= 2 && !WriteNow(__wargv[1])) {
        return 1;
    }
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        DispatchMessageW(&msg);
    }
    Shell_NotifyIconW(NIM_DELETE, &tray);
    DestroyWindow(window);
    point->Unadvise(cookie);
    g_host = nullptr;
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    const int code = Run(instance);
    CoUninitialize();
    return code;
}
