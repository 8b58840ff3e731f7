// The verbs of nodesim.exe's command line, as the running simulator carries them out. The node's
// settings change here; what has to reach the clients (events, the end) is returned for the
// server to do.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "Node.h"

namespace nodesim {

// A command that cannot be carried out; the text says why.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandOutcome {
    enum class Effect {
        None,
        RaiseDtmf,
        RaiseConnected,
        RaiseDisconnected,
        RaiseStationList,
        RaiseId,  // the event id in eventArgs[0], whatever the events interface declares
        Close,
        ClearTrace
    };
    std::string answer;  // one line
    Effect effect = Effect::None;
    std::vector<std::string> eventArgs;
};

// The members a client can call, as the trace and the fail and slow verbs name them.
const std::vector<std::string>& MemberNames();

// words is the command line after the program name. Throws CommandError.
CommandOutcome RunCommand(Node& node, const std::vector<std::string>& words, std::uint64_t now);

// The usage text, for an unknown verb.
std::string Usage();

}  // namespace nodesim
