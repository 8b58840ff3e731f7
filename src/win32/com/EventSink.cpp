#include "win32/com/EventSink.h"

#include <cwchar>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "win32/com/ComText.h"

namespace hourmark::win32::com {

EventSink::EventSink(HostEventTarget& target, ITypeInfo* source, const IID& sourceIid, EventIds ids)
    : target_(&target), source_(source), sourceIid_(sourceIid), events_(std::move(ids)) {}

STDMETHODIMP EventSink::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == sourceIid_) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventSink::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) EventSink::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = source_ ? 1 : 0;
    return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0 || !source_) {
        return DISP_E_BADINDEX;
    }
    source_.CopyTo(info);
    return S_OK;
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    // The host's type information may be a proxy, which cannot look names up: answer from the
    // events already mapped. Only the member name is known here, not its arguments.
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    for (const auto& [id, event] : events_.byId) {
        if (names[0] != nullptr && _wcsicmp(names[0], EventName(event)) == 0) {
            ids[0] = id;
        }
    }
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

namespace {

// The i-th argument in declaration order, as text; strings passed by reference are read through.
std::string Argument(const DISPPARAMS& params, UINT i) {
    if (i >= params.cArgs) {
        return {};
    }
    VARIANT direct;
    VariantInit(&direct);
    VARIANT text;
    VariantInit(&text);
    std::string value;
    if (SUCCEEDED(VariantCopyInd(&direct, &params.rgvarg[params.cArgs - 1 - i])) &&
        SUCCEEDED(VariantChangeType(&text, &direct, VARIANT_NOVALUEPROP, VT_BSTR))) {
        value = FromBstr(V_BSTR(&text));
    }
    VariantClear(&text);
    VariantClear(&direct);
    return value;
}

}  // namespace

void EventSink::Deliver(HostEvent event, const DISPPARAMS& params) {
    switch (event) {
        case HostEvent::StationListReceived:
            target_->StationListReceived();
            break;
        case HostEvent::Closing:
            target_->Closing();
            break;
        case HostEvent::Connected:
            target_->Connected(Argument(params, 0), Argument(params, 1), Argument(params, 2));
            break;
        case HostEvent::Disconnected:
            target_->Disconnected(Argument(params, 0));
            break;
        case HostEvent::DTMFString:
            target_->DTMFString(Argument(params, 0));
            break;
    }
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* info, UINT*) {
    if (result != nullptr) {
        VariantInit(result);
    }
    const auto found = events_.byId.find(id);
    // The host's other events are ignored, as any sink would. An id its description does not
    // declare means that description is not the host's own (a stale library): said once.
    const bool tell = found == events_.byId.end() && events_.declared.count(id) == 0 &&
                      toldUnknown_.insert(id).second;
    if (target_ == nullptr || (found == events_.byId.end() && !tell)) {
        return S_OK;
    }
    static const DISPPARAMS kNone{};
    // The target may end the program and release the host's objects (and so this sink) while
    // the event is delivered.
    const Microsoft::WRL::ComPtr<EventSink> self(this);
    // The target's faults must not cross back into the host's process as C++ exceptions.
    try {
        if (tell) {
            target_->UnknownEvent(static_cast<std::int32_t>(id));
        } else {
            Deliver(found->second, params ? *params : kNone);
        }
        return S_OK;
    } catch (const std::exception& e) {
        if (info != nullptr) {
            *info = EXCEPINFO{};
            info->bstrSource = SysAllocString(L"HourMark");
            info->bstrDescription = SysAllocString(Widen(e.what()).c_str());
            info->scode = E_FAIL;
        }
        return DISP_E_EXCEPTION;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace hourmark::win32::com
