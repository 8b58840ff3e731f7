#include "win32/Subclass.h"

namespace hourmark::win32 {

namespace {

constexpr const wchar_t* kProperty = L"HourMark.Subclass";

struct Subclass {
    SubclassProc proc;
    UINT_PTR id;
    DWORD_PTR data;
    WNDPROC original;
};

Subclass* SubclassOf(HWND window) {
    return static_cast<Subclass*>(GetPropW(window, kProperty));
}

LRESULT CALLBACK Route(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Subclass* s = SubclassOf(window);
    if (s == nullptr) {
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        // The window goes: its own procedure has the last word, and the record goes with it.
        const WNDPROC original = s->original;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(window, kProperty);
        delete s;
        return CallWindowProcW(original, window, msg, wParam, lParam);
    }
    return s->proc(window, msg, wParam, lParam, s->id, s->data);
}

}  // namespace

BOOL SetWindowSubclass(HWND window, SubclassProc proc, UINT_PTR id, DWORD_PTR data) {
    if (Subclass* s = SubclassOf(window)) {
        if (s->proc != proc || s->id != id) {
            return FALSE;
        }
        s->data = data;
        return TRUE;
    }
    auto* s = new Subclass{proc, id, data, nullptr};
    if (!SetPropW(window, kProperty, s)) {
        delete s;
        return FALSE;
    }
    s->original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Route)));
    if (s->original == nullptr) {
        RemovePropW(window, kProperty);
        delete s;
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveWindowSubclass(HWND window, SubclassProc proc, UINT_PTR id) {
    Subclass* s = SubclassOf(window);
    if (s == nullptr || s->proc != proc || s->id != id) {
        return FALSE;
    }
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s->original));
    RemovePropW(window, kProperty);
    delete s;
    return TRUE;
}

LRESULT DefSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Subclass* s = SubclassOf(window);
    return s != nullptr ? CallWindowProcW(s->original, window, msg, wParam, lParam)
                        : DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace hourmark::win32
