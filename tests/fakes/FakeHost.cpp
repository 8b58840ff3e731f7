#include "fakes/FakeHost.h"

#include <algorithm>

namespace hourmark::test {

namespace {

std::string Bool(bool b) {
    return b ? "true" : "false";
}

class FakeSetupConfig : public SetupConfig {
public:
    explicit FakeSetupConfig(FakeHost& h) : h_(h) {}
    std::string Callsign() override {
        h_.Record("SetupConfig.Callsign", "SetupConfig.Callsign");
        return h_.callsign;
    }
    void SetRecordMode(std::int32_t mode) override {
        h_.Record("SetupConfig.RecordMode", "SetupConfig.RecordMode=" + std::to_string(mode));
    }

private:
    FakeHost& h_;
};

class FakeSysopConfig : public SysopConfig {
public:
    explicit FakeSysopConfig(FakeHost& h) : h_(h) {}
    std::int32_t KeyingLine() override {
        h_.Record("SysopConfig.KeyingLine", "SysopConfig.KeyingLine");
        return h_.keyingLine;
    }

private:
    FakeHost& h_;
};

class FakeApp : public HostApp {
public:
    explicit FakeApp(FakeHost& h) : h_(h) {}
    void Connect(const std::string& c, std::int32_t mode) override {
        h_.Record("Connect", "Connect(" + c + "," + std::to_string(mode) + ")");
        if (h_.connectLinks) {
            h_.linked.insert(c);
        }
    }
    void Disconnect(const std::string& c) override {
        h_.Record("Disconnect", "Disconnect(" + c + ")");
        if (h_.connectLinks) {
            h_.linked.erase(c);
        }
    }
    bool IsConnectedTo(const std::string& c) override {
        h_.Record("IsConnectedTo", "IsConnectedTo(" + c + ")");
        return h_.linked.count(c) != 0;
    }
    bool IsTransmitting() override {
        h_.Record("IsTransmitting", "IsTransmitting");
        return h_.transmitting;
    }
    bool IsBusyA() override {
        h_.Record("IsBusyA", "IsBusyA");
        return h_.busyA;
    }
    bool IsBusyB() override {
        h_.Record("IsBusyB", "IsBusyB");
        return h_.busyB;
    }
    void PlayWaveFile(const std::string& p, bool flag) override {
        h_.Record("PlayWaveFile", "PlayWaveFile(" + p + "," + Bool(flag) + ")");
    }
    void SetTransmit(bool on) override {
        h_.Record("SetTransmit", "SetTransmit(" + Bool(on) + ")");
    }
    void SpeakText(const std::string& t) override {
        h_.Record("SpeakText", "SpeakText(" + t + ")");
    }
    void SpeakPhrase(std::int16_t code) override {
        h_.Record("SpeakPhrase", "SpeakPhrase(" + std::to_string(code) + ")");
    }
    void StartRecording(const std::string& p) override {
        h_.Record("StartRecording", "StartRecording(" + p + ")");
    }
    void StopRecording() override { h_.Record("StopRecording", "StopRecording"); }
    void SetRts(bool on) override { h_.Record("SetRts", "SetRts(" + Bool(on) + ")"); }
    void SetDtr(bool on) override { h_.Record("SetDtr", "SetDtr(" + Bool(on) + ")"); }
    std::string NodeListXml() override {
        h_.Record("NodeListXml", "NodeListXml");
        return h_.nodeListXml;
    }
    std::shared_ptr<SetupConfig> GetSetupConfig() override {
        h_.Record("SetupConfig", "ELo.SetupConfig");
        return std::make_shared<FakeSetupConfig>(h_);
    }
    std::shared_ptr<SysopConfig> GetSysopConfig() override {
        h_.Record("SysopConfig", "ELo.SysopConfig");
        return std::make_shared<FakeSysopConfig>(h_);
    }

private:
    FakeHost& h_;
};

}  // namespace

FakeHost::FakeHost()
    : app_(std::make_shared<FakeApp>(*this)),
      createdConfig_(std::make_shared<FakeSetupConfig>(*this)) {}

std::vector<std::string> FakeHost::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
        if (c.rfind(prefix, 0) == 0) {
            out.push_back(c);
        }
    }
    return out;
}

std::size_t FakeHost::Count(const std::string& call) const {
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
}

void FakeHost::Fail(const std::string& operation, const std::string& text) {
    failures_[operation] = text;
}

void FakeHost::Record(const std::string& operation, const std::string& call) {
    calls.push_back(call);
    if (onCall) {
        onCall(operation);
    }
    if (gone) {
        throw HostGone("The RPC server is unavailable (0x800706BA)");
    }
    auto it = failures_.find(operation);
    if (it != failures_.end()) {
        throw HostError(it->second);
    }
}

std::shared_ptr<HostApp> FakeHost::CreateMainObject() {
    Record("CreateObject HostApp", "CreateMainObject");
    if (!mainObjectAvailable) {
        throw HostError("Class not registered");
    }
    if (!eventsAvailable) {
        throw HostEventsUnavailable("EchoLink's events Closing cannot be received");
    }
    return app_;
}

std::shared_ptr<SetupConfig> FakeHost::CreateSetupConfig() {
    Record("CreateObject EchoLink.SetupConfig", "CreateSetupConfig");
    if (!setupConfigAvailable) {
        throw HostError("Invalid class string");
    }
    return createdConfig_;
}

}  // namespace hourmark::test
