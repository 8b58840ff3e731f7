// Reference counting, QueryInterface and IDispatch for the simulator's objects. IDispatch is
// answered from the type library, so that late-bound clients see exactly what the library
// declares.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <oleauto.h>

#include "Simulator.h"

namespace nodesim {

template <class I>
class DispatchObject : public I, public ISupportErrorInfo {
public:
    explicit DispatchObject(const IID& iid) : iid_(iid) {}
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == iid_) {
            *object = static_cast<I*>(this);
        } else if (riid == IID_ISupportErrorInfo) {
            *object = static_cast<ISupportErrorInfo*>(this);
        } else {
            *object = QueryMore(riid);
        }
        if (*object == nullptr) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
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
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) {
            return E_POINTER;
        }
        *info = nullptr;
        if (index != 0) {
            return DISP_E_BADINDEX;
        }
        ITypeInfo* mine = Simulator::Instance().TypeInfo(iid_);
        if (mine == nullptr) {
            return E_UNEXPECTED;
        }
        mine->AddRef();
        *info = mine;
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        ITypeInfo* mine = Simulator::Instance().TypeInfo(iid_);
        return mine ? DispGetIDsOfNames(mine, names, count, ids) : E_UNEXPECTED;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT* badArg) override {
        ITypeInfo* mine = Simulator::Instance().TypeInfo(iid_);
        if (mine == nullptr) {
            return E_UNEXPECTED;
        }
        return DispInvoke(static_cast<I*>(this), mine, id, flags, params, result, info, badArg);
    }

    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == iid_ ? S_OK : S_FALSE;
    }

protected:
    virtual ~DispatchObject() = default;
    // Further interfaces of a derived class; not AddRef'ed.
    virtual void* QueryMore(REFIID) { return nullptr; }
    const IID& iid() const { return iid_; }

private:
    LONG refs_ = 1;
    const IID& iid_;
};

}  // namespace nodesim
