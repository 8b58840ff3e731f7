#include "TraceLine.h"

namespace nodesim {

TraceArg TraceArg::Bool(std::int16_t value) {
    if (value == -1) {
        return TraceArg("True");
    }
    if (value == 0) {
        return TraceArg("False");
    }
    return TraceArg(std::to_string(value));
}

std::string TraceArg::Escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

const char* KindName(TraceKind kind) {
    switch (kind) {
        case TraceKind::Call:
            return "call";
        case TraceKind::Get:
            return "get";
        case TraceKind::Put:
            return "put";
        case TraceKind::Event:
            return "event";
    }
    return "?";
}

std::string TraceLine(const std::string& time, TraceKind kind, const std::string& member,
                      const std::vector<TraceArg>& args,
                      const std::optional<std::string>& failure) {
    std::string line = time + "\t" + KindName(kind) + "\t" + member;
    for (const auto& arg : args) {
        line += "\t" + arg.field();
    }
    if (failure) {
        line += "\tfailed: " + TraceArg::Escaped(*failure);
    }
    return line;
}

}  // namespace nodesim
