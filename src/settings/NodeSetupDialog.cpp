#include "settings/NodeSetupDialog.h"

#include "console/Station.h"

namespace hourmark {

// Placeholder until the node setup dialog lands.
void frmNodeSetup::Form_Load() {}
void frmNodeSetup::Command2_Click() { station_.CloseNodeSetup(); }
void frmNodeSetup::Command1_Click() { station_.CloseNodeSetup(); }
void frmNodeSetup::CloseBox() { station_.CloseNodeSetup(); }

}  // namespace hourmark
