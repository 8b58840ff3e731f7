// Calls on a host object through IDispatch by member name, the way a script would: the DISPID is
// looked up once per name, arguments go as VARIANTs, and a failure throws HostError with the
// host's own text.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hourmark::win32::com {

// Owns one VARIANT.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    Variant& operator=(Variant&& other) noexcept;

    static Variant Text(const std::string& utf8);
    static Variant Bool(bool value);  // VT_BOOL: True is -1
    static Variant Int16(std::int16_t value);
    static Variant Int32(std::int32_t value);

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }

private:
    VARIANT v_;
};

class LateBound {
public:
    explicit LateBound(Microsoft::WRL::ComPtr<IDispatch> object) : object_(std::move(object)) {}

    // A method call or a property read; value-returning members are invoked as either, so that
    // the host may publish them as methods or as properties. Arguments in declaration order.
    Variant Call(const wchar_t* member, std::vector<Variant> args = {});
    // A method call whose result is not used.
    void Do(const wchar_t* member, std::vector<Variant> args = {});
    void Put(const wchar_t* member, Variant value);

    IDispatch* object() const { return object_.Get(); }

private:
    DISPID IdOf(const wchar_t* member);
    Variant Invoke(const wchar_t* member, WORD flags, std::vector<Variant>& args, bool put);

    Microsoft::WRL::ComPtr<IDispatch> object_;
    // Found by the member name as given, without making a string of it on every call.
    std::map<std::wstring, DISPID, std::less<>> ids_;
};

bool AsBool(const Variant& v);
std::int32_t AsInt32(const Variant& v);
std::string AsText(const Variant& v);
// Throws HostError when the host returned no object.
Microsoft::WRL::ComPtr<IDispatch> AsObject(const Variant& v);

}  // namespace hourmark::win32::com
