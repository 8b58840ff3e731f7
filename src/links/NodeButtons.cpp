// The eight node buttons: their captions show which nodes are linked; a left or middle click
// links or unlinks by hand, a right click opens the node setup dialog.
#include "console/Station.h"

namespace hourmark {

void Station::LoadNodeButtons() {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const std::string& call = nodes[i].callsign;
        const bool linked = host_.IsConnectedTo(call);
        cmdRemoteNode[i].SetText(linked ? call + "*" : call);
    }
}

void Station::cmdRemoteNode_MouseUp(int index, int mouseButton) {
    if (index < 0 || index >= kNodeCount) {
        return;
    }
    try {
        if (mouseButton == kRightButton) {
            OpenNodeSetup();
            return;
        }
        // The caption follows the host's Connected and Disconnected events, not the click.
        const std::string call = nodes[static_cast<std::size_t>(index)].callsign;
        if (host_.IsConnectedTo(call)) {
            host_.Disconnect(call);
        } else {
            host_.Connect(call, 0);
        }
    } catch (const HostFailure&) {
        // A link made by hand that does not work shows nothing: the caption tells the truth.
    }
    FocusStep();
}

void Station::cbAutoOverride_Click() {
    FocusStepUnlessDialog();
}

}  // namespace hourmark
