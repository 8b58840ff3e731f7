#include "win32/com/MainObjectClass.h"

#include <ocidl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "host/Host.h"
#include "win32/com/ComError.h"
#include "win32/com/ComText.h"

namespace hourmark::win32::com {

using Microsoft::WRL::ComPtr;

namespace {

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::optional<std::wstring> ReadDefaultValue(const std::wstring& subkey, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_READ | view, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t value[128] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(value);
}

// Registered versions of a library, highest first.
std::vector<std::pair<WORD, WORD>> RegisteredVersions(const GUID& libid, REGSAM view) {
    std::vector<std::pair<WORD, WORD>> versions;
    HKEY key = nullptr;
    const std::wstring path = L"TypeLib\\" + GuidText(libid);
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return versions;
    }
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = 64;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        wchar_t* end = nullptr;
        const unsigned long major = std::wcstoul(name, &end, 16);
        if (end == name || *end != L'.') {
            continue;
        }
        const unsigned long minor = std::wcstoul(end + 1, nullptr, 16);
        versions.emplace_back(static_cast<WORD>(major), static_cast<WORD>(minor));
    }
    RegCloseKey(key);
    std::sort(versions.rbegin(), versions.rend());
    return versions;
}

ComPtr<ITypeLib> FromRegistration(const CLSID& clsid) {
    const std::wstring subkey = L"CLSID\\" + GuidText(clsid) + L"\\TypeLib";
    // A 32-bit host registers its class in the 32-bit view of the registry.
    for (const REGSAM view : {REGSAM{KEY_WOW64_64KEY}, REGSAM{KEY_WOW64_32KEY}}) {
        const auto text = ReadDefaultValue(subkey, view);
        GUID libid{};
        if (!text || FAILED(IIDFromString(text->c_str(), &libid))) {
            continue;
        }
        for (const auto& [major, minor] : RegisteredVersions(libid, view)) {
            ComPtr<ITypeLib> library;
            if (SUCCEEDED(
                    LoadRegTypeLib(libid, major, minor, LOCALE_NEUTRAL, library.GetAddressOf()))) {
                return library;
            }
        }
    }
    return nullptr;
}

ComPtr<ITypeLib> FromInstance(const CLSID& clsid) {
    ComPtr<IUnknown> object;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&object)))) {
        return nullptr;
    }
    ComPtr<ITypeInfo> info;
    ComPtr<IProvideClassInfo> classInfo;
    if (SUCCEEDED(object.As(&classInfo))) {
        classInfo->GetClassInfo(info.GetAddressOf());
    }
    ComPtr<IDispatch> dispatch;
    if (!info && SUCCEEDED(object.As(&dispatch))) {
        dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.GetAddressOf());
    }
    ComPtr<ITypeLib> library;
    UINT index = 0;
    if (info) {
        info->GetContainingTypeLib(library.GetAddressOf(), &index);
    }
    return library;
}

// The dispatch side of a source interface: a dual interface describes it through its
// dispinterface half.
ComPtr<ITypeInfo> DispatchSide(ComPtr<ITypeInfo> info, IID& iid) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) {
        return nullptr;
    }
    const TYPEKIND kind = attr->typekind;
    const bool dual = (attr->wTypeFlags & TYPEFLAG_FDUAL) != 0;
    iid = attr->guid;
    info->ReleaseTypeAttr(attr);
    if (kind == TKIND_DISPATCH) {
        return info;
    }
    if (kind == TKIND_INTERFACE && dual) {
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> side;
        if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
            SUCCEEDED(info->GetRefTypeInfo(ref, side.GetAddressOf()))) {
            return side;
        }
    }
    return nullptr;
}

struct Source {
    ComPtr<ITypeInfo> events;
    IID iid{};
    EventIds ids;
};

// The coclass's default source interface and the events it declares.
std::optional<Source> DefaultSource(ITypeInfo* coclass, WORD implemented) {
    for (UINT j = 0; j < implemented; ++j) {
        INT flags = 0;
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> source;
        constexpr INT kDefaultSource = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
        if (FAILED(coclass->GetImplTypeFlags(j, &flags)) ||
            (flags & kDefaultSource) != kDefaultSource ||
            FAILED(coclass->GetRefTypeOfImplType(j, &ref)) ||
            FAILED(coclass->GetRefTypeInfo(ref, source.GetAddressOf()))) {
            continue;
        }
        Source found;
        found.events = DispatchSide(source, found.iid);
        if (found.events) {
            found.ids = FindEventIds(found.events.Get());
            return found;
        }
    }
    return std::nullopt;
}

}  // namespace

bool TakeEventsFromObject(IUnknown* object, MainObjectClass& mainClass) {
    ComPtr<IProvideClassInfo> classInfo;
    ComPtr<ITypeInfo> coclass;
    if (object == nullptr || FAILED(object->QueryInterface(IID_PPV_ARGS(&classInfo))) ||
        FAILED(classInfo->GetClassInfo(coclass.GetAddressOf())) || !coclass) {
        return false;
    }
    TYPEATTR* attr = nullptr;
    if (FAILED(coclass->GetTypeAttr(&attr))) {
        return false;
    }
    const bool isClass = attr->typekind == TKIND_COCLASS;
    const WORD implemented = attr->cImplTypes;
    coclass->ReleaseTypeAttr(attr);
    auto source = isClass ? DefaultSource(coclass.Get(), implemented) : std::nullopt;
    if (!source) {
        return false;
    }
    mainClass.events = std::move(source->events);
    mainClass.eventsIid = source->iid;
    mainClass.ids = std::move(source->ids);
    return true;
}

ComPtr<ITypeLib> TypeLibraryOfClass(const CLSID& clsid) {
    ComPtr<ITypeLib> library = FromRegistration(clsid);
    return library ? library : FromInstance(clsid);
}

std::optional<MainObjectClass> FindEventRaisingClass(ITypeLib* library) {
    std::optional<MainObjectClass> best;
    int bestScore = -1;
    const UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        TYPEKIND kind = TKIND_MAX;
        ComPtr<ITypeInfo> coclass;
        if (FAILED(library->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS ||
            FAILED(library->GetTypeInfo(i, coclass.GetAddressOf()))) {
            continue;
        }
        TYPEATTR* attr = nullptr;
        if (FAILED(coclass->GetTypeAttr(&attr))) {
            continue;
        }
        const bool creatable = (attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0;
        const CLSID clsid = attr->guid;
        const WORD implemented = attr->cImplTypes;
        coclass->ReleaseTypeAttr(attr);
        if (!creatable) {
            continue;
        }
        if (auto source = DefaultSource(coclass.Get(), implemented)) {
            const int score = static_cast<int>(source->ids.byId.size());
            if (score > bestScore) {
                bestScore = score;
                best = MainObjectClass{clsid, std::move(source->events), source->iid,
                                       std::move(source->ids)};
            }
        }
    }
    return best;
}

MainObjectClass FindMainObjectClass(const wchar_t* progId) {
    const std::string name = Narrow(progId, std::wcslen(progId));
    CLSID setupClass{};
    const HRESULT hr = CLSIDFromProgID(progId, &setupClass);
    if (FAILED(hr)) {
        ThrowHostError(hr, nullptr, name + " is not registered");
    }
    ComPtr<ITypeLib> library = TypeLibraryOfClass(setupClass);
    if (!library) {
        throw HostError("the type library of " + name + " is not to be found");
    }
    auto found = FindEventRaisingClass(library.Get());
    if (!found) {
        throw HostEventsUnavailable("the type library of " + name +
                                    " has no creatable class that raises events");
    }
    return *std::move(found);
}

}  // namespace hourmark::win32::com
