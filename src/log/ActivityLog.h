// Log lines: "mm/dd/yy hh:mm:ss" + " " + message. Control characters in the message are written
// in a visible escaped form, so one call is always exactly one line, whatever a callsign that
// came from the network holds.
#pragma once

#include <string>

namespace hourmark {

std::string EscapeLogMessage(const std::string& message);

}  // namespace hourmark
