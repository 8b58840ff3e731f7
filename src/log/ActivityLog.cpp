#include "log/ActivityLog.h"

#include <cstdio>

#include "console/Station.h"

namespace hourmark {

std::string EscapeLogMessage(const std::string& message) {
    std::string out;
    out.reserve(message.size());
    for (char c : message) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out;
}

void Station::WriteLog(const std::string& message) {
    const std::string path = ProgramDirectory() + "\\HourMarkLog.txt";
    const std::string line = FormatNow("mm/dd/yy hh:mm:ss") + " " + EscapeLogMessage(message) + "\r\n";
    // The log never stands in the way: a line that cannot be written is lost without a word.
    (void)ports_.files.AppendText(path, line);
}

}  // namespace hourmark
