#include "win32/com/ComText.h"

#include <new>

#include "win32/Text.h"

namespace hourmark::win32::com {

std::wstring Widen(const std::string& utf8) {
    return WideFromUtf8(utf8);
}

std::string Narrow(const wchar_t* text, std::size_t length) {
    return text == nullptr ? std::string() : Utf8FromWide(std::wstring(text, length));
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
