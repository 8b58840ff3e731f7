#include "Node.h"

#include <algorithm>
#include <cctype>

namespace nodesim {

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string YesNo(bool value) {
    return value ? "True" : "False";
}

Node::Node() {
    Reset();
}

void Node::Reset() {
    busyTransmitting = busyA = busyB = keyed = refuseReceivers = false;
    lagMs = 0;
    pending_.clear();
    linked_.clear();
    refused_.clear();
    air_.clear();
    callsign = kDefaultCallsign;
    keyingLine = 0;
    nodeListXml = "<nodelist></nodelist>";
    rts = dtr = false;
    recordMode = 0;
    recordingTo.reset();
    failures.clear();
    slowMs.clear();
}

void Node::Transmit(const std::string& what, std::uint64_t durationMs, std::uint64_t now) {
    std::uint64_t start = now + lagMs;
    if (!air_.empty()) {
        start = std::max(start, air_.back().end);
    }
    air_.push_back(Transmission{what, start, start + durationMs, false});
}

std::uint64_t Node::SpeechMs(const std::string& text) {
    return std::max(kShortestSpeechMs, kSpeechMsPerChar * text.size());
}

bool Node::IsTransmitting(std::uint64_t now) const {
    if (busyTransmitting || keyed) {
        return true;
    }
    return std::any_of(air_.begin(), air_.end(),
                       [now](const Transmission& t) { return t.start <= now && now < t.end; });
}

void Node::RequestConnect(const std::string& call, std::uint64_t now) {
    const std::string key = Upper(call);
    const bool coming = std::any_of(pending_.begin(), pending_.end(),
                                    [&](const PendingLink& p) { return Upper(p.call) == key; });
    if (IsRefused(call) || IsLinked(call) || coming) {
        return;
    }
    pending_.push_back(PendingLink{call, now + kLinkUpMs});
}

bool Node::Drop(const std::string& call) {
    const std::string key = Upper(call);
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [&](const PendingLink& p) { return Upper(p.call) == key; }),
                   pending_.end());
    const auto before = linked_.size();
    linked_.erase(std::remove_if(linked_.begin(), linked_.end(),
                                 [&](const std::string& c) { return Upper(c) == key; }),
                  linked_.end());
    return linked_.size() != before;
}

void Node::LinkUp(const std::string& call) {
    if (!IsLinked(call)) {
        linked_.push_back(call);
    }
}

bool Node::IsLinked(const std::string& call) const {
    const std::string key = Upper(call);
    return std::any_of(linked_.begin(), linked_.end(),
                       [&](const std::string& c) { return Upper(c) == key; });
}

void Node::SetRefused(const std::string& call, bool refused) {
    if (refused) {
        refused_.insert(Upper(call));
    } else {
        refused_.erase(Upper(call));
    }
}

bool Node::IsRefused(const std::string& call) const {
    return refused_.count(Upper(call)) != 0;
}

std::optional<std::string> Node::FailureOf(const std::string& member) const {
    const auto found = failures.find(member);
    if (found == failures.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::uint64_t Node::SlownessOf(const std::string& member) const {
    const auto found = slowMs.find(member);
    return found == slowMs.end() ? 0 : found->second;
}

std::vector<Happening> Node::Advance(std::uint64_t now) {
    std::vector<std::pair<std::uint64_t, Happening>> due;
    for (auto& t : air_) {
        if (!t.announced && t.start <= now) {
            t.announced = true;
            due.emplace_back(t.start, Happening{Happening::Kind::OnAir, t.what, {}, {}, {}});
        }
    }
    while (!air_.empty() && air_.front().end <= now) {
        air_.pop_front();
    }
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->due <= now) {
            due.emplace_back(
                it->due,
                Happening{Happening::Kind::LinkUp, {}, it->call, kDefaultName, kDefaultAddress});
            LinkUp(it->call);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Happening> out;
    out.reserve(due.size());
    for (auto& d : due) {
        out.push_back(std::move(d.second));
    }
    return out;
}

std::optional<std::uint64_t> Node::NextChange(std::uint64_t now) const {
    std::optional<std::uint64_t> next;
    auto consider = [&](std::uint64_t t) {
        const std::uint64_t at = std::max(t, now);
        if (!next || at < *next) {
            next = at;
        }
    };
    for (const auto& t : air_) {
        consider(t.announced ? t.end : t.start);
    }
    for (const auto& p : pending_) {
        consider(p.due);
    }
    return next;
}

std::string Node::StateLine(std::uint64_t now) const {
    std::string links;
    for (const auto& call : linked_) {
        links += (links.empty() ? "" : ",") + call;
    }
    return "callsign=" + callsign + " keyingline=" + std::to_string(keyingLine) +
           " transmitting=" + YesNo(IsTransmitting(now)) + " busya=" + YesNo(busyA) +
           " busyb=" + YesNo(busyB) + " rts=" + YesNo(rts) + " dtr=" + YesNo(dtr) +
           " recordmode=" + std::to_string(recordMode) + " linked=" + links;
}

}  // namespace nodesim
