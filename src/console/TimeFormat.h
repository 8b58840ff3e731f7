// Date and time patterns: "hh:mm:ss", "hh:mm", "mm/dd/yy hh:mm:ss", "yyyy_mm_dd_hhmmss",
// "H MM AMPM" and "H AMPM". Hours are on the 24-hour clock unless the pattern holds AMPM; "mm"
// after an hour field is minutes, elsewhere the month; every two-letter field is zero-padded.
#pragma once

#include <string>
#include <string_view>

#include "console/Clock.h"

namespace hourmark {

std::string FormatTime(const LocalTime& t, std::string_view pattern, const std::string& am,
                       const std::string& pm);

}  // namespace hourmark
