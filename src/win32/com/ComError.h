// Turns a failed COM call into the host's own words, the way an operator should read them.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace hourmark::win32::com {

// The system's message for the code and the code in hex, e.g.
// "Class not registered (0x80040154)".
std::string DescribeHresult(HRESULT hr);

// The host's text for a failed call: the EXCEPINFO description when the call raised one, else
// the thread's IErrorInfo description, else DescribeHresult. Clears both.
std::string DescribeFailure(HRESULT hr, EXCEPINFO* info);

// The code says the host's process or its objects no longer exist, not that the host refused.
bool MeansHostGone(HRESULT hr);

// Throws hourmark::HostError with DescribeFailure's text, prefixed with context when given;
// hourmark::HostGone when the code means the host is gone.
[[noreturn]] void ThrowHostError(HRESULT hr, EXCEPINFO* info = nullptr,
                                 const std::string& context = {});

}  // namespace hourmark::win32::com
