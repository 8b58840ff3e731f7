// Text crosses into Windows here: the core's UTF-8 becomes UTF-16 for the window and file APIs,
// and the system's 8-bit code page for the bytes in the station's text files.
#pragma once

#include <string>

namespace hourmark::win32 {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
std::string Utf8FromWide(const wchar_t* text);
// Characters the code page cannot hold become its default character.
std::string AnsiFromUtf8(const std::string& text);
std::string Utf8FromAnsi(const std::string& bytes);
// Upper case as the code page has it: a letter goes up only where the code page holds both it
// and its capital; any other character stays as typed rather than becoming a stand-in.
std::string UpperCaseIn(unsigned codePage, const std::string& text);

}  // namespace hourmark::win32
