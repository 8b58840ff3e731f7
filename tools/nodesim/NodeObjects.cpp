#include "NodeObjects.h"

#include <olectl.h>

#include <memory>

#include "ComObject.h"
#include "Command.h"
#include "EventSource.h"
#include "NodeSimIdl.h"
#include "Text.h"
#include "WaveFile.h"

namespace nodesim {

namespace {

VARIANT_BOOL Vb(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

Simulator& Sim() {
    return Simulator::Instance();
}

class SetupConfigObject final : public DispatchObject<INodeSetupConfig> {
public:
    SetupConfigObject() : DispatchObject(IID_INodeSetupConfig) {}

    STDMETHODIMP get_Callsign(BSTR* callsign) override {
        if (callsign == nullptr) {
            return E_POINTER;
        }
        *callsign = nullptr;
        return Sim().Serve(
            TraceKind::Get, "SetupConfig.Callsign", {},
            [&] { *callsign = ToBstr(Sim().node().callsign); }, iid());
    }
    STDMETHODIMP get_RecordMode(LONG* mode) override {
        if (mode == nullptr) {
            return E_POINTER;
        }
        return Sim().Serve(
            TraceKind::Get, "SetupConfig.RecordMode", {}, [&] { *mode = Sim().node().recordMode; },
            iid());
    }
    STDMETHODIMP put_RecordMode(LONG mode) override {
        return Sim().Serve(
            TraceKind::Put, "SetupConfig.RecordMode", {TraceArg::Number(mode)},
            [&] { Sim().node().recordMode = mode; }, iid());
    }
};

class SysopConfigObject final : public DispatchObject<INodeSysopConfig> {
public:
    SysopConfigObject() : DispatchObject(IID_INodeSysopConfig) {}

    STDMETHODIMP get_KeyingLine(LONG* line) override {
        if (line == nullptr) {
            return E_POINTER;
        }
        return Sim().Serve(
            TraceKind::Get, "SysopConfig.KeyingLine", {}, [&] { *line = Sim().node().keyingLine; },
            iid());
    }
};

// The text inside a VARIANT, if it holds one (also by reference).
const BSTR* TextIn(const VARIANT& v) {
    if (V_VT(&v) == VT_BSTR) {
        return &V_BSTR(&v);
    }
    if (V_VT(&v) == (VT_BSTR | VT_BYREF) && V_BSTRREF(&v) != nullptr) {
        return V_BSTRREF(&v);
    }
    return nullptr;
}

class NodeObject final : public DispatchObject<INode>,
                         public IConnectionPointContainer,
                         public IProvideClassInfo2 {
public:
    NodeObject() : DispatchObject(IID_INode), events_(*this, DIID_DNodeEvents) {}

    // The bases' IUnknown all land here.
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        return DispatchObject::QueryInterface(riid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }

    // ---- INode
    STDMETHODIMP Connect(BSTR callsign, LONG mode) override {
        const std::string call = FromBstr(callsign);
        return Sim().Serve(
            TraceKind::Call, "Connect", {TraceArg::Text(call), TraceArg::Number(mode)},
            [&] { Sim().node().RequestConnect(call, Sim().Now()); }, iid());
    }
    STDMETHODIMP Disconnect(BSTR callsign) override {
        const std::string call = FromBstr(callsign);
        return Sim().Serve(
            TraceKind::Call, "Disconnect", {TraceArg::Text(call)},
            [&] {
                if (Sim().node().Drop(call)) {
                    Sim().RaiseLater("Disconnected", {call});
                }
            },
            iid());
    }
    STDMETHODIMP IsConnectedTo(BSTR callsign, VARIANT_BOOL* linked) override {
        if (linked == nullptr) {
            return E_POINTER;
        }
        const std::string call = FromBstr(callsign);
        return Sim().Serve(
            TraceKind::Call, "IsConnectedTo", {TraceArg::Text(call)},
            [&] { *linked = Vb(Sim().node().IsLinked(call)); }, iid());
    }
    STDMETHODIMP IsTransmitting(VARIANT_BOOL* on) override {
        if (on == nullptr) {
            return E_POINTER;
        }
        return Sim().Serve(
            TraceKind::Call, "IsTransmitting", {},
            [&] { *on = Vb(Sim().node().IsTransmitting(Sim().Now())); }, iid());
    }
    STDMETHODIMP IsBusyA(VARIANT_BOOL* on) override {
        if (on == nullptr) {
            return E_POINTER;
        }
        return Sim().Serve(
            TraceKind::Call, "IsBusyA", {}, [&] { *on = Vb(Sim().node().busyA); }, iid());
    }
    STDMETHODIMP IsBusyB(VARIANT_BOOL* on) override {
        if (on == nullptr) {
            return E_POINTER;
        }
        return Sim().Serve(
            TraceKind::Call, "IsBusyB", {}, [&] { *on = Vb(Sim().node().busyB); }, iid());
    }
    STDMETHODIMP PlayWaveFile(BSTR path, VARIANT_BOOL flag) override {
        const std::string shown = FromBstr(path);
        const std::wstring wide = path ? std::wstring(path, SysStringLen(path)) : std::wstring();
        return Sim().Serve(
            TraceKind::Call, "PlayWaveFile", {TraceArg::Text(shown), TraceArg::Bool(flag)},
            [&] {
                const std::uint64_t ms = WaveFileDurationMs(wide, shown);
                Sim().node().Transmit("WAV " + shown, ms, Sim().Now());
            },
            iid());
    }
    STDMETHODIMP SetTransmit(VARIANT_BOOL on) override {
        return Sim().Serve(
            TraceKind::Call, "SetTransmit", {TraceArg::Bool(on)},
            [&] { Sim().node().keyed = on != VARIANT_FALSE; }, iid());
    }
    STDMETHODIMP SpeakText(BSTR text) override {
        const std::string said = FromBstr(text);
        return Sim().Serve(
            TraceKind::Call, "SpeakText", {TraceArg::Text(said)},
            [&] { Sim().node().Transmit("speech: " + said, Node::SpeechMs(said), Sim().Now()); },
            iid());
    }
    STDMETHODIMP SpeakPhrase(SHORT code) override {
        return Sim().Serve(
            TraceKind::Call, "SpeakPhrase", {TraceArg::Number(code)},
            [&] {
                Sim().node().Transmit("phrase " + std::to_string(code), Node::kPhraseMs,
                                      Sim().Now());
            },
            iid());
    }
    STDMETHODIMP StartRecording(VARIANT path) override {
        const BSTR* text = TextIn(path);
        const std::string kind = "a variant of type " + std::to_string(V_VT(&path));
        const std::string shown = text ? FromBstr(*text) : "(" + kind + ")";
        return Sim().Serve(
            TraceKind::Call, "StartRecording",
            {text ? TraceArg::Text(shown) : TraceArg::Raw(shown)},
            [&] {
                if (text == nullptr) {
                    throw Refusal("the recording path must be a text, not " + kind);
                }
                Sim().node().recordingTo = shown;
            },
            iid());
    }
    STDMETHODIMP StopRecording() override {
        return Sim().Serve(
            TraceKind::Call, "StopRecording", {}, [&] { Sim().node().recordingTo.reset(); }, iid());
    }
    STDMETHODIMP SetRts(VARIANT_BOOL on) override {
        return Sim().Serve(
            TraceKind::Call, "SetRts", {TraceArg::Bool(on)},
            [&] { Sim().node().rts = on != VARIANT_FALSE; }, iid());
    }
    STDMETHODIMP SetDtr(VARIANT_BOOL on) override {
        return Sim().Serve(
            TraceKind::Call, "SetDtr", {TraceArg::Bool(on)},
            [&] { Sim().node().dtr = on != VARIANT_FALSE; }, iid());
    }
    STDMETHODIMP get_NodeListXml(BSTR* xml) override {
        if (xml == nullptr) {
            return E_POINTER;
        }
        *xml = nullptr;
        return Sim().Serve(
            TraceKind::Get, "NodeListXml", {}, [&] { *xml = ToBstr(Sim().node().nodeListXml); },
            iid());
    }
    STDMETHODIMP get_SetupConfig(IDispatch** config) override {
        if (config == nullptr) {
            return E_POINTER;
        }
        *config = nullptr;
        return Sim().Serve(
            TraceKind::Get, "SetupConfig", {},
            [&] {
                *config = static_cast<IDispatch*>(
                    static_cast<INodeSetupConfig*>(new SetupConfigObject()));
            },
            iid());
    }
    STDMETHODIMP get_SysopConfig(IDispatch** config) override {
        if (config == nullptr) {
            return E_POINTER;
        }
        *config = nullptr;
        return Sim().Serve(
            TraceKind::Get, "SysopConfig", {},
            [&] {
                *config = static_cast<IDispatch*>(
                    static_cast<INodeSysopConfig*>(new SysopConfigObject()));
            },
            iid());
    }

    // ---- IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override {
        if (points == nullptr) {
            return E_POINTER;
        }
        *points = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (point == nullptr) {
            return E_POINTER;
        }
        *point = nullptr;
        if (riid != DIID_DNodeEvents) {
            return CONNECT_E_NOCONNECTION;
        }
        events_.AddRef();
        *point = &events_;
        return S_OK;
    }

    // ---- IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
        if (info == nullptr) {
            return E_POINTER;
        }
        *info = Sim().TypeInfo(CLSID_Node);
        if (*info == nullptr) {
            return E_UNEXPECTED;
        }
        (*info)->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
        if (guid == nullptr) {
            return E_POINTER;
        }
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
            *guid = GUID_NULL;
            return E_INVALIDARG;
        }
        *guid = DIID_DNodeEvents;
        return S_OK;
    }

protected:
    void* QueryMore(REFIID riid) override {
        if (riid == IID_IConnectionPointContainer) {
            return static_cast<IConnectionPointContainer*>(this);
        }
        if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) {
            return static_cast<IProvideClassInfo2*>(this);
        }
        return nullptr;
    }

private:
    EventSource events_;
};

class ControlObject final : public DispatchObject<INodeSimControl> {
public:
    ControlObject() : DispatchObject(IID_INodeSimControl) {}

    STDMETHODIMP Command(SAFEARRAY* words, BSTR* answer) override {
        if (answer == nullptr) {
            return E_POINTER;
        }
        *answer = nullptr;
        std::vector<std::string> list;
        if (words != nullptr) {
            LONG low = 0;
            LONG high = -1;
            SafeArrayGetLBound(words, 1, &low);
            SafeArrayGetUBound(words, 1, &high);
            for (LONG i = low; i <= high; ++i) {
                BSTR word = nullptr;
                if (SUCCEEDED(SafeArrayGetElement(words, &i, &word))) {
                    list.push_back(FromBstr(word));
                    SysFreeString(word);
                }
            }
        }
        try {
            *answer = ToBstr(Sim().Command(list));
            return S_OK;
        } catch (const CommandError& e) {
            return Failed(e.what(), iid());
        }
    }
    STDMETHODIMP get_ProcessId(LONG* pid) override {
        if (pid == nullptr) {
            return E_POINTER;
        }
        *pid = static_cast<LONG>(GetCurrentProcessId());
        return S_OK;
    }
};

}  // namespace

IUnknown* NewNodeObject() {
    return static_cast<INode*>(new NodeObject());
}
IUnknown* NewSetupConfigObject() {
    return static_cast<INodeSetupConfig*>(new SetupConfigObject());
}
IUnknown* NewControlObject() {
    return static_cast<INodeSimControl*>(new ControlObject());
}

}  // namespace nodesim
