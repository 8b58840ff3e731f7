// One class factory per creatable class; every instance it makes is served by this process.
#pragma once

#include <windows.h>

#include <unknwn.h>

namespace nodesim {

using Maker = IUnknown* (*)();

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(Maker make) : make_(make) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    // The factories live as long as the process.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    Maker make_;
};

}  // namespace nodesim
