#include "log/ActivityLog.h"

#include <cstddef>
#include <cstdio>

#include "console/Station.h"

namespace hourmark {

std::string EscapeLogMessage(const std::string& message) {
    std::string out;
    out.reserve(message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        const auto u = static_cast<unsigned char>(message[i]);
        const auto next = i + 1 < message.size() ? static_cast<unsigned char>(message[i + 1]) : 0;
        char buf[8];
        if (u == '\r') {
            out += "\\r";
        } else if (u == '\n') {
            out += "\\n";
        } else if (u == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else if (u == 0xC2 && next >= 0x80 && next <= 0x9F) {
            // The second set of control characters (NEL among them) in UTF-8.
            std::snprintf(buf, sizeof buf, "\\u%04X", next);
            out += buf;
            ++i;
        } else if (u == 0xE2 && next == 0x80 && i + 2 < message.size() &&
                   (message[i + 2] == '\xA8' || message[i + 2] == '\xA9')) {
            // The line and paragraph separators, which some viewers break lines at.
            out += message[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out += message[i];
        }
    }
    return out;
}

void Station::WriteLog(const std::string& message) {
    const std::string path = ProgramDirectory() + "\\HourMarkLog.txt";
    const std::string line =
        FormatNow("mm/dd/yy hh:mm:ss") + " " + EscapeLogMessage(message) + "\r\n";
    // The log never stands in the way: a line that cannot be written is lost without a word.
    (void)ports_.files.AppendText(path, line);
}

}  // namespace hourmark
