#include "host/HostLink.h"

#include "console/Dispatcher.h"
#include "console/ErrorBoundary.h"

namespace hourmark {

template <typename F>
auto HostLink::Call(const char* operation, F&& f) -> decltype(f()) {
    if (gone_) {
        throw HostFailure(operation, "EchoLink is not running", HostFailure::Cause::Gone);
    }
    return Reach(operation, std::forward<F>(f));
}

template <typename F>
auto HostLink::Reach(const char* operation, F&& f) -> decltype(f()) {
    PendingHostCall pending(dispatcher_);
    try {
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
            boundary_.Succeeded(operation);
        } else {
            auto result = f();
            boundary_.Succeeded(operation);
            return result;
        }
    } catch (const HostEventsUnavailable& e) {
        throw HostFailure(operation, e.what(), HostFailure::Cause::Events);
    } catch (const HostGone& e) {
        HostFailure failure(operation, e.what(), HostFailure::Cause::Gone);
        Forget();
        if (onGone_) {
            onGone_(failure);
        }
        throw failure;
    } catch (const HostError& e) {
        throw HostFailure(operation, e.what());
    }
}

namespace {

// Each call holds its own reference to the object it calls: a close from inside the call's
// wait may drop the program's references, and the object must outlive the call on the stack.
std::shared_ptr<HostApp> Need(const std::shared_ptr<HostApp>& p) {
    if (!p) {
        throw HostError("EchoLink's main object is not available");
    }
    return p;
}

template <typename T>
std::shared_ptr<T> NeedObject(const std::shared_ptr<T>& p) {
    if (!p) {
        throw HostError("EchoLink returned no object");
    }
    return p;
}

}  // namespace

std::shared_ptr<HostApp> HostLink::NewMainObject(HostFactory& factory) {
    auto elo = Reach("CreateObject HostApp", [&] { return factory.CreateMainObject(); });
    if (!elo) {
        throw HostFailure("CreateObject HostApp", "EchoLink returned no object");
    }
    return elo;
}

std::shared_ptr<SetupConfig> HostLink::NewSetupConfig(HostFactory& factory) {
    auto config =
        Reach("CreateObject EchoLink.SetupConfig", [&] { return factory.CreateSetupConfig(); });
    if (!config) {
        throw HostFailure("CreateObject EchoLink.SetupConfig", "EchoLink returned no object");
    }
    return config;
}

void HostLink::CreateMainObject(HostFactory& factory) {
    elo_ = NewMainObject(factory);
}

void HostLink::CreateSetupConfig(HostFactory& factory) {
    setupConfig_ = NewSetupConfig(factory);
}

void HostLink::Reattach(HostFactory& factory) {
    auto elo = NewMainObject(factory);
    auto config = NewSetupConfig(factory);
    // A host that died again during the second creation dropped nothing of these: they are
    // not held yet, and die with this frame.
    elo_ = std::move(elo);
    setupConfig_ = std::move(config);
    gone_ = false;
}

void HostLink::Release() {
    setupConfig_.reset();
    elo_.reset();
}

void HostLink::Connect(const std::string& callsign, std::int32_t mode) {
    Call("Connect", [&] { Need(elo_)->Connect(callsign, mode); });
}
void HostLink::Disconnect(const std::string& callsign) {
    Call("Disconnect", [&] { Need(elo_)->Disconnect(callsign); });
}
bool HostLink::IsConnectedTo(const std::string& callsign) {
    return Call("IsConnectedTo", [&] { return Need(elo_)->IsConnectedTo(callsign); });
}
bool HostLink::IsTransmitting() {
    return Call("IsTransmitting", [&] { return Need(elo_)->IsTransmitting(); });
}
bool HostLink::IsBusyA() {
    return Call("IsBusyA", [&] { return Need(elo_)->IsBusyA(); });
}
bool HostLink::IsBusyB() {
    return Call("IsBusyB", [&] { return Need(elo_)->IsBusyB(); });
}
void HostLink::PlayWaveFile(const std::string& path, bool flag) {
    Call("PlayWaveFile", [&] { Need(elo_)->PlayWaveFile(path, flag); });
}
void HostLink::SetTransmit(bool on) {
    Call("SetTransmit", [&] { Need(elo_)->SetTransmit(on); });
}
void HostLink::SpeakText(const std::string& text) {
    Call("SpeakText", [&] { Need(elo_)->SpeakText(text); });
}
void HostLink::SpeakPhrase(std::int16_t code) {
    Call("SpeakPhrase", [&] { Need(elo_)->SpeakPhrase(code); });
}
void HostLink::StartRecording(const std::string& path) {
    Call("StartRecording", [&] { Need(elo_)->StartRecording(path); });
}
void HostLink::StopRecording() {
    Call("StopRecording", [&] { Need(elo_)->StopRecording(); });
}
void HostLink::SetRts(bool on) {
    Call("SetRts", [&] { Need(elo_)->SetRts(on); });
}
void HostLink::SetDtr(bool on) {
    Call("SetDtr", [&] { Need(elo_)->SetDtr(on); });
}
std::string HostLink::NodeListXml() {
    return Call("NodeListXml", [&] { return Need(elo_)->NodeListXml(); });
}

std::string HostLink::EloSetupConfigCallsign() {
    auto config = Call("SetupConfig", [&] { return Need(elo_)->GetSetupConfig(); });
    return Call("SetupConfig.Callsign", [&] { return NeedObject(config)->Callsign(); });
}

std::int32_t HostLink::SysopConfigKeyingLine() {
    auto config = Call("SysopConfig", [&] { return Need(elo_)->GetSysopConfig(); });
    return Call("SysopConfig.KeyingLine", [&] { return NeedObject(config)->KeyingLine(); });
}

std::string HostLink::SetupConfigCallsign() {
    return Call("SetupConfig.Callsign", [&] { return NeedObject(setupConfig_)->Callsign(); });
}

void HostLink::SetSetupConfigRecordMode(std::int32_t mode) {
    Call("SetupConfig.RecordMode", [&] { NeedObject(setupConfig_)->SetRecordMode(mode); });
}

}  // namespace hourmark
