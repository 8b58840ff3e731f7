// INTERIM: stands in for the COM client until the host link is built. It only makes the
// creation step of the setup configuration (by ProgID "EchoLink.SetupConfig"), so that with no
// host registered start-up fails with the system's own reason; every object request fails,
// since nothing here can talk to a host that is there.
#include "win32/com/ComHost.h"

#include <objbase.h>

#include <cstdio>

#include "win32/Text.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

namespace {

// Texts for the answers a missing or broken registration gives, where the system has none.
const char* KnownReason(HRESULT hr) {
    switch (hr) {
        case CO_E_CLASSSTRING:
            return "EchoLink is not registered on this computer (invalid class string)";
        case REGDB_E_CLASSNOTREG:
            return "EchoLink's class is not registered";
        case CO_E_SERVER_EXEC_FAILURE:
            return "EchoLink could not be started";
        case E_NOINTERFACE:
            return "EchoLink does not offer the automation interface";
        default:
            return nullptr;
    }
}

std::string Describe(HRESULT hr) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string message;
    if (n > 0 && text) {
        message = Utf8FromWide(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                    message.back() == ' ' || message.back() == '.')) {
            message.pop_back();
        }
    }
    if (text) {
        LocalFree(text);
    }
    if (message.empty() && KnownReason(hr)) {
        message = KnownReason(hr);
    }
    char code[32];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return message.empty() ? std::string("error ") + code : message + " (" + code + ")";
}

void CreateSetupConfigObject() {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"EchoLink.SetupConfig", &clsid);
    if (FAILED(hr)) {
        throw HostError(Describe(hr));
    }
    IDispatch* object = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&object));
    if (FAILED(hr)) {
        throw HostError(Describe(hr));
    }
    object->Release();
}

class InterimHostFactory : public HostFactory {
  public:
    std::shared_ptr<HostApp> CreateMainObject() override {
        CreateSetupConfigObject();
        throw HostError("this build of HourMark cannot talk to EchoLink yet");
    }
    std::shared_ptr<SetupConfig> CreateSetupConfig() override {
        CreateSetupConfigObject();
        throw HostError("this build of HourMark cannot talk to EchoLink yet");
    }
};

}  // namespace

std::unique_ptr<HostFactory> MakeComHostFactory(HostEventTarget&) {
    return std::make_unique<InterimHostFactory>();
}

}  // namespace hourmark::win32
