// The node object's one connection point: the sinks advised on the node's events. It lives inside
// its node object and shares its reference count, so that a client holding only the connection
// point keeps the node alive.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <wrl/client.h>

#include <map>
#include <vector>

namespace nodesim {

class EventSource final : public IConnectionPoint {
public:
    EventSource(IConnectionPointContainer& container, const IID& events);
    ~EventSource();
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    std::vector<std::pair<DWORD, Microsoft::WRL::ComPtr<IDispatch>>> Sinks() const;
    bool Has(DWORD cookie) const { return sinks_.count(cookie) != 0; }
    // A sink whose client has gone away.
    void Drop(DWORD cookie) { sinks_.erase(cookie); }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

private:
    IConnectionPointContainer& container_;
    const IID& events_;
    std::map<DWORD, Microsoft::WRL::ComPtr<IDispatch>> sinks_;
    DWORD next_ = 1;
};

}  // namespace nodesim
