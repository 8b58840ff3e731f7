#include "win32/Text.h"

#include "win32/WinApi.h"

#include <algorithm>
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

// Whether the code page holds these UTF-16 units: they go into it and come back unchanged. A
// round trip rather than WC_NO_BEST_FIT_CHARS and the used-default flag, which UTF-8 (code page
// 65001, Windows' "Use Unicode UTF-8" option) refuses.
bool Holds(UINT codePage, const wchar_t* units, int count) {
    char bytes[16];
    const int n =
        WideCharToMultiByte(codePage, 0, units, count, bytes, sizeof bytes, nullptr, nullptr);
    if (n <= 0) {
        return false;
    }
    wchar_t back[4];
    return MultiByteToWideChar(codePage, 0, bytes, n, back, 4) == count &&
           std::equal(units, units + count, back);
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

std::string UpperCaseIn(unsigned codePage, const std::string& text) {
    std::wstring wide = WideFromUtf8(text);
    for (std::size_t i = 0; i < wide.size();) {
        // A character beyond the first 65536 is two units, and goes into a code page whole.
        const int count =
            IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]) ? 2
                                                                                               : 1;
        wchar_t* const at = wide.data() + i;
        wchar_t upper[2] = {at[0], count == 2 ? at[1] : L'\0'};
        CharUpperBuffW(upper, static_cast<DWORD>(count));
        if (!std::equal(upper, upper + count, at) && Holds(codePage, at, count) &&
            Holds(codePage, upper, count)) {
            std::copy(upper, upper + count, at);
        }
        i += static_cast<std::size_t>(count);
    }
    return Utf8FromWide(wide);
}

}  // namespace hourmark::win32
