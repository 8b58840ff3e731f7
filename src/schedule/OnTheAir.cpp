#include "console/Station.h"

namespace hourmark {

// Placeholder until the transmissions land.
void Station::Timer1_Timer() {}
void Station::cbHour_Click() {}
void Station::cbHalfHour_Click() {}
void Station::cbQuarterHour_Click() {}
void Station::cbFileHour_Click() {}
void Station::cbFileHalfHour_Click() {}
void Station::cbFileQuarterHour_Click() {}
void Station::AnnounceTime() {}
void Station::CMDTime_Click() {}
void Station::SendWavFile() {}
void Station::CMDFile_Click() {}
void Station::cmdFileSelect_Click() {}
void Station::WaitSeconds(std::int32_t seconds) {
    ports_.pause.WaitMilliseconds(static_cast<std::int64_t>(seconds) * 1000);
}
void Station::KillTime(const float& pauseTime) { (void)pauseTime; }
void Station::ELo_DTMFString(const std::string& sDigits) { (void)sDigits; }

}  // namespace hourmark
