// A program directory that takes no writes at all: a first start with no settings file, a start
// on a good one and a start on a damaged one. The log is skipped without a word, the settings
// messages are shown (the write error at every save), the files that were there stay as they
// were, and the station's day goes on to its end. Run over the fake files port, and on a real
// read-only mount where the test may mount one (root ignores file modes, so chmod proves
// nothing in CI); the real run must show exactly what the fake one shows.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "PrivateMount.h"
#include "StationDay.h"

namespace hourmark::native {
namespace {

using Texts = std::vector<std::string>;

// A start on a missing or damaged file: told, the rebuild refused, told to reconfigure.
const Texts kUnreadable = {kMissingOrCorrupted, kWriteError, kNewIniCreated};

struct Case {
    const char* name;
    std::optional<std::string> settings;  // the settings file in the directory, if any
    Texts messages;                       // what the operator is shown through the day
};

std::vector<Case> Cases() {
    auto join = [](std::vector<Texts> parts) {
        Texts out;
        for (const auto& p : parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    // Start-up reads the file, the node setup reads it again on opening, its OK saves, and so
    // does the close.
    return {
        {"first start", std::nullopt,
         join({kUnreadable, kUnreadable, {kWriteError}, {kWriteError}})},
        {"good settings", StartingSettings(), {kWriteError, kWriteError}},
        {"damaged settings", DamagedSettings(),
         join({kUnreadable, kUnreadable, {kWriteError}, {kWriteError}})},
    };
}

TEST(ReadOnlyDirectory, OverTheFakeFilesPort) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        test::FakeFiles files;
        if (c.settings) {
            files.files[kIniPath] = *c.settings;
        }
        const auto before = files.files;
        files.failWrite = [](int, const std::string&, const std::string&) { return true; };
        FilesRig rig(files);
        const DayOutcome day = RunDay(rig);

        EXPECT_TRUE(day.ended);
        EXPECT_TRUE(day.announced);
        EXPECT_EQ(day.Texts(), c.messages);
        EXPECT_EQ(files.files, before);
        EXPECT_GT(files.writes, 0);
    }
}

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file in the directory with its text.
std::map<std::string, std::string> Contents(const std::string& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        out[e.path().filename().string()] = ReadFile(e.path());
    }
    return out;
}

TEST(ReadOnlyDirectory, OnARealReadOnlyMount) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const MountOutcome outcome = WithPrivateTmpfs("size=256k", [&c](Tmpfs& fs) {
            if (c.settings) {
                std::ofstream(fs.dir() + "/hourmark.ini", std::ios::binary) << *c.settings;
            }
            ASSERT_TRUE(fs.RemountReadOnly()) << std::strerror(errno);
            // The mount really refuses writes, also to root.
            const int fd = ::open((fs.dir() + "/probe").c_str(), O_WRONLY | O_CREAT, 0644);
            ASSERT_LT(fd, 0) << "the read-only mount took a write";
            ASSERT_EQ(errno, EROFS);
            const auto before = Contents(fs.dir());

            PosixFiles files(fs.dir());
            FilesRig rig(files);
            const DayOutcome day = RunDay(rig);
            EXPECT_TRUE(day.ended);
            EXPECT_TRUE(day.announced);
            EXPECT_EQ(day.Texts(), c.messages);
            EXPECT_EQ(Contents(fs.dir()), before);
        });
        if (!outcome.ran) {
            GTEST_SKIP() << "no read-only mount of its own could be made here (" << outcome.why
                         << "); the fake read-only directory above still ran";
        }
        EXPECT_TRUE(outcome.passed) << outcome.why;
    }
}

}  // namespace
}  // namespace hourmark::native
