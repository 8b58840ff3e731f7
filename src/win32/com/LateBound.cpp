#include "win32/com/LateBound.h"

#include "host/Host.h"
#include "win32/com/ComError.h"
#include "win32/com/ComText.h"

namespace hourmark::win32::com {

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&v_);
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

Variant Variant::Text(const std::string& utf8) {
    Variant v;
    V_BSTR(&v.v_) = ToBstr(utf8);
    V_VT(&v.v_) = VT_BSTR;
    return v;
}

Variant Variant::Bool(bool value) {
    Variant v;
    V_VT(&v.v_) = VT_BOOL;
    V_BOOL(&v.v_) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::Int16(std::int16_t value) {
    Variant v;
    V_VT(&v.v_) = VT_I2;
    V_I2(&v.v_) = value;
    return v;
}

Variant Variant::Int32(std::int32_t value) {
    Variant v;
    V_VT(&v.v_) = VT_I4;
    V_I4(&v.v_) = value;
    return v;
}

DISPID LateBound::IdOf(const wchar_t* member) {
    const auto found = ids_.find(member);
    if (found != ids_.end()) {
        return found->second;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    SetErrorInfo(0, nullptr);
    const HRESULT hr = object_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        ThrowHostError(hr);
    }
    ids_.emplace(member, id);
    return id;
}

Variant LateBound::Invoke(const wchar_t* member, WORD flags, std::vector<Variant>& args, bool put) {
    if (!object_) {
        throw HostError("EchoLink's object is not available");
    }
    const DISPID id = IdOf(member);
    // IDispatch takes the arguments last first.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        reversed.push_back(*it->get());
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (put) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO info{};
    UINT badArg = 0;
    SetErrorInfo(0, nullptr);
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       put ? nullptr : result.get(), &info, &badArg);
    if (FAILED(hr)) {
        ThrowHostError(hr, &info);
    }
    return result;
}

Variant LateBound::Call(const wchar_t* member, std::vector<Variant> args) {
    return Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

void LateBound::Do(const wchar_t* member, std::vector<Variant> args) {
    Invoke(member, DISPATCH_METHOD, args, false);
}

void LateBound::Put(const wchar_t* member, Variant value) {
    std::vector<Variant> args;
    args.push_back(std::move(value));
    Invoke(member, DISPATCH_PROPERTYPUT, args, true);
}

namespace {

Variant Converted(const Variant& v, VARTYPE type) {
    Variant out;
    const HRESULT hr =
        VariantChangeType(out.get(), const_cast<VARIANT*>(v.get()), VARIANT_NOVALUEPROP, type);
    if (FAILED(hr)) {
        ThrowHostError(hr, nullptr, "EchoLink returned an unexpected value");
    }
    return out;
}

}  // namespace

bool AsBool(const Variant& v) {
    return V_BOOL(Converted(v, VT_BOOL).get()) != VARIANT_FALSE;
}

std::int32_t AsInt32(const Variant& v) {
    return V_I4(Converted(v, VT_I4).get());
}

std::string AsText(const Variant& v) {
    const VARTYPE type = V_VT(v.get());
    if (type == VT_EMPTY || type == VT_NULL) {
        return {};
    }
    return FromBstr(V_BSTR(Converted(v, VT_BSTR).get()));
}

Microsoft::WRL::ComPtr<IDispatch> AsObject(const Variant& v) {
    Microsoft::WRL::ComPtr<IDispatch> object;
    const VARIANT* raw = v.get();
    if (V_VT(raw) == VT_DISPATCH && V_DISPATCH(raw) != nullptr) {
        object = V_DISPATCH(raw);
    } else if (V_VT(raw) == VT_UNKNOWN && V_UNKNOWN(raw) != nullptr) {
        const HRESULT hr = V_UNKNOWN(raw)->QueryInterface(IID_PPV_ARGS(&object));
        if (FAILED(hr)) {
            ThrowHostError(hr, nullptr, "EchoLink returned an object without IDispatch");
        }
    }
    if (!object) {
        throw HostError("EchoLink returned no object");
    }
    return object;
}

}  // namespace hourmark::win32::com
