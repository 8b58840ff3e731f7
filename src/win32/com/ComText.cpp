#include "win32/com/ComText.h"

#include <new>

namespace hourmark::win32::com {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
    return wide;
}

std::string Narrow(const wchar_t* text, std::size_t length) {
    if (text == nullptr || length == 0) {
        return {};
    }
    const int size = static_cast<int>(length);
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string Narrow(const std::wstring& text) {
    return Narrow(text.data(), text.size());
}

std::string FromBstr(BSTR text) {
    return Narrow(text, text ? SysStringLen(text) : 0);
}

BSTR ToBstr(const std::string& utf8) {
    const std::wstring wide = Widen(utf8);
    BSTR b = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (b == nullptr) {
        throw std::bad_alloc();
    }
    return b;
}

}  // namespace hourmark::win32::com
