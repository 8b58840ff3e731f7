// The daily window of an auto-connect entry. Start, stop and the time of day are "hh:mm" texts
// compared as text, by character code, which is clock order only for two-digit 24-hour texts.
#pragma once

#include <string>

namespace hourmark {

// start < stop: inside from start to stop, both included; start > stop: the window spans
// midnight; start = stop: never inside.
bool InsideAutoConnectWindow(const std::string& start, const std::string& stop,
                             const std::string& now);

}  // namespace hourmark
