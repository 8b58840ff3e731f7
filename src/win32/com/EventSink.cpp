#include "win32/com/EventSink.h"

#include <exception>
#include <string>
#include <vector>

#include "win32/com/ComText.h"

namespace hourmark::win32::com {

EventSink::EventSink(HostEventTarget& target, ITypeInfo* source, const IID& sourceIid)
    : target_(&target), source_(source), sourceIid_(sourceIid) {
    const std::pair<const wchar_t*, Event> names[] = {
        {L"StationListReceived", Event::StationListReceived},
        {L"Closing", Event::Closing},
        {L"Connected", Event::Connected},
        {L"Disconnected", Event::Disconnected},
        {L"DTMFString", Event::DTMFString},
    };
    for (const auto& [name, event] : names) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        MEMBERID id = MEMBERID_NIL;
        if (source_ && SUCCEEDED(source_->GetIDsOfNames(&n, 1, &id))) {
            events_.emplace(id, event);
        }
    }
}

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
    if (!source_) {
        return DISP_E_UNKNOWNNAME;
    }
    return source_->GetIDsOfNames(names, count, ids);
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

void EventSink::Deliver(Event event, const DISPPARAMS& params) {
    switch (event) {
        case Event::StationListReceived:
            target_->StationListReceived();
            break;
        case Event::Closing:
            target_->Closing();
            break;
        case Event::Connected:
            target_->Connected(Argument(params, 0), Argument(params, 1), Argument(params, 2));
            break;
        case Event::Disconnected:
            target_->Disconnected(Argument(params, 0));
            break;
        case Event::DTMFString:
            target_->DTMFString(Argument(params, 0));
            break;
    }
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* info, UINT*) {
    if (result != nullptr) {
        VariantInit(result);
    }
    const auto found = events_.find(id);
    // Events the program does not handle are accepted and ignored, as any sink would.
    if (found == events_.end() || target_ == nullptr) {
        return S_OK;
    }
    static const DISPPARAMS kNone{};
    // The target may end the program and release the host's objects (and so this sink) while
    // the event is delivered.
    const Microsoft::WRL::ComPtr<EventSink> self(this);
    // The target's faults must not cross back into the host's process as C++ exceptions.
    try {
        Deliver(found->second, params ? *params : kNone);
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
