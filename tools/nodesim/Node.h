// The simulated node: what it is set to, what it is sending, and who is linked. Time is given in
// milliseconds of a monotonic clock, so that the behaviour does not depend on the real one.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace nodesim {

// A request the node turns down, with its text for the client.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Something the node's clock brought about.
struct Happening {
    enum class Kind { OnAir, LinkUp };
    Kind kind;
    std::string text;  // OnAir: what went on the air
    std::string call;  // LinkUp: the station, its name and address
    std::string name;
    std::string address;
};

class Node {
public:
    static constexpr std::uint64_t kLinkUpMs = 1000;
    static constexpr std::uint64_t kPhraseMs = 1500;
    static constexpr std::uint64_t kSpeechMsPerChar = 75;
    static constexpr std::uint64_t kShortestSpeechMs = 400;
    static inline const std::string kDefaultCallsign = "QX1SIM-L";
    static inline const std::string kDefaultName = "NodeSim station";
    static inline const std::string kDefaultAddress = "127.0.0.1";

    Node();
    // Back to a fresh start: settings, holds, failures, links and the air all cleared.
    void Reset();

    // ---- the air
    // Queues a transmission of that length; it goes out after those already queued, and no
    // sooner than the lag after now.
    void Transmit(const std::string& what, std::uint64_t durationMs, std::uint64_t now);
    static std::uint64_t SpeechMs(const std::string& text);
    bool IsTransmitting(std::uint64_t now) const;
    bool busyTransmitting = false;  // held by the operator
    bool busyA = false;
    bool busyB = false;
    bool keyed = false;  // SetTransmit
    std::uint64_t lagMs = 0;
    // Every receiver of the events is refused, as a host does whose connection point cannot
    // reach the client's sink.
    bool refuseReceivers = false;

    // ---- links
    // A link to call comes up kLinkUpMs later, unless it is refused, already up or coming.
    void RequestConnect(const std::string& call, std::uint64_t now);
    // Drops the link or a pending request; true when the station was linked.
    bool Drop(const std::string& call);
    void LinkUp(const std::string& call);
    bool IsLinked(const std::string& call) const;
    const std::vector<std::string>& linked() const { return linked_; }
    void SetRefused(const std::string& call, bool refused);
    bool IsRefused(const std::string& call) const;

    // ---- settings
    std::string callsign;
    std::int32_t keyingLine = 0;
    std::string nodeListXml;
    bool rts = false;
    bool dtr = false;
    std::int32_t recordMode = 0;
    std::optional<std::string> recordingTo;

    // ---- faults to order, by member name as in the trace ("IsTransmitting",
    // "SetupConfig.Callsign", ...)
    std::map<std::string, std::string> failures;
    std::map<std::string, std::uint64_t> slowMs;
    std::optional<std::string> FailureOf(const std::string& member) const;
    std::uint64_t SlownessOf(const std::string& member) const;

    // ---- the clock
    // Everything due by now, in time order; finished transmissions are dropped.
    std::vector<Happening> Advance(std::uint64_t now);
    // When the next change is due, if any is.
    std::optional<std::uint64_t> NextChange(std::uint64_t now) const;

    // One line: callsign, keying line, busy flags, RTS, DTR, record mode, linked stations.
    std::string StateLine(std::uint64_t now) const;

private:
    struct Transmission {
        std::string what;
        std::uint64_t start;
        std::uint64_t end;
        bool announced;
    };
    struct PendingLink {
        std::string call;
        std::uint64_t due;
    };
    std::deque<Transmission> air_;
    std::vector<PendingLink> pending_;
    std::vector<std::string> linked_;
    std::set<std::string> refused_;  // upper case
};

// Callsigns compare without regard to letter case, as a node does.
std::string Upper(std::string text);
std::string YesNo(bool value);  // "True" / "False"

}  // namespace nodesim
