#include "Output.h"

#include <windows.h>

#include "Text.h"

namespace nodesim {

namespace {

HANDLE Stream(DWORD which) {
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) {
        static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
        h = attached ? GetStdHandle(which) : nullptr;
    }
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

void Write(DWORD which, const std::string& utf8) {
    HANDLE h = Stream(which);
    if (h == nullptr) {
        return;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(h, &mode)) {
        const std::wstring wide = Widen(utf8);
        WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

}  // namespace

void WriteOut(const std::string& utf8) {
    Write(STD_OUTPUT_HANDLE, utf8);
}
void WriteErr(const std::string& utf8) {
    Write(STD_ERROR_HANDLE, utf8);
}

}  // namespace nodesim
