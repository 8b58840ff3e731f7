// Text crosses to the host as BSTR (UTF-16); the core keeps UTF-8.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

namespace hourmark::win32::com {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const wchar_t* text, std::size_t length);
std::string Narrow(const std::wstring& text);
// A null BSTR is the empty text.
std::string FromBstr(BSTR text);
// The caller owns the result (SysFreeString); throws std::bad_alloc when out of memory.
BSTR ToBstr(const std::string& utf8);

}  // namespace hourmark::win32::com
