#include "ClassFactory.h"

namespace nodesim {

STDMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    IUnknown* made = make_();
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = made->QueryInterface(riid, object);
    made->Release();
    return hr;
}

}  // namespace nodesim
