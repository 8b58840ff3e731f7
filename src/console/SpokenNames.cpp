#include "console/SpokenNames.h"

#include <cstddef>

namespace hourmark {

bool NodeLinked(const Station& station, int index) {
    if (index < 0 || index >= kNodeCount) {
        return false;
    }
    const auto i = static_cast<std::size_t>(index);
    const std::string& call = station.nodes[i].callsign;
    return !call.empty() && station.cmdRemoteNode[i].text() == call + "*";
}

Spoken SpokenControl(const Station& station, Control control) {
    const auto at = static_cast<std::size_t>(control);
    if (at >= kSpokenNames.size() || kSpokenNames[at] == nullptr) {
        return {};
    }
    Spoken spoken{kSpokenNames[at], {}};
    if (control == Control::XMIT_LED) {
        // Red while the node is busy on the air, green while it is idle.
        spoken.value = station.XMIT_LED == Led::Red ? "busy" : "idle";
        return spoken;
    }
    const int node = NodeIndex(control);
    if (node < 0) {
        return spoken;
    }
    // Read "QX2CD-L*" as a reader at a low punctuation level would not: in words.
    const std::string& caption = station.cmdRemoteNode[static_cast<std::size_t>(node)].text();
    if (caption.empty() || caption == "*") {
        spoken.name += ": empty";
    } else if (NodeLinked(station, node)) {
        spoken.name += ": " + station.nodes[static_cast<std::size_t>(node)].callsign + ", linked";
    } else {
        spoken.name += ": " + caption + ", not linked";
    }
    return spoken;
}

std::string NodeSetupBoxName(int row, NodeSetupColumn column) {
    const char* what = "";
    switch (column) {
        case NodeSetupColumn::Call:
            what = " call";
            break;
        case NodeSetupColumn::Start:
            what = " start";
            break;
        case NodeSetupColumn::Stop:
            what = " stop";
            break;
        case NodeSetupColumn::Delay:
            what = " delay, seconds";
            break;
        case NodeSetupColumn::Auto:
            what = " auto";
            break;
    }
    return "Node " + std::to_string(row + 1) + what;
}

}  // namespace hourmark
