#include "console/Station.h"

namespace hourmark {

// Placeholder until the settings file lands.
void Station::ReadINIFile() {}
void Station::WriteIniFile() {}

}  // namespace hourmark
