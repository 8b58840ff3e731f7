// A station started on a settings file that reads without complaint, so that a test sees only
// what it looks at; and a way to run something that may end the program.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "fakes/FakePorts.h"

namespace hourmark::test {

// A complete settings file: nothing scheduled, no file, no nodes, the fan boxes as given.
inline std::string SettingsText(int fanRts = 0, int fanDtr = 0) {
    std::string text = "0,0,0\r\n0,0,0\r\n\r\n\r\n";
    text += " " + std::to_string(fanRts) + " \r\n";
    text += " " + std::to_string(fanDtr) + " \r\n";
    for (int i = 0; i < kNodeCount; ++i) {
        text += ",0,,,0\r\n";
    }
    for (int i = 0; i < 50; ++i) {
        text += "\r\n";
    }
    return text;
}

// Starts the rig on that file; false (with a test failure) if the program ended instead.
inline bool StartClean(Rig& rig, int fanRts = 0, int fanDtr = 0) {
    rig.files.files[rig.IniPath()] = SettingsText(fanRts, fanDtr);
    const auto exit = rig.Start();
    EXPECT_FALSE(exit.has_value()) << "the program ended during start-up";
    return !exit.has_value();
}

// Runs f; the exit code if the program ended inside it.
inline std::optional<int> EndsWith(const std::function<void()>& f) {
    try {
        f();
    } catch (const ProgramEnded& e) {
        return e.exitCode;
    }
    return std::nullopt;
}

// From now on every host call also goes into the window's log as "host:<operation>", so that one
// list shows what the host and the window saw, in order.
inline void MergeHostCallsIntoWindowLog(Rig& rig) {
    rig.host.onCall = [&rig](const std::string& operation) {
        rig.window.log.push_back("host:" + operation);
    };
}

}  // namespace hourmark::test
