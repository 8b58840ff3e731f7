// The host's automation objects as the core sees them. The Windows layer implements these over
// COM; the tests implement them with a recording fake. Every member may throw HostError.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace hourmark {

// A call into the host failed; what() is the host's own error text.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host runs, but its events cannot reach the program: it refuses the program's receiver, or
// its type information does not declare every event the program needs.
class HostEventsUnavailable : public HostError {
public:
    using HostError::HostError;
};

// The host's process or its objects no longer exist (a crash, a kill, a restart): every object
// held is dead for good, and only objects created anew reach a host that runs again.
class HostGone : public HostError {
public:
    using HostError::HostError;
};

// The setup configuration: created by ProgID "EchoLink.SetupConfig", also reached as
// ELo.SetupConfig.
class SetupConfig {
public:
    virtual ~SetupConfig() = default;
    virtual std::string Callsign() = 0;
    virtual void SetRecordMode(std::int32_t mode) = 0;
};

// ELo.SysopConfig.
class SysopConfig {
public:
    virtual ~SysopConfig() = default;
    virtual std::int32_t KeyingLine() = 0;
};

// The main object, ELo (the host's HostApp interface).
class HostApp {
public:
    virtual ~HostApp() = default;
    virtual void Connect(const std::string& callsign, std::int32_t mode) = 0;
    virtual void Disconnect(const std::string& callsign) = 0;
    virtual bool IsConnectedTo(const std::string& callsign) = 0;
    virtual bool IsTransmitting() = 0;
    virtual bool IsBusyA() = 0;
    virtual bool IsBusyB() = 0;
    virtual void PlayWaveFile(const std::string& path, bool flag) = 0;
    virtual void SetTransmit(bool on) = 0;
    virtual void SpeakText(const std::string& text) = 0;
    virtual void SpeakPhrase(std::int16_t code) = 0;
    // The host takes the path as a VARIANT holding a string.
    virtual void StartRecording(const std::string& path) = 0;
    virtual void StopRecording() = 0;
    virtual void SetRts(bool on) = 0;
    virtual void SetDtr(bool on) = 0;
    virtual std::string NodeListXml() = 0;
    virtual std::shared_ptr<SetupConfig> GetSetupConfig() = 0;
    virtual std::shared_ptr<SysopConfig> GetSysopConfig() = 0;
};

// Start-up creates the host's objects through this; both throw HostError when the host is not
// installed or cannot be reached.
class HostFactory {
public:
    virtual ~HostFactory() = default;
    virtual std::shared_ptr<HostApp> CreateMainObject() = 0;
    virtual std::shared_ptr<SetupConfig> CreateSetupConfig() = 0;
    // Whether the host's program runs now, asked without starting it: creating the objects
    // starts a registered host that is not running. A factory that cannot tell says true.
    virtual bool HostRunning() { return true; }
};

// Booleans as the host sends them across: True is -1.
constexpr std::int16_t kHostTrue = -1;
constexpr std::int16_t kHostFalse = 0;

}  // namespace hourmark
