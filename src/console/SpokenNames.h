// What a screen reader says of a control whose own text does not say it all: the main window's
// controls (in the order of Control, beside their table), the node setup's boxes and the WAV
// picker's lists. The meaning comes from the station's model; the Windows layer hands it out.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "console/ControlTable.h"

namespace hourmark {

// The fixed part of a control's name, or null where its window text is its name. A node button
// is named by its number; its callsign and whether it is linked come from the station.
inline constexpr std::array<const char*, kControlCount> kSpokenNames{{
    nullptr,                    // Caption
    nullptr,                    // Label1
    "Xmit Time: Hour",          // cbHour
    "Xmit Time: Half Hour",     // cbHalfHour
    "Xmit Time: Quarter Hour",  // cbQuarterHour
    "Xmit File: Hour",          // cbFileHour
    "Xmit File: Half Hour",     // cbFileHalfHour
    "Xmit File: Quarter Hour",  // cbFileQuarterHour
    "Fan: RTS",                 // FanRTS
    "Fan: DTR",                 // FanDTR
    nullptr,                    // CMDFile
    nullptr,                    // CMDTime
    "Transmit indicator",       // XMIT_LED
    "WAV file to send",         // tbFileName
    "Select WAV file",          // cmdFileSelect
    "Node 1",                   // cmdRemoteNode0 .. 7
    "Node 2",
    "Node 3",
    "Node 4",
    "Node 5",
    "Node 6",
    "Node 7",
    "Node 8",
    nullptr,  // cbAutoOverride
    nullptr,  // lblTime
    nullptr,  // cbRecordStart
    nullptr,  // cbRecordStop
    nullptr,  // cbRecordPlayback
}};
// Kept in step with Control: a reader must never hear one control by another's name.
static_assert(std::string_view(kSpokenNames[static_cast<std::size_t>(Control::XMIT_LED)]) ==
              "Transmit indicator");
static_assert(std::string_view(kSpokenNames[static_cast<std::size_t>(Control::cmdRemoteNode7)]) ==
              "Node 8");
static_assert(kSpokenNames.back() == nullptr);

struct Spoken {
    std::string name;   // empty: the control's own text
    std::string value;  // empty: none of ours
};

// The name and value of a main-window control as the station stands now: the indicator "busy"
// or "idle", a node button "Node 3: QX2CD-L, linked", "..., not linked" or "Node 6: empty".
Spoken SpokenControl(const Station& station, Control control);

// A node button shows a linked node by the mark after its callsign.
bool NodeLinked(const Station& station, int index);

// The columns of the node setup, in the words a reader says after the row: "Node 1 call".
enum class NodeSetupColumn { Call, Start, Stop, Delay, Auto };
std::string NodeSetupBoxName(int row, NodeSetupColumn column);

// The WAV picker's three lists.
inline constexpr const char* kDriveListName = "Drive";
inline constexpr const char* kFolderListName = "Folders";
inline constexpr const char* kFileListName = "WAV files";

}  // namespace hourmark
