#include "win32/Subclass.h"

namespace hourmark::win32 {

namespace {

constexpr const wchar_t* kProperty = L"HourMark.Subclass";

struct Subclass {
    SubclassProc proc;  // null once removed while a later subclass still calls Route

    UINT_PTR id;
    DWORD_PTR data;
    WNDPROC original;
};

Subclass* SubclassOf(HWND window) {
    return static_cast<Subclass*>(GetPropW(window, kProperty));
}

LRESULT CALLBACK Route(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// comctl32's rule: the window's procedure is put back only while it is still Route. A subclass
// installed after ours calls Route as its original procedure; putting ours back would cut it off,
// so the record stays and Route goes on passing messages through.
void Unhook(HWND window, Subclass* s) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == Route) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s->original));
        RemovePropW(window, kProperty);
        delete s;
    } else {
        s->proc = nullptr;
    }
}

LRESULT CALLBACK Route(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Subclass* s = SubclassOf(window);
    if (s == nullptr) {
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        // The window goes: its own procedure has the last word, and the record goes with it.
        const WNDPROC original = s->original;
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == Route) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        }
        RemovePropW(window, kProperty);
        delete s;
        return CallWindowProcW(original, window, msg, wParam, lParam);
    }
    if (s->proc == nullptr) {
        return CallWindowProcW(s->original, window, msg, wParam, lParam);
    }
    return s->proc(window, msg, wParam, lParam, s->id, s->data);
}

}  // namespace

BOOL SetWindowSubclass(HWND window, SubclassProc proc, UINT_PTR id, DWORD_PTR data) {
    if (Subclass* s = SubclassOf(window)) {
        if (s->proc == nullptr) {
            // Removed while a later subclass kept Route in the chain: take its place again.
            s->proc = proc;
            s->id = id;
        } else if (s->proc != proc || s->id != id) {
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
    if (s == nullptr || s->proc == nullptr || s->proc != proc || s->id != id) {
        return FALSE;
    }
    Unhook(window, s);
    return TRUE;
}

LRESULT DefSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Subclass* s = SubclassOf(window);
    return s != nullptr ? CallWindowProcW(s->original, window, msg, wParam, lParam)
                        : DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace hourmark::win32
