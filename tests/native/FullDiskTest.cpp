// A full disk under the program directory. Each write of a station's day fails in turn, once or
// from then on: every failed save shows "Error Writing .INI File" once and nothing else does,
// the file on disk is still the last one that was saved whole, and the station goes on with its
// day. A damaged settings file is never lost to the rebuilt one, whichever write fails. And on a
// real, tiny tmpfs that fills up, the same holds for real files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PosixFiles.h"
#include "PrivateMount.h"
#include "StationDay.h"

namespace hourmark::native {
namespace {

struct Write {
    std::string path;
    std::string text;
    bool failed;
    bool operator==(const Write&) const = default;
};

struct FakeDay {
    test::FakeFiles files;
    std::vector<Write> writes;  // every write tried, in order
    DayOutcome outcome;
};

// The day over fake files that start with the given settings; fails(n) makes write n fail.
using Fails = std::function<bool(int n, const std::string& path)>;

std::unique_ptr<FakeDay> RunFakeDay(const std::string& settings, const Fails& fails) {
    auto day = std::make_unique<FakeDay>();
    day->files.files[kIniPath] = settings;
    day->files.failWrite = [d = day.get(), fails](int n, const std::string& path,
                                                  const std::string& text) {
        d->writes.push_back({path, text, fails(n, path)});
        return d->writes.back().failed;
    };
    FilesRig rig(day->files);
    day->outcome = RunDay(rig);
    return day;
}

std::vector<std::string> Paths(const std::vector<Write>& writes) {
    std::vector<std::string> out;
    for (const auto& w : writes) {
        out.push_back(w.path);
    }
    return out;
}

// What the disk holds after the writes that went through, from the given start.
std::map<std::string, std::string> Through(const std::vector<Write>& writes,
                                           std::map<std::string, std::string> disk) {
    for (const auto& w : writes) {
        if (w.failed) {
            continue;
        }
        if (w.path == kLogPath) {
            disk[w.path] += w.text;
        } else {
            disk[w.path] = w.text;
        }
    }
    return disk;
}

Fails FullFrom(int n) {
    return [n](int k, const std::string&) { return k >= n; };
}
Fails OnlyAt(int n) {
    return [n](int k, const std::string&) { return k == n; };
}
Fails Never() {
    return [](int, const std::string&) { return false; };
}

TEST(FullDisk, EachWriteOfTheDayFailingInTurn) {
    const auto clean = RunFakeDay(StartingSettings(), Never());
    ASSERT_TRUE(clean->outcome.ended);
    ASSERT_TRUE(clean->outcome.announced);
    ASSERT_TRUE(clean->outcome.messages.empty());
    // The log twice, the node setup's save, the node list, the closing save.
    ASSERT_EQ(Paths(clean->writes),
              (std::vector<std::string>{kLogPath, kIniPath, kNodeListPath, kLogPath, kIniPath}));

    const int total = static_cast<int>(clean->writes.size());
    for (bool stays : {true, false}) {
        for (int n = 1; n <= total; ++n) {
            SCOPED_TRACE((stays ? "disk full from write " : "only write ") + std::to_string(n));
            const auto day = RunFakeDay(StartingSettings(), stays ? FullFrom(n) : OnlyAt(n));
            EXPECT_TRUE(day->outcome.ended);
            EXPECT_TRUE(day->outcome.announced);

            // The station goes on as if nothing had happened: the same writes with the same
            // texts (a failed save changes nothing in memory), and one message per failed save.
            ASSERT_EQ(day->writes.size(), clean->writes.size());
            std::size_t failedSaves = 0;
            for (std::size_t i = 0; i < day->writes.size(); ++i) {
                EXPECT_EQ(day->writes[i].path, clean->writes[i].path) << "write " << i + 1;
                EXPECT_EQ(day->writes[i].text, clean->writes[i].text) << "write " << i + 1;
                failedSaves += day->writes[i].failed && day->writes[i].path == kIniPath ? 1u : 0u;
            }
            EXPECT_EQ(day->outcome.messages.size(), failedSaves);
            EXPECT_EQ(day->outcome.Count(kWriteError), failedSaves);
            for (const auto& m : day->outcome.messages) {
                EXPECT_EQ(m.title, "File Error");
                EXPECT_EQ(m.icon, MessageIcon::Information);
            }
            // Every file is what its last whole write left: the settings file the last save
            // that went through, or the one the day began with.
            EXPECT_EQ(day->files.files, Through(day->writes, {{kIniPath, StartingSettings()}}));
        }
    }
}

TEST(FullDisk, ADamagedSettingsFileIsNeverLostWhicheverWriteFails) {
    const std::string damaged = DamagedSettings();
    const auto clean = RunFakeDay(damaged, Never());
    ASSERT_TRUE(clean->outcome.ended);
    // Copied aside, then rebuilt, then the day's own writes.
    ASSERT_GE(clean->writes.size(), 7u);
    EXPECT_EQ(clean->writes[0].path, kBadIniPath);
    EXPECT_EQ(clean->writes[1].path, kIniPath);
    EXPECT_EQ(clean->files.Text(kBadIniPath), damaged);

    // Each write failing in turn, once or from then on; and the copy alone never going through
    // (a stale read-only copy in the way) while the settings file itself could be written.
    std::vector<std::pair<std::string, Fails>> ways;
    for (int n = 1; n <= static_cast<int>(clean->writes.size()); ++n) {
        ways.emplace_back("disk full from write " + std::to_string(n), FullFrom(n));
        ways.emplace_back("only write " + std::to_string(n), OnlyAt(n));
    }
    ways.emplace_back("every copy aside",
                      [](int, const std::string& path) { return path == kBadIniPath; });
    for (const auto& [name, fails] : ways) {
        SCOPED_TRACE(name);
        const auto day = RunFakeDay(damaged, fails);
        EXPECT_TRUE(day->outcome.ended);
        EXPECT_TRUE(day->outcome.announced);
        // The operator's damaged file is still there, in its place or in the copy.
        const bool kept =
            day->files.Text(kIniPath) == damaged || day->files.Text(kBadIniPath) == damaged;
        EXPECT_TRUE(kept) << "settings now:\n"
                          << day->files.Text(kIniPath) << "\ncopy:\n"
                          << day->files.Text(kBadIniPath);
        // The settings file is never replaced before the copy is safe.
        bool copied = false;
        for (const auto& w : day->writes) {
            copied = copied || (w.path == kBadIniPath && !w.failed);
            if (w.path == kIniPath && !w.failed) {
                EXPECT_TRUE(copied) << "the damaged file was replaced before it was kept";
            }
        }
        // Told of the damage first; every failed save reported; nothing else said.
        ASSERT_FALSE(day->outcome.messages.empty());
        EXPECT_EQ(day->outcome.messages.front().text, kMissingOrCorrupted);
        std::size_t failedSaves = 0;
        for (const auto& w : day->writes) {
            failedSaves += w.failed && w.path == kIniPath ? 1u : 0u;
        }
        EXPECT_GE(day->outcome.Count(kWriteError), failedSaves);
        for (const auto& text : day->outcome.Texts()) {
            EXPECT_TRUE(text == kMissingOrCorrupted || text == kNewIniCreated ||
                        text == kWriteError)
                << text;
        }
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The lines of a text, each with its CR LF; a last one without it as it is.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find("\r\n", from);
        const std::size_t next = end == std::string::npos ? text.size() : end + 2;
        out.push_back(text.substr(from, next - from));
        from = next;
    }
    return out;
}

// Writes until the file system takes no more.
void FillUp(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
}

TEST(FullDisk, ATinyTmpfsThatFillsUpKeepsTheSettingsAndTheLogWhole) {
    // What the same day leaves in the settings file when nothing fails.
    const auto clean = RunFakeDay(StartingSettings(), Never());
    const std::string savedAtClose = clean->files.Text(kIniPath);
    const std::string oldLog = "12/06/26 23:59:00 <EchoLink> connected: QX2BB-R\r\n";

    const MountOutcome outcome = WithPrivateTmpfs("size=64k", [&](Tmpfs& fs) {
        const std::string ini = fs.dir() + "/hourmark.ini";
        const std::string log = fs.dir() + "/HourMarkLog.txt";
        const std::string filler = fs.dir() + "/filler";
        WriteFile(ini, StartingSettings());
        WriteFile(log, oldLog);
        FillUp(filler);

        PosixFiles files(fs.dir());
        FilesRig rig(files);
        // The node setup's save meets the full disk; before the close, room is made again.
        const DayOutcome day = RunDay(rig, [&] {
            EXPECT_EQ(ReadFile(ini), StartingSettings()) << "the failed save touched the file";
            std::filesystem::remove(filler);
        });
        EXPECT_TRUE(day.ended);
        EXPECT_TRUE(day.announced);
        EXPECT_EQ(day.Texts(), std::vector<std::string>{kWriteError});
        EXPECT_EQ(ReadFile(ini), savedAtClose);
        EXPECT_FALSE(std::filesystem::exists(ini + ".new")) << "a half-written save was left";

        // The log holds whole lines only: the old one, then whatever of the day's still fitted.
        const std::string text = ReadFile(log);
        ASSERT_FALSE(text.empty());
        ASSERT_EQ(text.substr(text.size() - 2), "\r\n") << "the log ends in half a line";
        const std::vector<std::string> lines = Lines(text);
        ASSERT_EQ(lines.front(), oldLog);
        const std::vector<std::string> dayLines = Lines(clean->files.Text(kLogPath));
        for (std::size_t i = 1; i < lines.size(); ++i) {
            EXPECT_NE(std::find(dayLines.begin(), dayLines.end(), lines[i]), dayLines.end())
                << "not a whole line of the day: " << lines[i];
        }
        // The node list is there whole, or not at all.
        const std::string nodeList = fs.dir() + "/NodeList.xml";
        if (std::filesystem::exists(nodeList)) {
            EXPECT_EQ(ReadFile(nodeList), clean->files.Text(kNodeListPath));
        }
    });
    if (!outcome.ran) {
        GTEST_SKIP() << "no tmpfs of its own could be mounted here (" << outcome.why
                     << "); the fake full disk above still ran";
    }
    EXPECT_TRUE(outcome.passed) << outcome.why;
}

}  // namespace
}  // namespace hourmark::native
