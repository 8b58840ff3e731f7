// UTF-8 inside the simulator, UTF-16 and BSTR at its edges.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

namespace nodesim {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const wchar_t* text, std::size_t length);
std::string Narrow(const std::wstring& text);
std::string FromBstr(BSTR text);
BSTR ToBstr(const std::string& utf8);
std::string GuidText(const GUID& guid);

}  // namespace nodesim
