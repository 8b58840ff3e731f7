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

#include "PosixFiles.h"
#include "fakes/FakePorts.h"

namespace hourmark::native {
namespace {

class NoPause : public Pause {
public:
    void WaitMilliseconds(std::int64_t) override {}
};

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Builds a station over real files in dir, with node 0's callsign set to the given text.
struct Saver {
    explicit Saver(const std::string& dir) : files(dir) {}
    test::FakeHost host;
    test::FakeClock clock;
    test::FakeWindow window;
    NoPause pause;
    PosixFiles files;
    Station station{Ports{host, clock, window, pause, files}};
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
    constexpr int kKills = 200;
    for (int i = 0; i < kKills; ++i) {
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
        const auto ini = dir / "hourmark.ini";
        if (!std::filesystem::exists(ini)) {
            continue;  // killed before the very first save of this round finished
        }
        const std::string now = ReadFile(ini);
        ASSERT_TRUE(now == a || now == b || now == initial) << "kill " << i << " left:\n" << now;
        sawA += now == a ? 1 : 0;
        sawB += now == b ? 1 : 0;
    }
    // Both texts were caught on disk, so the kills really landed among the saves.
    std::printf("kills: %d left the first text, %d the second\n", sawA, sawB);
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace hourmark::native
