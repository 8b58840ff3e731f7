// One line of the trace: local time, kind, member, then each argument as the node received it,
// and "failed: TEXT" when the call failed. Fields are TAB-separated; texts are escaped so that a
// line is always one line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nodesim {

enum class TraceKind { Call, Get, Put, Event };

class TraceArg {
public:
    static TraceArg Text(std::string text) { return TraceArg(Escaped(text)); }
    // VARIANT_BOOL as received: -1 is True, 0 is False; anything else shows as its number, so
    // that a client sending 1 for True is seen.
    static TraceArg Bool(std::int16_t value);
    static TraceArg Number(std::int64_t value) { return TraceArg(std::to_string(value)); }
    // For a value whose type the node did not expect: shown as given.
    static TraceArg Raw(std::string text) { return TraceArg(Escaped(text)); }
    const std::string& field() const { return field_; }

    // Backslash, TAB, CR and LF as \\, \t, \r, \n.
    static std::string Escaped(const std::string& text);

private:
    explicit TraceArg(std::string field) : field_(std::move(field)) {}
    std::string field_;
};

const char* KindName(TraceKind kind);

// Without the line end; time is "yyyy-mm-dd hh:mm:ss.fff".
std::string TraceLine(const std::string& time, TraceKind kind, const std::string& member,
                      const std::vector<TraceArg>& args,
                      const std::optional<std::string>& failure = std::nullopt);

}  // namespace nodesim
