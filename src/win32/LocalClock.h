// The station's clock: the local time of day and the user's own AM/PM designators.
#pragma once

#include "console/Clock.h"

namespace hourmark::win32 {

class LocalClock : public Clock {
public:
    LocalTime Now() override;
    std::string AmDesignator() override;
    std::string PmDesignator() override;
};

}  // namespace hourmark::win32
