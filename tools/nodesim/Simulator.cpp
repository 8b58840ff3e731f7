#include "Simulator.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>

#include "ClassFactory.h"
#include "Command.h"
#include "EventSource.h"
#include "NodeObjects.h"
#include "NodeSimIdl.h"
#include "Text.h"

namespace nodesim {

namespace {

// The trace's name of an event raised by its id alone ("raise ID"), then the id.
constexpr const char* kRaisedById = "#";

constexpr HRESULT kRefused = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0301);

// A sink whose client process has gone: the call can never succeed again.
bool ClientGone(HRESULT hr) {
    switch (static_cast<unsigned long>(hr)) {
        case 0x800706BAUL:  // RPC server unavailable
        case 0x800706BEUL:  // remote procedure call failed
        case 0x80010108UL:  // object disconnected
        case 0x80010007UL:  // server died
        case 0x80010012UL:  // server died, did not execute
        case 0x800401FDUL:  // object not connected
            return true;
        default:
            return false;
    }
}

std::wstring Clock() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    wchar_t text[16];
    swprintf(text, 16, L"%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
    return text;
}

}  // namespace

HRESULT Failed(const std::string& text, const IID& iid) {
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        const std::wstring wide = Widen(text);
        create->SetDescription(const_cast<LPOLESTR>(wide.c_str()));
        create->SetSource(const_cast<LPOLESTR>(L"NodeSim"));
        create->SetGUID(iid);
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return kRefused;
}

Simulator& Simulator::Instance() {
    static Simulator sim;
    return sim;
}

std::uint64_t Simulator::Now() const {
    return GetTickCount64();
}

ITypeInfo* Simulator::TypeInfo(const IID& iid) {
    const auto found = typeInfos_.find(iid);
    if (found != typeInfos_.end()) {
        return found->second.Get();
    }
    Microsoft::WRL::ComPtr<ITypeInfo> info;
    if (!library_ || FAILED(library_->GetTypeInfoOfGuid(iid, info.GetAddressOf()))) {
        return nullptr;
    }
    return typeInfos_.emplace(iid, info).first->second.Get();
}

void Simulator::WaitPumping(std::uint64_t ms) {
    const std::uint64_t until = Now() + ms;
    for (std::uint64_t now = Now(); now < until; now = Now()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

HRESULT Simulator::Serve(TraceKind kind, const std::string& member, std::vector<TraceArg> args,
                         const std::function<void()>& action, const IID& iid) {
    if (const std::uint64_t ms = node_.SlownessOf(member)) {
        WaitPumping(ms);
    }
    std::optional<std::string> failure = node_.FailureOf(member);
    if (!failure) {
        try {
            action();
        } catch (const Refusal& e) {
            failure = e.what();
        } catch (const std::exception& e) {
            failure = std::string("the simulator failed: ") + e.what();
        }
    }
    trace_.Append(TraceLine(TraceFile::Now(), kind, member, args, failure));
    Changed();
    return failure ? Failed(*failure, iid) : S_OK;
}

void Simulator::Raise(const std::string& event, const std::vector<std::string>& args) {
    std::vector<TraceArg> traced;
    for (const auto& a : args) {
        traced.push_back(TraceArg::Text(a));
    }
    trace_.Append(TraceLine(TraceFile::Now(), TraceKind::Event, event, traced));

    DISPID id = DISPID_UNKNOWN;
    if (event.rfind(kRaisedById, 0) == 0) {
        id = static_cast<DISPID>(std::stol(event.substr(std::strlen(kRaisedById))));
    } else if (const auto found = eventIds_.find(event); found != eventIds_.end()) {
        id = found->second;
    } else if (ITypeInfo* info = TypeInfo(DIID_DNodeEvents)) {
        const std::wstring name = Widen(event);
        LPOLESTR n = const_cast<LPOLESTR>(name.c_str());
        if (SUCCEEDED(info->GetIDsOfNames(&n, 1, &id))) {
            eventIds_.emplace(event, id);
        }
    }
    if (id == DISPID_UNKNOWN) {
        return;
    }
    // Sources and sinks may come and go while a client handles the event.
    std::vector<Microsoft::WRL::ComPtr<IConnectionPoint>> sources(sources_.begin(), sources_.end());
    for (const auto& point : sources) {
        auto* source = static_cast<EventSource*>(point.Get());
        for (const auto& [cookie, sink] : source->Sinks()) {
            if (!source->Has(cookie)) {
                continue;
            }
            // Arguments go last first; DTMFString passes its text by reference, as some hosts
            // do, so clients must read through references.
            std::vector<BSTR> texts;
            for (auto it = args.rbegin(); it != args.rend(); ++it) {
                texts.push_back(ToBstr(*it));
            }
            std::vector<VARIANT> values(texts.size());
            for (std::size_t i = 0; i < texts.size(); ++i) {
                VariantInit(&values[i]);
                if (event == "DTMFString") {
                    V_VT(&values[i]) = VT_BSTR | VT_BYREF;
                    V_BSTRREF(&values[i]) = &texts[i];
                } else {
                    V_VT(&values[i]) = VT_BSTR;
                    V_BSTR(&values[i]) = texts[i];
                }
            }
            DISPPARAMS params{values.empty() ? nullptr : values.data(), nullptr,
                              static_cast<UINT>(values.size()), 0};
            const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &params, nullptr, nullptr, nullptr);
            for (BSTR t : texts) {
                SysFreeString(t);
            }
            if (ClientGone(hr) && source->Has(cookie)) {
                source->Drop(cookie);
            }
        }
    }
    Changed();
}

void Simulator::RaiseLater(const std::string& event, std::vector<std::string> args) {
    later_.emplace_back(event, std::move(args));
    PostMessageW(window_.hwnd(), SimWindow::kPostedEvents, 0, 0);
}

void Simulator::OnPosted() {
    while (!later_.empty()) {
        auto [event, args] = std::move(later_.front());
        later_.pop_front();
        Raise(event, args);
    }
}

std::string Simulator::Command(const std::vector<std::string>& words) {
    CommandOutcome out = RunCommand(node_, words, Now());
    using Effect = CommandOutcome::Effect;
    switch (out.effect) {
        case Effect::None:
            break;
        case Effect::RaiseDtmf:
            Raise("DTMFString", out.eventArgs);
            break;
        case Effect::RaiseConnected:
            Raise("Connected", out.eventArgs);
            break;
        case Effect::RaiseDisconnected:
            Raise("Disconnected", out.eventArgs);
            break;
        case Effect::RaiseStationList:
            Raise("StationListReceived", {});
            break;
        case Effect::RaiseId:
            Raise(kRaisedById + out.eventArgs[0], {});
            break;
        case Effect::Close:
            Close();
            break;
        case Effect::ClearTrace:
            if (!trace_.Clear()) {
                throw CommandError("cannot empty " + Narrow(trace_.path()));
            }
            break;
    }
    Changed();
    return out.answer;
}

void Simulator::Close() {
    if (closing_) {
        return;
    }
    closing_ = true;
    Raise("Closing", {});
    PostMessageW(window_.hwnd(), SimWindow::kEnd, 0, 0);
}

void Simulator::Changed() {
    const std::uint64_t now = Now();
    HWND hwnd = window_.hwnd();
    if (hwnd == nullptr) {
        return;
    }
    if (const auto next = node_.NextChange(now)) {
        const std::uint64_t wait = *next > now ? *next - now : 0;
        SetTimer(hwnd, SimWindow::kClockTimer, static_cast<UINT>(std::max<std::uint64_t>(wait, 10)),
                 nullptr);
    } else {
        KillTimer(hwnd, SimWindow::kClockTimer);
    }
    std::size_t sinks = 0;
    for (auto* source : sources_) {
        sinks += source->Sinks().size();
    }
    std::string links;
    for (const auto& call : node_.linked()) {
        links += (links.empty() ? "" : ", ") + call;
    }
    std::string faults;
    for (const auto& [member, text] : node_.failures) {
        faults += (faults.empty() ? "" : ", ") + member;
    }
    std::string slow;
    for (const auto& [member, ms] : node_.slowMs) {
        slow += (slow.empty() ? "" : ", ") + member + " " + std::to_string(ms) + " ms";
    }
    auto yes = [](bool b) { return std::string(b ? "yes" : "no"); };
    std::string text = "Callsign " + node_.callsign + "    keying line " +
                       std::to_string(node_.keyingLine) + "    listeners " + std::to_string(sinks) +
                       "\n";
    text += "Transmitting " + yes(node_.IsTransmitting(now)) + "    busy A " + yes(node_.busyA) +
            "    busy B " + yes(node_.busyB) + "    lag " + std::to_string(node_.lagMs) + " ms\n";
    text += "RTS " + yes(node_.rts) + "    DTR " + yes(node_.dtr) + "    record mode " +
            std::to_string(node_.recordMode) +
            (node_.recordingTo ? "    recording " + *node_.recordingTo : std::string()) + "\n";
    text += "Linked: " + (links.empty() ? std::string("none") : links) + "\n";
    if (!faults.empty()) {
        text += "Failing: " + faults + "\n";
    }
    if (!slow.empty()) {
        text += "Slow: " + slow + "\n";
    }
    window_.ShowState(Widen("NodeSim - " + node_.callsign), Widen(text));
}

void Simulator::OnTimer() {
    KillTimer(window_.hwnd(), SimWindow::kClockTimer);
    for (const auto& happening : node_.Advance(Now())) {
        if (happening.kind == Happening::Kind::OnAir) {
            window_.AddOnAir(Clock() + L"   " + Widen(happening.text));
        } else {
            Raise("Connected", {happening.call, happening.name, happening.address});
        }
    }
    Changed();
}

void Simulator::OnEnd() {
    KillTimer(window_.hwnd(), SimWindow::kClockTimer);
}

int Simulator::Run() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, library_.GetAddressOf()))) {
        MessageBoxW(nullptr, L"The type library inside nodesim.exe cannot be loaded.", L"NodeSim",
                    MB_ICONERROR | MB_OK);
        return 1;
    }
    if (!window_.Create(GetModuleHandleW(nullptr))) {
        return 1;
    }
    ClassFactory control(&NewControlObject);
    ClassFactory setup(&NewSetupConfigObject);
    ClassFactory node(&NewNodeObject);
    const std::pair<const CLSID*, ClassFactory*> classes[] = {
        {&CLSID_NodeSimControl, &control},
        {&CLSID_NodeSetupConfig, &setup},
        {&CLSID_Node, &node},
    };
    std::vector<DWORD> cookies;
    for (const auto& [clsid, factory] : classes) {
        DWORD cookie = 0;
        if (SUCCEEDED(CoRegisterClassObject(*clsid, factory, CLSCTX_LOCAL_SERVER,
                                            REGCLS_MULTIPLEUSE, &cookie))) {
            cookies.push_back(cookie);
        }
    }
    HANDLE serving = CreateEventW(nullptr, TRUE, FALSE, kServingEvent);
    if (serving != nullptr) {
        SetEvent(serving);
    }
    Changed();
    window_.Show();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (serving != nullptr) {
        ResetEvent(serving);
        CloseHandle(serving);
    }
    for (const DWORD cookie : cookies) {
        CoRevokeClassObject(cookie);
    }
    return 0;
}

}  // namespace nodesim
