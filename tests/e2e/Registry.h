// Small registry helpers for the tests that stage registrations in the test prefix.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

void SetDefault(HKEY root, const std::wstring& key, const std::wstring& value);
std::optional<std::wstring> GetDefault(HKEY root, const std::wstring& key);
void DeleteKey(HKEY root, const std::wstring& key);
std::wstring GuidString(const GUID& guid);

}  // namespace e2e
