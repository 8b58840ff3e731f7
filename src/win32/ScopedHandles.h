// Windows handles that free themselves, the way ComPtr holds a COM reference: a holder frees its
// handle on every way out of its scope, also when a loop that runs the station's handlers inside
// it is left early.
#pragma once

#include <memory>
#include <type_traits>

#include "win32/WinApi.h"

namespace hourmark::win32 {

struct KernelHandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

// A kernel object whose maker fails with NULL (a waitable timer, a mutex, a process): CloseHandle.
// Not a file: CreateFile fails with INVALID_HANDLE_VALUE, which this would hold and close.
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;
// A GDI object: DeleteObject.
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
// An icon loaded with LoadImage (not a shared one): DestroyIcon.
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

}  // namespace hourmark::win32
