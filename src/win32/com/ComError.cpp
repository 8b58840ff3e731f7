#include "win32/com/ComError.h"

#include <wrl/client.h>

#include <cstdio>

#include "host/Host.h"
#include "win32/com/ComText.h"

namespace hourmark::win32::com {

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

// Wine's message tables lack most COM codes; these are the ones an operator meets when the host
// is missing, not registered or gone.
const char* KnownText(HRESULT hr) {
    switch (static_cast<unsigned long>(hr)) {
        case 0x80040154UL:
            return "Class not registered";
        case 0x800401F3UL:
            return "Invalid class string";
        case 0x80080005UL:
            return "Server execution failed";
        case 0x800706BAUL:
            return "The RPC server is unavailable";
        case 0x800706BEUL:
            return "The remote procedure call failed";
        case 0x800706BFUL:
            return "The remote procedure call failed and did not execute";
        case 0x80010012UL:
            return "The callee (server) is not available and disappeared; all connections are "
                   "invalid";
        case 0x80010108UL:
            return "The object invoked has disconnected from its clients";
        case 0x80010007UL:
            return "The callee (server) is not available and disappeared";
        case 0x800401FDUL:
            return "Object is not connected to server";
        case 0x80020003UL:
            return "Member not found";
        case 0x80020005UL:
            return "Type mismatch";
        case 0x80020006UL:
            return "Unknown name";
        case 0x80020009UL:
            return "Exception occurred";
        case 0x8002000EUL:
            return "Invalid number of parameters";
        case 0x80004002UL:
            return "No such interface supported";
        case 0x80004005UL:
            return "Unspecified error";
        case 0x8002801DUL:
            return "Library not registered";
        case 0x80029C4AUL:
            return "Error loading type library/DLL";
        case 0x80040202UL:  // CONNECT_E_CANNOTCONNECT
            return "The host refused the receiver of its events";
        case 0x80040200UL:  // CONNECT_E_NOCONNECTION
            return "The host has no such connection for its events";
        default:
            return nullptr;
    }
}

std::string SystemText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (n != 0 && buffer != nullptr) {
        text = Trimmed(Narrow(buffer, n));
    }
    if (buffer != nullptr) {
        LocalFree(buffer);
    }
    if (text.empty()) {
        const char* known = KnownText(hr);
        text = known ? known : "Unknown error";
    }
    return text;
}

std::string TakeErrorInfo() {
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.GetAddressOf()) != S_OK || !info) {
        return {};
    }
    BSTR description = nullptr;
    std::string text;
    if (SUCCEEDED(info->GetDescription(&description))) {
        text = FromBstr(description);
    }
    SysFreeString(description);
    return text;
}

}  // namespace

bool MeansHostGone(HRESULT hr) {
    switch (static_cast<unsigned long>(hr)) {
        case 0x800706BAUL:  // RPC_S_SERVER_UNAVAILABLE: the process is gone (measured under Wine)
        case 0x800706BEUL:  // RPC_S_CALL_FAILED
        case 0x800706BFUL:  // RPC_S_CALL_FAILED_DNE
        case 0x80010108UL:  // RPC_E_DISCONNECTED
        case 0x80010007UL:  // RPC_E_SERVER_DIED
        case 0x80010012UL:  // RPC_E_SERVER_DIED_DNE
        case 0x800401FDUL:  // CO_E_OBJNOTCONNECTED
            return true;
        default:
            return false;
    }
}

std::string DescribeHresult(HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return SystemText(hr) + " (" + code + ")";
}

std::string DescribeFailure(HRESULT hr, EXCEPINFO* info) {
    std::string text;
    HRESULT code = hr;
    if (info != nullptr) {
        if (info->pfnDeferredFillIn != nullptr) {
            info->pfnDeferredFillIn(info);
        }
        text = FromBstr(info->bstrDescription);
        if (hr == DISP_E_EXCEPTION && FAILED(info->scode)) {
            code = info->scode;
        }
        SysFreeString(info->bstrDescription);
        SysFreeString(info->bstrSource);
        SysFreeString(info->bstrHelpFile);
        *info = EXCEPINFO{};
    }
    // Read (and clear) the thread's error object in every case, so that a stale one never
    // explains a later failure.
    const std::string fromErrorInfo = TakeErrorInfo();
    if (!text.empty()) {
        return text;
    }
    if (!fromErrorInfo.empty()) {
        return fromErrorInfo;
    }
    return DescribeHresult(code);
}

void ThrowHostError(HRESULT hr, EXCEPINFO* info, const std::string& context) {
    const bool gone = MeansHostGone(hr) ||
                      (hr == DISP_E_EXCEPTION && info != nullptr && MeansHostGone(info->scode));
    std::string text = DescribeFailure(hr, info);
    if (!context.empty()) {
        text = context + ": " + text;
    }
    if (gone) {
        throw HostGone(text);
    }
    throw HostError(text);
}

}  // namespace hourmark::win32::com
