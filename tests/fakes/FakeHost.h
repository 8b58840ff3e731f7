// A host that records every call in order and can be told to fail any operation. Operation
// names are the ones the error boundary reports ("IsTransmitting", "SetupConfig.Callsign", ...).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/Host.h"

namespace hourmark::test {

class FakeHost : public HostFactory {
public:
    FakeHost();

    // ---- what the host reports
    std::string callsign = "QX1AB-L";
    std::int32_t keyingLine = 0;
    bool transmitting = false;
    bool busyA = false;
    bool busyB = false;
    std::set<std::string> linked;
    // When set, a Connect that succeeds links the call and a Disconnect unlinks it.
    bool connectLinks = false;
    std::string nodeListXml = "<nodes/>";
    bool mainObjectAvailable = true;   // CreateMainObject succeeds
    bool setupConfigAvailable = true;  // CreateSetupConfig succeeds
    bool eventsAvailable = true;       // else CreateMainObject throws HostEventsUnavailable
    // The host's process has died: every call and every creation throws HostGone. HostRunning
    // answers `running`.
    bool gone = false;
    bool running = true;

    // ---- what the host was asked, e.g. "SpeakText(QX1AB)", "SetRts(true)", "Connect(QX2CD-L,0)"
    std::vector<std::string> calls;
    // Calls whose text starts with the prefix, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    std::size_t Count(const std::string& call) const;
    void ClearCalls() { calls.clear(); }

    // Every call of the operation throws HostError(text) until Succeed(operation).
    void Fail(const std::string& operation, const std::string& text = "host refused");
    void Succeed(const std::string& operation) { failures_.erase(operation); }

    // Runs inside every call, after it was recorded and before it returns or fails: the place
    // where a test makes ticks and events arrive during a pending call, or changes the state.
    std::function<void(const std::string& operation)> onCall;

    // HostFactory
    std::shared_ptr<HostApp> CreateMainObject() override;
    std::shared_ptr<SetupConfig> CreateSetupConfig() override;
    bool HostRunning() override { return running; }

    // Used by the objects below.
    void Record(const std::string& operation, const std::string& call);

private:
    std::map<std::string, std::string> failures_;
    std::shared_ptr<HostApp> app_;
    std::shared_ptr<SetupConfig> createdConfig_;
};

}  // namespace hourmark::test
