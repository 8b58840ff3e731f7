// The transmitter fan follows IsTransmitting on the RTS and DTR lines, RTS first; a line that
// EchoLink keys the transmitter with is cleared and greyed.
#include "console/Station.h"

namespace hourmark {

namespace {
constexpr std::int32_t kKeyingOnRts = 2;
constexpr std::int32_t kKeyingOnDtr = 3;
}  // namespace

void Station::FanTimer_Timer() {
    const bool transmitting = host_.IsTransmitting();
    if (FanRTS.ticked()) {
        host_.SetRts(transmitting);
    }
    if (FanDTR.ticked()) {
        host_.SetDtr(transmitting);
    }
}

void Station::CheckFanLines() {
    if (host_.SysopConfigKeyingLine() == kKeyingOnRts) {
        FanRTS.SetValue(0);
        FanRTS.SetEnabled(false);
    } else {
        FanRTS.SetEnabled(true);
    }
    if (host_.SysopConfigKeyingLine() == kKeyingOnDtr) {
        FanDTR.SetValue(0);
        FanDTR.SetEnabled(false);
    } else {
        FanDTR.SetEnabled(true);
    }
}

void Station::FanRTS_Click() {
    FocusStep();
    CheckFanLines();
}

void Station::FanDTR_Click() {
    FocusStep();
    CheckFanLines();
}

}  // namespace hourmark
