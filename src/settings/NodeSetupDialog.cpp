#include "settings/NodeSetupDialog.h"

#include "console/Station.h"
#include "settings/DelayNumber.h"

namespace hourmark {

namespace {

std::string TrimBlanks(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool IsCheckValue(std::int16_t value) {
    return value >= 0 && value <= 2;
}

}  // namespace

void frmNodeSetup::Form_Load() {
    station_.ReadINIFile();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const NodeEntry& entry = station_.nodes[i];
        NodeSetupRow& row = rows[i];
        // A check box holds 0, 1 or 2 (greyed); any other value a hand-edited file holds shows
        // as not ticked.
        row.cbAuto = IsCheckValue(entry.autoFlag) ? entry.autoFlag : std::int16_t{0};
        row.tbRemoteNode = entry.callsign;
        row.tbTimeStart = entry.startTime;
        row.tbTimeStop = entry.stopTime;
        row.tbDelay = std::to_string(entry.delay);
    }
}

void frmNodeSetup::Command2_Click() {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const NodeSetupRow& row = rows[i];
        const char* field = nullptr;
        if (row.tbRemoteNode.find('"') != std::string::npos) {
            field = "Node Call";
        } else if (row.tbTimeStart.find('"') != std::string::npos) {
            field = "Start";
        } else if (row.tbTimeStop.find('"') != std::string::npos) {
            field = "Stop";
        }
        if (field != nullptr) {
            station_.ShowMessage("Row " + std::to_string(i + 1) + ", " + field +
                                     ": a double quote (\") cannot be kept in the settings file."
                                     "\r\nRemove it and press OK again.",
                                 MessageIcon::Exclamation);
            return;
        }
    }

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const NodeSetupRow& row = rows[i];
        NodeEntry& entry = station_.nodes[i];
        entry.callsign = station_.files().UpperCase(TrimBlanks(row.tbRemoteNode));
        // A greyed box the operator left alone keeps its 2.
        entry.autoFlag = IsCheckValue(row.cbAuto) ? row.cbAuto : std::int16_t{0};
        entry.startTime = TrimBlanks(row.tbTimeStart);
        entry.stopTime = TrimBlanks(row.tbTimeStop);
        entry.delay = DelayFromText(row.tbDelay);
    }
    station_.WriteIniFile();
    // A failure to caption the buttons goes to the error boundary before the dialog closes: the
    // rows are stored and saved, and the dialog stays open over the report.
    station_.LoadNodeButtons();
    station_.CloseNodeSetup();
}

void frmNodeSetup::Command1_Click() {
    station_.CloseNodeSetup();
}

void frmNodeSetup::CloseBox() {
    station_.CloseNodeSetup();
}

}  // namespace hourmark
