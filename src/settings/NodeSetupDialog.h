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
    std::int16_t cbAuto = 0;  // 0 or 1
    std::string tbRemoteNode;
    std::string tbTimeStart;
    std::string tbTimeStop;
    std::string tbDelay;
};

class frmNodeSetup {
public:
    explicit frmNodeSetup(Station& station) : station_(station) {}

    std::array<NodeSetupRow, kNodeCount> rows{};

    void Form_Load();
    void Command2_Click();  // OK
    void Command1_Click();  // CANCEL
    void CloseBox();

private:
    Station& station_;
};

}  // namespace hourmark
