#include "EventSource.h"

#include <olectl.h>

#include "Simulator.h"

namespace nodesim {

EventSource::EventSource(IConnectionPointContainer& container, const IID& events)
    : container_(container), events_(events) {
    Simulator::Instance().AddSource(this);
}

EventSource::~EventSource() {
    Simulator::Instance().RemoveSource(this);
}

std::vector<std::pair<DWORD, Microsoft::WRL::ComPtr<IDispatch>>> EventSource::Sinks() const {
    return {sinks_.begin(), sinks_.end()};
}

STDMETHODIMP EventSource::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP EventSource::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = events_;
    return S_OK;
}

STDMETHODIMP EventSource::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    container_.AddRef();
    *container = &container_;
    return S_OK;
}

STDMETHODIMP EventSource::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    // As a server built with ATL does: a sink must answer for the event interface itself. A
    // sink that is only an IDispatch is refused, so a client that would fail against such a
    // host fails here too.
    if (Simulator::Instance().node().refuseReceivers) {
        return CONNECT_E_CANNOTCONNECT;
    }
    Microsoft::WRL::ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.GetAddressOf())))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = next_++;
    sinks_.emplace(*cookie, std::move(dispatch));
    Simulator::Instance().Changed();
    return S_OK;
}

STDMETHODIMP EventSource::Unadvise(DWORD cookie) {
    if (sinks_.erase(cookie) == 0) {
        return CONNECT_E_NOCONNECTION;
    }
    Simulator::Instance().Changed();
    return S_OK;
}

STDMETHODIMP EventSource::EnumConnections(IEnumConnections** connections) {
    if (connections == nullptr) {
        return E_POINTER;
    }
    *connections = nullptr;
    return E_NOTIMPL;
}

}  // namespace nodesim
