#include "console/Station.h"

namespace hourmark {

// Placeholder until the remote node links land.
void Station::tAutoConnect_Timer() {}
void Station::LoadNodeButtons() {}
void Station::cmdRemoteNode_MouseUp(int index, int mouseButton) {
    (void)index;
    (void)mouseButton;
}
void Station::cbAutoOverride_Click() {}
void Station::ELo_Connected(const std::string& sCall, const std::string& sName,
                            const std::string& sAddr) {
    (void)sCall;
    (void)sName;
    (void)sAddr;
}
void Station::ELo_Disconnected(const std::string& sCall) { (void)sCall; }
void Station::ELo_Closing() { Form_Unload(); }
void Station::ELo_StationListReceived() {}
void Station::SaveNodeList() {}

}  // namespace hourmark
