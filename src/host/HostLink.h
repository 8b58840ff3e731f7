// The core's one way to the host. Every call is marked as pending with the dispatcher (so that
// nothing nests inside it), a failure becomes a HostFailure naming the operation, and a success
// tells the error boundary that the operation works again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "host/Host.h"

namespace hourmark {

class Dispatcher;
class ErrorBoundary;

class HostFailure : public std::runtime_error {
public:
    // Events: the host is there but its events cannot reach the program (HostEventsUnavailable).
    // Gone: the host's process or objects no longer exist (HostGone).
    enum class Cause { Call, Events, Gone };
    HostFailure(std::string operation, std::string text, Cause cause = Cause::Call)
        : std::runtime_error(operation + ": " + text),
          operation_(std::move(operation)),
          text_(std::move(text)),
          cause_(cause) {}
    const std::string& operation() const { return operation_; }
    const std::string& text() const { return text_; }
    Cause cause() const { return cause_; }

private:
    std::string operation_;
    std::string text_;
    Cause cause_;
};

class HostLink {
public:
    HostLink(Dispatcher& dispatcher, ErrorBoundary& boundary)
        : dispatcher_(dispatcher), boundary_(boundary) {}

    // Start-up's steps 2 and 3; both throw HostFailure.
    void CreateMainObject(HostFactory& factory);
    void CreateSetupConfig(HostFactory& factory);
    bool Bound() const { return elo_ && setupConfig_; }
    // Drops the references to the host's objects (at the end of the program).
    void Release();

    // Runs once for each call that finds the host gone, after its dead objects were dropped
    // and before the failure is thrown: a handler that traps the failure cannot hide it.
    void OnGone(std::function<void(const HostFailure&)> gone) { onGone_ = std::move(gone); }
    // The host's objects were dropped because it went away; every call fails at once, as
    // HostFailure with Cause::Gone, without reaching anything.
    bool Gone() const { return gone_; }
    // Drops the objects and counts the host as gone, as a call that found it gone does.
    void Forget() {
        gone_ = true;
        Release();
    }
    // Both objects created anew, the way start-up creates them; on failure none is kept and the
    // link stays gone.
    void Reattach(HostFactory& factory);

    void Connect(const std::string& callsign, std::int32_t mode);
    void Disconnect(const std::string& callsign);
    bool IsConnectedTo(const std::string& callsign);
    bool IsTransmitting();
    bool IsBusyA();
    bool IsBusyB();
    void PlayWaveFile(const std::string& path, bool flag);
    void SetTransmit(bool on);
    void SpeakText(const std::string& text);
    void SpeakPhrase(std::int16_t code);
    void StartRecording(const std::string& path);
    void StopRecording();
    void SetRts(bool on);
    void SetDtr(bool on);
    std::string NodeListXml();

    // ELo.SetupConfig.Callsign: the sub-object is fetched for every read.
    std::string EloSetupConfigCallsign();
    // ELo.SysopConfig.KeyingLine: likewise.
    std::int32_t SysopConfigKeyingLine();
    // The setup configuration created by ProgID at start-up.
    std::string SetupConfigCallsign();
    void SetSetupConfigRecordMode(std::int32_t mode);

private:
    template <typename F>
    auto Call(const char* operation, F&& f) -> decltype(f());
    template <typename F>
    auto Reach(const char* operation, F&& f) -> decltype(f());
    std::shared_ptr<HostApp> NewMainObject(HostFactory& factory);
    std::shared_ptr<SetupConfig> NewSetupConfig(HostFactory& factory);

    Dispatcher& dispatcher_;
    ErrorBoundary& boundary_;
    std::shared_ptr<HostApp> elo_;
    std::shared_ptr<SetupConfig> setupConfig_;
    bool gone_ = false;
    std::function<void(const HostFailure&)> onGone_;
};

}  // namespace hourmark
