// One day of a station's work that touches every file the program writes: start-up reads the
// settings, a link comes up and is logged, the operator renames a node in the node setup (a
// save) and makes sure "Hour" is ticked, the 11:00 slot goes on the air, the station list arrives
// (the node list file), the link drops (logged), the operator ticks "Half Hour", and the window is
// closed (a save). The fault drivers run it over a disk that fails in their own way and look at
// what it left behind.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "FilesRig.h"

namespace hourmark::native {

inline const std::string kWriteError = "Error Writing .INI File";
inline const std::string kMissingOrCorrupted =
    "The file HourMark.Ini is Missing or Corrupted\r\n"
    "    The program will create a new INI file.";
inline const std::string kNewIniCreated = "New INI File Created\r\n Reconfigure your setup";

// The program's own names of the files, as the files port sees them.
inline const std::string kIniPath = "C:\\HourMark\\hourmark.ini";
inline const std::string kBadIniPath = "C:\\HourMark\\hourmark.ini.bad";
inline const std::string kLogPath = "C:\\HourMark\\HourMarkLog.txt";
inline const std::string kNodeListPath = "C:\\HourMark/NodeList.xml";

// A settings file that reads without complaint: the hour ticked for the time, two nodes.
std::string StartingSettings();
// One that breaks off in the middle of the node table.
std::string DamagedSettings();

struct DayOutcome {
    bool ended = false;      // closing the window ended the program
    bool announced = false;  // the 11:00 slot went on the air
    std::vector<test::Message> messages;

    std::size_t Count(const std::string& text) const;
    // The message texts, in order.
    std::vector<std::string> Texts() const;
};

// Runs the day; beforeClose runs just before the window is closed.
DayOutcome RunDay(FilesRig& rig, const std::function<void()>& beforeClose = nullptr);

}  // namespace hourmark::native
