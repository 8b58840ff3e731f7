#include "win32/com/ComHost.h"

#include <ocidl.h>

#include "win32/com/ComError.h"
#include "win32/com/EventSink.h"
#include "win32/com/HostProcess.h"
#include "win32/com/LateBound.h"
#include "win32/com/MainObjectClass.h"

namespace hourmark::win32 {

namespace {

using com::LateBound;
using com::Variant;
using Microsoft::WRL::ComPtr;

constexpr const wchar_t* kSetupConfigProgId = L"EchoLink.SetupConfig";

class ComSetupConfig final : public SetupConfig {
public:
    explicit ComSetupConfig(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    std::string Callsign() override { return com::AsText(object_.Call(L"Callsign")); }
    void SetRecordMode(std::int32_t mode) override {
        object_.Put(L"RecordMode", Variant::Int32(mode));
    }

private:
    LateBound object_;
};

class ComSysopConfig final : public SysopConfig {
public:
    explicit ComSysopConfig(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    std::int32_t KeyingLine() override { return com::AsInt32(object_.Call(L"KeyingLine")); }

private:
    LateBound object_;
};

template <typename... T>
std::vector<Variant> Args(T&&... values) {
    std::vector<Variant> args;
    (args.push_back(std::forward<T>(values)), ...);
    return args;
}

class ComHostApp final : public HostApp {
public:
    ComHostApp(ComPtr<IDispatch> object, ComPtr<IConnectionPoint> point, DWORD cookie,
               ComPtr<com::EventSink> sink)
        : object_(std::move(object)),
          point_(std::move(point)),
          cookie_(cookie),
          sink_(std::move(sink)) {}

    ~ComHostApp() override {
        // A host that has gone away cannot be told; the detached sink drops whatever still
        // arrives.
        sink_->Detach();
        point_->Unadvise(cookie_);
        // A host that died never releases the receiver it held: its stub goes here, and with it
        // the receiver, or every outage would keep one.
        CoDisconnectObject(static_cast<IDispatch*>(sink_.Get()), 0);
    }

    void Connect(const std::string& callsign, std::int32_t mode) override {
        object_.Do(L"Connect", Args(Variant::Text(callsign), Variant::Int32(mode)));
    }
    void Disconnect(const std::string& callsign) override {
        object_.Do(L"Disconnect", Args(Variant::Text(callsign)));
    }
    bool IsConnectedTo(const std::string& callsign) override {
        return com::AsBool(object_.Call(L"IsConnectedTo", Args(Variant::Text(callsign))));
    }
    bool IsTransmitting() override { return com::AsBool(object_.Call(L"IsTransmitting")); }
    bool IsBusyA() override { return com::AsBool(object_.Call(L"IsBusyA")); }
    bool IsBusyB() override { return com::AsBool(object_.Call(L"IsBusyB")); }
    void PlayWaveFile(const std::string& path, bool flag) override {
        object_.Do(L"PlayWaveFile", Args(Variant::Text(path), Variant::Bool(flag)));
    }
    void SetTransmit(bool on) override { object_.Do(L"SetTransmit", Args(Variant::Bool(on))); }
    void SpeakText(const std::string& text) override {
        object_.Do(L"SpeakText", Args(Variant::Text(text)));
    }
    void SpeakPhrase(std::int16_t code) override {
        object_.Do(L"SpeakPhrase", Args(Variant::Int16(code)));
    }
    void StartRecording(const std::string& path) override {
        object_.Do(L"StartRecording", Args(Variant::Text(path)));
    }
    void StopRecording() override { object_.Do(L"StopRecording"); }
    void SetRts(bool on) override { object_.Do(L"SetRts", Args(Variant::Bool(on))); }
    void SetDtr(bool on) override { object_.Do(L"SetDtr", Args(Variant::Bool(on))); }
    std::string NodeListXml() override { return com::AsText(object_.Call(L"NodeListXml")); }
    std::shared_ptr<SetupConfig> GetSetupConfig() override {
        return std::make_shared<ComSetupConfig>(com::AsObject(object_.Call(L"SetupConfig")));
    }
    std::shared_ptr<SysopConfig> GetSysopConfig() override {
        return std::make_shared<ComSysopConfig>(com::AsObject(object_.Call(L"SysopConfig")));
    }

private:
    LateBound object_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_;
    ComPtr<com::EventSink> sink_;
};

class ComHostFactory final : public HostFactory {
public:
    explicit ComHostFactory(HostEventTarget& events) : events_(events) {}

    std::shared_ptr<HostApp> CreateMainObject() override {
        com::MainObjectClass mainClass = com::FindMainObjectClass(kSetupConfigProgId);
        ComPtr<IDispatch> object;
        HRESULT hr =
            CoCreateInstance(mainClass.clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&object));
        if (FAILED(hr)) {
            com::ThrowHostError(hr);
        }
        // The running host's own class information over the registered library, which an
        // older or newer install may have left with other ids.
        com::TakeEventsFromObject(object.Get(), mainClass);
        // A station that misses an event misses it without a word (a link never logged, a
        // touch-tone command never obeyed, the host's closing never seen), so start-up refuses.
        if (!mainClass.ids.missing.empty()) {
            throw HostEventsUnavailable("EchoLink's events " +
                                        com::JoinNames(mainClass.ids.missing) +
                                        " cannot be received: its type information does not "
                                        "declare them");
        }
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        hr = object.As(&container);
        if (SUCCEEDED(hr)) {
            hr = container->FindConnectionPoint(mainClass.eventsIid, point.GetAddressOf());
        }
        ComPtr<com::EventSink> sink;
        sink.Attach(new com::EventSink(events_, mainClass.events.Get(), mainClass.eventsIid,
                                       std::move(mainClass.ids)));
        DWORD cookie = 0;
        if (SUCCEEDED(hr)) {
            hr = point->Advise(sink.Get(), &cookie);
        }
        if (FAILED(hr)) {
            sink->Detach();
            // An EchoLink that died between its creation and the advice is gone, not deaf.
            if (com::MeansHostGone(hr)) {
                com::ThrowHostError(hr);
            }
            throw HostEventsUnavailable("EchoLink's events cannot be received: " +
                                        com::DescribeFailure(hr, nullptr));
        }
        return std::make_shared<ComHostApp>(std::move(object), std::move(point), cookie,
                                            std::move(sink));
    }

    std::shared_ptr<SetupConfig> CreateSetupConfig() override {
        CLSID clsid{};
        HRESULT hr = CLSIDFromProgID(kSetupConfigProgId, &clsid);
        if (FAILED(hr)) {
            com::ThrowHostError(hr, nullptr, "EchoLink.SetupConfig is not registered");
        }
        ComPtr<IDispatch> object;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&object));
        if (FAILED(hr)) {
            com::ThrowHostError(hr);
        }
        return std::make_shared<ComSetupConfig>(std::move(object));
    }

    bool HostRunning() override {
        return com::ProgramRunning(com::RegisteredServerFileName(kSetupConfigProgId));
    }

private:
    HostEventTarget& events_;
};

}  // namespace

std::unique_ptr<HostFactory> MakeComHostFactory(HostEventTarget& events) {
    return std::make_unique<ComHostFactory>(events);
}

}  // namespace hourmark::win32
