// "Xmit Time": the station's callsign, a stock phrase for a link or repeater suffix, and the
// time of day, spoken by the host when the node is idle.
#include <cstdint>
#include <string>

#include "console/Station.h"

namespace hourmark {

namespace {

constexpr std::int16_t kPhraseLink = 2;
constexpr std::int16_t kPhraseRepeater = 1;

bool DropSuffix(std::string& callsign, const char* suffix) {
    const std::string s(suffix);
    if (callsign.size() >= s.size() &&
        callsign.compare(callsign.size() - s.size(), s.size(), s) == 0) {
        callsign.erase(callsign.size() - s.size());
        return true;
    }
    return false;
}

}  // namespace

void Station::AnnounceTime() {
    if (NodeBusy()) {
        return;
    }
    // Read fresh every time: the sysop may change the callsign in EchoLink while we run.
    std::string callsign = host().EloSetupConfigCallsign();
    std::int16_t phrase = 0;
    if (DropSuffix(callsign, "-L")) {
        phrase = kPhraseLink;
    }
    if (DropSuffix(callsign, "-R")) {
        phrase = kPhraseRepeater;
    }
    host().SpeakText(callsign);
    if (phrase != 0) {
        host().SpeakPhrase(phrase);
    }
    const char* pattern = Now().minute == 0 ? "H AMPM" : "H MM AMPM";
    host().SpeakText(" " + FormatNow(pattern));
}

void Station::CMDTime_Click() {
    AnnounceTime();
    FocusStepUnlessDialog();
}

}  // namespace hourmark
