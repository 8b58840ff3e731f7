#include "win32/Text.h"

#include "win32/WinApi.h"

#include <cwchar>

namespace hourmark::win32 {

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, const wchar_t* text, std::size_t length) {
    if (length == 0) {
        return {};
    }
    const int n = WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), out.data(), n, nullptr,
                        nullptr);
    return out;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& text) {
    return ToWide(CP_UTF8, text);
}

std::string Utf8FromWide(const std::wstring& text) {
    return FromWide(CP_UTF8, text.data(), text.size());
}

std::string Utf8FromWide(const wchar_t* text) {
    return text ? FromWide(CP_UTF8, text, std::wcslen(text)) : std::string();
}

std::string AnsiFromUtf8(const std::string& text) {
    const std::wstring wide = ToWide(CP_UTF8, text);
    return FromWide(CP_ACP, wide.data(), wide.size());
}

std::string Utf8FromAnsi(const std::string& bytes) {
    const std::wstring wide = ToWide(CP_ACP, bytes);
    return FromWide(CP_UTF8, wide.data(), wide.size());
}

}  // namespace hourmark::win32
