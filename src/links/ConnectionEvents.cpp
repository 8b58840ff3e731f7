// The host's connect, disconnect, closing and station-list events.
#include "console/Station.h"

namespace hourmark {

namespace {

// The two stations whose node list is kept on disk.
bool KeepsNodeList(const std::string& ownCall) {
    return ownCall == "QX3EF-L" || ownCall == "QX2CD-L";
}

}  // namespace

void Station::ELo_Connected(const std::string& sCall, const std::string& sName,
                            const std::string& sAddr) {
    (void)sName;
    (void)sAddr;
    WriteLog("<EchoLink> connected: " + sCall);
    // Built from the table, never from the caption, so a repeated event cannot double the mark.
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].callsign == sCall) {
            cmdRemoteNode[i].SetText(nodes[i].callsign + "*");
        }
    }
}

void Station::ELo_Disconnected(const std::string& sCall) {
    WriteLog("<EchoLink> disconnected: " + sCall);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].callsign == sCall) {
            cmdRemoteNode[i].SetText(nodes[i].callsign);
        }
    }
}

void Station::ELo_Closing() {
    Form_Unload();
    EndProgram(0);
}

void Station::ELo_StationListReceived() {
    if (KeepsNodeList(host_.SetupConfigCallsign())) {
        SaveNodeList();
    }
}

void Station::SaveNodeList() {
    const std::string text = host_.NodeListXml();
    // The file is only a copy for other programs: when it cannot be replaced, the old one stays
    // and nobody is bothered.
    (void)ports_.files.ReplaceText(ProgramDirectory() + "/NodeList.xml", text + "\r\n");
}

}  // namespace hourmark
