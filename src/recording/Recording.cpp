// START, STOP and PLAYBACK of a contact. EchoLink does the recording; the program only tells it
// when, plays the prompts, and remembers the name for PLAYBACK.
#include "console/Station.h"

namespace hourmark {

namespace {
constexpr const char* kWavDirectory = "d:\\radio\\echolink\\wav\\";
}

void Station::cbRecordStart_Click() {
    const std::string prompt = ProgramDirectory() + "\\rec.wav";
    host_.SetSetupConfigRecordMode(2);
    host_.PlayWaveFile(ProgramDirectory() + "\\ok.wav", true);
    host_.StartRecording(prompt);
    sQSOFile = "QSO_" + FormatNow("yyyy_mm_dd_hhmmss") + ".wav";
    FocusStep();
}

void Station::cbRecordStop_Click() {
    host_.StopRecording();
    host_.SetSetupConfigRecordMode(0);
    host_.PlayWaveFile(ProgramDirectory() + "\\ok.wav", false);
    FocusStep();
}

void Station::cbRecordPlayback_Click() {
    host_.PlayWaveFile(kWavDirectory + sQSOFile, false);
    FocusStep();
}

}  // namespace hourmark
