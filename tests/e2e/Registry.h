// Small registry helpers for the tests that stage registrations in the test prefix.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

void SetDefault(HKEY root, const std::wstring& key, const std::wstring& value);
// view: 0 for this program's own view of the registry, else KEY_WOW64_32KEY or KEY_WOW64_64KEY.
std::optional<std::wstring> GetDefault(HKEY root, const std::wstring& key, REGSAM view = 0);
// The registry view a program of that file's bitness registers in.
REGSAM ViewOfProgram(const std::wstring& path);
void DeleteKey(HKEY root, const std::wstring& key);
std::wstring GuidString(const GUID& guid);

}  // namespace e2e
