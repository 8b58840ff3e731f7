#include "Command.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace nodesim {

namespace {

using Effect = CommandOutcome::Effect;

std::string Joined(const std::vector<std::string>& words, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) {
        text += (i > from ? " " : "") + words[i];
    }
    return text;
}

void Need(const std::vector<std::string>& words, std::size_t least, const char* form) {
    if (words.size() < least) {
        throw CommandError(std::string("usage: nodesim.exe ") + form);
    }
}

std::int64_t Number(const std::string& text, std::int64_t low, std::int64_t high,
                    const char* what) {
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high) {
        throw CommandError(std::string(what) + " must be a whole number from " +
                           std::to_string(low) + " to " + std::to_string(high) + ", not \"" + text +
                           "\"");
    }
    return value;
}

bool OnOff(const std::string& text) {
    if (text == "on") {
        return true;
    }
    if (text == "off") {
        return false;
    }
    throw CommandError("expected on or off, not \"" + text + "\"");
}

const std::string& Member(const std::string& name) {
    const auto& names = MemberNames();
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) {
        throw CommandError("no member \"" + name + "\"; the members are " + Joined(names, 0));
    }
    return *found;
}

}  // namespace

const std::vector<std::string>& MemberNames() {
    static const std::vector<std::string> names = {"Connect",
                                                   "Disconnect",
                                                   "IsConnectedTo",
                                                   "IsTransmitting",
                                                   "IsBusyA",
                                                   "IsBusyB",
                                                   "PlayWaveFile",
                                                   "SetTransmit",
                                                   "SpeakText",
                                                   "SpeakPhrase",
                                                   "StartRecording",
                                                   "StopRecording",
                                                   "SetRts",
                                                   "SetDtr",
                                                   "NodeListXml",
                                                   "SetupConfig",
                                                   "SysopConfig",
                                                   "SetupConfig.Callsign",
                                                   "SetupConfig.RecordMode",
                                                   "SysopConfig.KeyingLine"};
    return names;
}

std::string Usage() {
    return "usage: nodesim.exe [/RegServer [/NoTypeLib | /StaleTypeLib] | /UnregServer | dtmf "
           "DIGITS | link CALL [NAME] [ADDR] | unlink CALL | stationlist | raise ID | advise "
           "refuse|accept | close | callsign CALL | keyingline N | nodelist "
           "TEXT | busy transmitting|a|b on|off | fail OPERATION TEXT|off | refuse CALL [off] | "
           "lag MS | slow OPERATION MS | state | trace [clear] | reset]";
}

CommandOutcome RunCommand(Node& node, const std::vector<std::string>& words, std::uint64_t now) {
    if (words.empty()) {
        throw CommandError(Usage());
    }
    const std::string& verb = words[0];
    CommandOutcome out;
    if (verb == "dtmf") {
        Need(words, 2, "dtmf DIGITS");
        out.effect = Effect::RaiseDtmf;
        out.eventArgs = {Joined(words, 1)};
        out.answer = "DTMFString " + out.eventArgs[0];
    } else if (verb == "link") {
        Need(words, 2, "link CALL [NAME] [ADDR]");
        const std::string name = words.size() > 2 ? words[2] : Node::kDefaultName;
        const std::string address = words.size() > 3 ? Joined(words, 3) : Node::kDefaultAddress;
        node.Drop(words[1]);
        node.LinkUp(words[1]);
        out.effect = Effect::RaiseConnected;
        out.eventArgs = {words[1], name, address};
        out.answer = "linked " + words[1];
    } else if (verb == "unlink") {
        Need(words, 2, "unlink CALL");
        const bool was = node.Drop(words[1]);
        out.effect = Effect::RaiseDisconnected;
        out.eventArgs = {words[1]};
        out.answer = "unlinked " + words[1] + (was ? "" : " (it was not linked)");
    } else if (verb == "raise") {
        Need(words, 2, "raise ID");
        out.effect = Effect::RaiseId;
        out.eventArgs = {std::to_string(Number(words[1], INT32_MIN, INT32_MAX, "the event id"))};
        out.answer = "event " + out.eventArgs[0];
    } else if (verb == "advise") {
        Need(words, 2, "advise refuse|accept");
        if (words[1] != "refuse" && words[1] != "accept") {
            throw CommandError("advise takes refuse or accept, not \"" + words[1] + "\"");
        }
        node.refuseReceivers = words[1] == "refuse";
        out.answer = node.refuseReceivers ? "every receiver is refused" : "receivers are taken";
    } else if (verb == "stationlist") {
        out.effect = Effect::RaiseStationList;
        out.answer = "StationListReceived";
    } else if (verb == "close") {
        out.effect = Effect::Close;
        out.answer = "closing";
    } else if (verb == "callsign") {
        Need(words, 2, "callsign CALL");
        node.callsign = words[1];
        out.answer = "callsign " + node.callsign;
    } else if (verb == "keyingline") {
        Need(words, 2, "keyingline N");
        node.keyingLine =
            static_cast<std::int32_t>(Number(words[1], INT32_MIN, INT32_MAX, "the keying line"));
        out.answer = "keying line " + std::to_string(node.keyingLine);
    } else if (verb == "nodelist") {
        Need(words, 2, "nodelist TEXT");
        node.nodeListXml = Joined(words, 1);
        out.answer = "node list of " + std::to_string(node.nodeListXml.size()) + " bytes";
    } else if (verb == "busy") {
        Need(words, 3, "busy transmitting|a|b on|off");
        const bool on = OnOff(words[2]);
        if (words[1] == "transmitting") {
            node.busyTransmitting = on;
        } else if (words[1] == "a") {
            node.busyA = on;
        } else if (words[1] == "b") {
            node.busyB = on;
        } else {
            throw CommandError("busy takes transmitting, a or b, not \"" + words[1] + "\"");
        }
        out.answer = "busy " + words[1] + " " + words[2];
    } else if (verb == "fail") {
        Need(words, 3, "fail OPERATION TEXT|off");
        const std::string& member = Member(words[1]);
        if (words.size() == 3 && words[2] == "off") {
            node.failures.erase(member);
            out.answer = member + " works";
        } else {
            node.failures[member] = Joined(words, 2);
            out.answer = member + " fails: " + node.failures[member];
        }
    } else if (verb == "refuse") {
        Need(words, 2, "refuse CALL [off]");
        const bool off = words.size() > 2 && OnOff(words[2]) == false;
        node.SetRefused(words[1], !off);
        out.answer = off ? words[1] + " may link" : words[1] + " never links";
    } else if (verb == "lag") {
        Need(words, 2, "lag MS");
        node.lagMs = static_cast<std::uint64_t>(Number(words[1], 0, 3600000, "the lag"));
        out.answer = "lag " + std::to_string(node.lagMs) + " ms";
    } else if (verb == "slow") {
        Need(words, 3, "slow OPERATION MS");
        const std::string& member = Member(words[1]);
        const auto ms = static_cast<std::uint64_t>(Number(words[2], 0, 600000, "the delay"));
        if (ms == 0) {
            node.slowMs.erase(member);
        } else {
            node.slowMs[member] = ms;
        }
        out.answer = member + " answers after " + std::to_string(ms) + " ms";
    } else if (verb == "state") {
        out.answer = node.StateLine(now);
    } else if (verb == "trace") {
        if (words.size() != 2 || words[1] != "clear") {
            throw CommandError("usage: nodesim.exe trace [clear]");
        }
        out.effect = Effect::ClearTrace;
        out.answer = "trace cleared";
    } else if (verb == "reset") {
        node.Reset();
        out.answer = "reset";
    } else {
        throw CommandError("unknown command \"" + verb + "\"\n" + Usage());
    }
    return out;
}

}  // namespace nodesim
