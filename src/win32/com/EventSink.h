// Receives the host's events on its default source dispinterface and hands them to the core's
// target. COM delivers them on the apartment's thread, which is the user-interface thread.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <set>

#include "win32/com/ComHost.h"
#include "win32/com/EventIds.h"

namespace hourmark::win32::com {

class EventSink final : public IDispatch {
public:
    // source describes the dispinterface; ids are its events' DISPIDs, found by name
    // (FindEventIds), since every host numbers them its own way. An id it does not declare is
    // told to the target once, and otherwise ignored.
    EventSink(HostEventTarget& target, ITypeInfo* source, const IID& sourceIid, EventIds ids);

    // After this no event reaches the target (the host may still hold the sink for a while).
    void Detach() { target_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* info, UINT* badArg) override;

private:
    ~EventSink() = default;
    void Deliver(HostEvent event, const DISPPARAMS& params);

    LONG refs_ = 1;
    HostEventTarget* target_;
    Microsoft::WRL::ComPtr<ITypeInfo> source_;
    IID sourceIid_;
    EventIds events_;
    std::set<DISPID> toldUnknown_;
};

}  // namespace hourmark::win32::com
