// "Xmit File" hands the chosen WAV file to the host when the node is idle; "Select" opens the
// picker and shows the choice.
#include "console/Station.h"

namespace hourmark {

void Station::SendWavFile() {
    if (NodeBusy()) {
        return;
    }
    try {
        host().PlayWaveFile(SelectedWavFile, false);
    } catch (const HostFailure&) {
        // The host may have keyed up before it refused the file.
        host().SetTransmit(false);
        // One message is enough: a radio user repeating "000#", or the schedule pressing under
        // an unanswered box, must not stack them.
        if (fileErrorOpen) {
            return;
        }
        fileErrorOpen = true;
        struct Reset {
            bool& open;
            ~Reset() { open = false; }
        } reset{fileErrorOpen};
        ShowMessage("File Format Invalid - See EchoLink HELP\r\nfor proper WAV file format.",
                    MessageIcon::Information);
    }
}

void Station::CMDFile_Click() {
    SendWavFile();
    FocusStepUnlessDialog();
}

void Station::cmdFileSelect_Click() {
    OpenWavPicker();
    // Also when the picker changed nothing: the box must not keep what was typed into it, since
    // the file that goes on the air is SelectedWavFile.
    tbFileName.ShowText(SelectedWavFile);
}

}  // namespace hourmark
