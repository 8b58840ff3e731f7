// frmNodeSetup: the eight node table rows, edited in one modal dialog. The Windows layer shows
// the rows and writes the operator's texts back into them before it calls a handler.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/NodeTable.h"

namespace hourmark {

class Station;

struct NodeSetupRow {
    std::int16_t cbAuto = 0;  // 0, 1 or 2 (greyed)
    std::string tbRemoteNode;
    std::string tbTimeStart;
    std::string tbTimeStop;
    std::string tbDelay;
};

class frmNodeSetup {
public:
    explicit frmNodeSetup(Station& station) : station_(station) {}

    std::array<NodeSetupRow, kNodeCount> rows{};

    // Re-reads the settings file, then fills the rows from the node table.
    void Form_Load();
    // OK: stores the rows, saves, re-captions the node buttons and closes; when the buttons
    // cannot be captioned, the failure goes to the caller and the dialog stays open. A callsign or
    // time holding a double quote, which the settings file cannot keep as one field, is refused
    // with a message; the dialog then stays open with the operator's text.
    void Command2_Click();
    // CANCEL and the close box: nothing is stored.
    void Command1_Click();
    void CloseBox();

private:
    Station& station_;
};

}  // namespace hourmark
