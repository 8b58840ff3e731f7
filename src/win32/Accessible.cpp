#include "win32/Accessible.h"

#include <oleacc.h>

#include <atomic>

#include "win32/Subclass.h"

namespace hourmark::win32 {

namespace {

// Sent to the control by its object at each reading, with a Reading to fill; a control that is
// gone answers 0 and Windows' own answer stands.
UINT ReadMessage() {
    static const UINT message = RegisterWindowMessageW(L"HourMark.Read");
    return message;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// Windows' object for the control, with what the control's owner says in front of it. Items
// inside the control (a list's lines) stay Windows' own.
class ControlObject final : public IAccessible, public IOleWindow {
public:
    ControlObject(HWND control, IAccessible* standard) : control_(control), standard_(standard) {}
    ControlObject(const ControlObject&) = delete;
    ControlObject& operator=(const ControlObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
            riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
        } else if (riid == __uuidof(IOleWindow)) {
            // WindowFromAccessibleObject asks for it.
            *out = static_cast<IOleWindow*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = control_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: readers call the methods themselves; late-bound callers get Windows' object.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* error,
                                     UINT* argError) override {
        return standard_->Invoke(id, riid, lcid, flags, params, result, error, argError);
    }

    // IAccessible: what the owner says, else Windows' own.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        Reading r;
        if (name != nullptr && IsSelf(child) && Read(r) && !r.name.empty()) {
            *name = SysAllocString(r.name.c_str());
            return *name != nullptr ? S_OK : E_OUTOFMEMORY;
        }
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        Reading r;
        if (value != nullptr && IsSelf(child) && Read(r) && !r.value.empty()) {
            *value = SysAllocString(r.value.c_str());
            return *value != nullptr ? S_OK : E_OUTOFMEMORY;
        }
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        Reading r;
        if (role != nullptr && IsSelf(child) && Read(r) && r.role != 0) {
            VariantInit(role);
            role->vt = VT_I4;
            role->lVal = r.role;
            return S_OK;
        }
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT hr = standard_->get_accState(child, state);
        Reading r;
        if (SUCCEEDED(hr) && state != nullptr && state->vt == VT_I4 && IsSelf(child) && Read(r)) {
            state->lVal |= r.state;
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h,
                                          VARIANT child) override {
        return standard_->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~ControlObject() { standard_->Release(); }

    bool Read(Reading& r) const {
        return IsWindow(control_) &&
               SendMessageW(control_, ReadMessage(), 0, reinterpret_cast<LPARAM>(&r)) != 0;
    }

    HWND control_;
    IAccessible* standard_;
    std::atomic<ULONG> references_{1};
};

LRESULT CALLBACK SpeakingProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR speaker) {
    if (const auto answer =
            AnswerReader(control, msg, wParam, lParam, *reinterpret_cast<Speaker*>(speaker), id)) {
        return *answer;
    }
    return DefSubclassProc(control, msg, wParam, lParam);
}

void Tell(DWORD event, HWND control) {
    NotifyWinEvent(event, control, OBJID_CLIENT, CHILDID_SELF);
}

// oleacc is not one of the libraries Windows always takes from System32, so the program does not
// import it (a planted copy beside the program would be loaded): it is loaded from System32 by
// name when a reader first asks.
struct Oleacc {
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) resultFromObject = nullptr;
};

const Oleacc& OleaccFromSystem() {
    static const Oleacc oleacc = [] {
        Oleacc o;
        if (HMODULE module = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            o.createStandard = reinterpret_cast<decltype(o.createStandard)>(
                reinterpret_cast<void*>(GetProcAddress(module, "CreateStdAccessibleObject")));
            o.resultFromObject = reinterpret_cast<decltype(o.resultFromObject)>(
                reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
        }
        return o;
    }();
    return oleacc;
}

}  // namespace

std::optional<LRESULT> AnswerReader(HWND control, UINT msg, WPARAM wParam, LPARAM lParam,
                                    Speaker& speaker, UINT_PTR id) {
    if (msg == ReadMessage()) {
        speaker.Read(id, control, *reinterpret_cast<Reading*>(lParam));
        return 1;
    }
    // lParam is a LONG object id, sign-extended or not in a 64-bit program.
    if (msg != WM_GETOBJECT || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) {
        return std::nullopt;
    }
    const Oleacc& oleacc = OleaccFromSystem();
    if (oleacc.createStandard == nullptr || oleacc.resultFromObject == nullptr) {
        return std::nullopt;
    }
    IAccessible* standard = nullptr;
    if (FAILED(oleacc.createStandard(control, OBJID_CLIENT, __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
        return std::nullopt;
    }
    auto* object = new ControlObject(control, standard);
    const LRESULT result =
        oleacc.resultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result;
}

bool SpeakThrough(HWND control, Speaker& speaker, UINT_PTR id) {
    return SetWindowSubclass(control, SpeakingProc, id, reinterpret_cast<DWORD_PTR>(&speaker)) !=
           FALSE;
}

void StopSpeaking(HWND control, UINT_PTR id) {
    RemoveWindowSubclass(control, SpeakingProc, id);
}

void TellNameChanged(HWND control) {
    Tell(EVENT_OBJECT_NAMECHANGE, control);
}

void TellValueChanged(HWND control) {
    Tell(EVENT_OBJECT_VALUECHANGE, control);
}

void TellStateChanged(HWND control) {
    Tell(EVENT_OBJECT_STATECHANGE, control);
}

void ReadCheckBox(HWND box, Reading& reading) {
    reading.role = ROLE_SYSTEM_CHECKBUTTON;
    switch (SendMessageW(box, BM_GETCHECK, 0, 0)) {
        case BST_CHECKED:
            reading.state |= STATE_SYSTEM_CHECKED;
            break;
        case BST_INDETERMINATE:
            reading.state |= STATE_SYSTEM_MIXED;
            break;
        default:
            break;
    }
}

}  // namespace hourmark::win32
