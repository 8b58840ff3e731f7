// The eight remote nodes the station links with. Edited only by the node setup dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace hourmark {

struct NodeEntry {
    std::string callsign;       // empty when the entry is not in use
    std::int16_t autoFlag = 0;  // 1: linked automatically inside its daily window
    std::string startTime;      // "hh:mm", compared as text
    std::string stopTime;
    std::int32_t delay = 0;  // seconds to pause after an automatic connect attempt
};

constexpr int kNodeCount = 8;
using NodeTable = std::array<NodeEntry, kNodeCount>;

}  // namespace hourmark
