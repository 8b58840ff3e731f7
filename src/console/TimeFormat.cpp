#include "console/TimeFormat.h"

#include <string>

namespace hourmark {

namespace {

// Zero-padded to width; the fields are never negative. (The clock formats every second: no
// printf machinery for two digits.)
std::string Digits(int v, int width) {
    std::string out = std::to_string(v);
    if (out.size() < static_cast<std::size_t>(width)) {
        out.insert(0, static_cast<std::size_t>(width) - out.size(), '0');
    }
    return out;
}

std::string TwoDigits(int v) {
    return Digits(v % 100, 2);
}

bool StartsWith(std::string_view s, std::size_t at, std::string_view token) {
    return s.substr(at, token.size()) == token;
}

}  // namespace

std::string FormatTime(const LocalTime& t, std::string_view pattern, const std::string& am,
                       const std::string& pm) {
    const bool twelveHour = pattern.find("AMPM") != std::string_view::npos;
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    const int hour = twelveHour ? hour12 : t.hour;
    bool hourSeen = false;
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        if (StartsWith(pattern, i, "AMPM")) {
            out += t.hour < 12 ? am : pm;
            i += 4;
        } else if (StartsWith(pattern, i, "yyyy")) {
            out += Digits(t.year, 4);
            i += 4;
        } else if (StartsWith(pattern, i, "yy")) {
            out += TwoDigits(t.year);
            i += 2;
        } else if (StartsWith(pattern, i, "hh")) {
            out += TwoDigits(hour);
            hourSeen = true;
            i += 2;
        } else if (StartsWith(pattern, i, "H")) {
            out += std::to_string(hour);
            hourSeen = true;
            i += 1;
        } else if (StartsWith(pattern, i, "mm") || StartsWith(pattern, i, "MM")) {
            out += TwoDigits(hourSeen ? t.minute : t.month);
            i += 2;
        } else if (StartsWith(pattern, i, "dd")) {
            out += TwoDigits(t.day);
            i += 2;
        } else if (StartsWith(pattern, i, "ss")) {
            out += TwoDigits(t.second);
            i += 2;
        } else {
            out += pattern[i];
            i += 1;
        }
    }
    return out;
}

}  // namespace hourmark
