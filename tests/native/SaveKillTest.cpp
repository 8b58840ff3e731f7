// A save killed at random moments: whatever moment the kill hits, the settings file on disk is
// the complete old text or the complete new one, never a mix or nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "FilesRig.h"
#include "PosixFiles.h"

namespace hourmark::native {
namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A station over real files in dir.
struct Saver {
    explicit Saver(const std::string& dir) : files(dir) {}
    PosixFiles files;
    FilesRig rig{files};
    Station& station = rig.station;
};

std::string TextFor(const std::string& dir, const std::string& callsign) {
    const auto scratch = std::filesystem::path(dir) / "scratch";
    std::filesystem::create_directories(scratch);
    Saver s(scratch.string());
    s.station.Start();
    s.station.nodes[0].callsign = callsign;
    s.station.WriteIniFile();
    return ReadFile(scratch / "hourmark.ini");
}

TEST(SettingsSave, KilledAtRandomMomentsLeavesOneCompleteFile) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("hourmark-kill-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string a = TextFor(dir.string(), "QX1AA-L");
    const std::string b = TextFor(dir.string(), "QX2BB-R");
    ASSERT_NE(a, b);
    ASSERT_EQ(a.size(), b.size());
    const std::string initial = TextFor(dir.string(), "");

    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    int sawA = 0;
    int sawB = 0;
    int sawInitial = 0;
    int beforeFirstSave = 0;
    int insideASave = 0;
    constexpr int kKills = 200;
    const auto ini = dir / "hourmark.ini";
    const auto temp = dir / "hourmark.ini.new";
    for (int i = 0; i < kKills; ++i) {
        std::filesystem::remove(temp);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Saver s(dir.string());
            s.station.Start();
            for (long n = 0;; ++n) {
                s.station.nodes[0].callsign = (n % 2 == 0) ? "QX1AA-L" : "QX2BB-R";
                s.station.WriteIniFile();
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(1000 + delayUs(rng)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "kill " << i;
        // A new text begun beside the file and never put in its place: the kill hit a save.
        insideASave += std::filesystem::exists(temp) ? 1 : 0;
        if (!std::filesystem::exists(ini)) {
            ++beforeFirstSave;  // killed before the very first save of all finished
            continue;
        }
        const std::string now = ReadFile(ini);
        ASSERT_TRUE(now == a || now == b || now == initial) << "kill " << i << " left:\n" << now;
        sawA += now == a ? 1 : 0;
        sawB += now == b ? 1 : 0;
        sawInitial += now == initial ? 1 : 0;
    }
    std::printf(
        "kills: %d, of them %d inside a save (its new text half-made beside the file); the file "
        "then held the first text %d times, the second %d, the first start's %d, none yet %d\n",
        kKills, insideASave, sawA, sawB, sawInitial, beforeFirstSave);
    // Both texts were caught on disk and saves were cut short, so the kills really landed among
    // the saves.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    EXPECT_GT(insideASave, 0);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace hourmark::native
