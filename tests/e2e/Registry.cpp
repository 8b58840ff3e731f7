#include "Registry.h"

#include <objbase.h>

namespace e2e {

void SetDefault(HKEY root, const std::wstring& key, const std::wstring& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
    }
}

std::optional<std::wstring> GetDefault(HKEY root, const std::wstring& key, REGSAM view) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t value[1024] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc =
        RegQueryValueExW(k, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(value);
}

REGSAM ViewOfProgram(const std::wstring& path) {
    DWORD kind = 0;
    if (GetBinaryTypeW(path.c_str(), &kind) && kind == SCS_32BIT_BINARY) {
        return KEY_WOW64_32KEY;
    }
    return KEY_WOW64_64KEY;
}

void DeleteKey(HKEY root, const std::wstring& key) {
    RegDeleteTreeW(root, key.c_str());
    RegDeleteKeyW(root, key.c_str());
}

std::wstring GuidString(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

}  // namespace e2e
