// Whether the host's program is running, found without starting it: creating any of its objects
// would start a registered host that is not running.
#pragma once

#include <string>

namespace hourmark::win32::com {

// The file name of the program registered as the ProgID's local server ("EchoLink.exe"), or ""
// when the registration does not name one.
std::wstring RegisteredServerFileName(const wchar_t* progId);

// True while a process of that file name runs in this session, or when the name is "" (nothing
// to tell by).
bool ProgramRunning(const std::wstring& fileName);

}  // namespace hourmark::win32::com
