// The five touch-tone commands a radio user can give over the air. Anything else is ignored.
#include <cstdint>
#include <string>

#include "console/Station.h"

namespace hourmark {

namespace {

constexpr std::int16_t kPhraseAutoConnectsOff = 8;
constexpr std::int16_t kPhraseAutoConnectsOn = 3;
constexpr std::int16_t kPhraseLink = 2;
constexpr std::int16_t kPhraseRepeater = 1;

}  // namespace

void Station::ELo_DTMFString(const std::string& sDigits) {
    if (sDigits == "*0*") {
        cbAutoOverride.SetValue(1);
        host().SpeakPhrase(kPhraseAutoConnectsOff);
    } else if (sDigits == "*1*") {
        cbAutoOverride.SetValue(0);
        host().SpeakPhrase(kPhraseAutoConnectsOn);
    } else if (sDigits == "*7*") {
        for (const NodeEntry& node : nodes) {
            const std::string callsign = node.callsign;
            if (!host().IsConnectedTo(callsign)) {
                continue;
            }
            const std::size_t dash = callsign.find('-');
            if (dash == std::string::npos) {
                host().SpeakText(callsign);
                continue;
            }
            host().SpeakText(callsign.substr(0, dash));
            if (callsign.back() == 'L') {
                host().SpeakPhrase(kPhraseLink);
            } else if (callsign.back() == 'R') {
                host().SpeakPhrase(kPhraseRepeater);
            }
        }
    } else if (sDigits == "000*") {
        CMDTime_Click();
    } else if (sDigits == "000#") {
        CMDFile_Click();
    }
}

}  // namespace hourmark
