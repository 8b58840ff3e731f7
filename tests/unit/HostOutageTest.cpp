#include <gtest/gtest.h>

#include <string>

#include "CleanStart.h"
#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

// A station with two nodes and the hour ticked, whose EchoLink is about to die.
struct Outage : ::testing::Test {
    Rig rig;
    void SetUp() override {
        ASSERT_TRUE(StartClean(rig));
        rig.station.nodes[0].callsign = "QX2CD-L";
        rig.station.nodes[1].callsign = "QX3EF-L";
        rig.station.cbHour.SetValue(1);
        rig.host.ClearCalls();
    }
    void Die() {
        rig.host.gone = true;
        rig.host.running = false;
    }
    void Restart(const std::string& callsign = "QX7NEW-L") {
        rig.host.gone = false;
        rig.host.running = true;
        rig.host.callsign = callsign;
    }
    std::string Log() const { return rig.files.Text(rig.LogPath()); }
    std::size_t Creations() const { return rig.host.Count("CreateMainObject"); }
};

TEST_F(Outage, IsToldOnceAndAsksNothingOfTheDeadHostUntilItRunsAgain) {
    rig.clock.Set(2026, 12, 7, 10, 58, 0);
    Die();
    rig.RunFor(600);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    const std::string& text = rig.window.messages[0].text;
    EXPECT_EQ(text.find("EchoLink reported"), std::string::npos) << text;
    EXPECT_NE(text.find("EchoLink stopped answering in IsTransmitting: The RPC server is "
                        "unavailable (0x800706BA)\r\nHourMark carries on by itself"),
              std::string::npos)
        << text;
    EXPECT_NE(Log().find("HourMark lost EchoLink in IsTransmitting: The RPC server"),
              std::string::npos);
    // Ten minutes across the 11:00 slot and ten auto-connect ticks: not one call, not one box.
    rig.host.ClearCalls();
    rig.RunFor(10 * 60 * 1000);
    EXPECT_TRUE(rig.host.calls.empty()) << rig.host.calls.front();
    EXPECT_EQ(rig.window.messages.size(), 1u);

    // Back at 11:08: the 11:00 slot is not made up, and the next one is the station's again.
    Restart();
    rig.RunFor(60 * 1000);
    EXPECT_EQ(Creations(), 1u);
    EXPECT_EQ(rig.station.caption, "HourMark - QX7NEW-L - v 0.9.1");
    EXPECT_NE(Log().find("HourMark back with EchoLink: QX7NEW-L"), std::string::npos);
    EXPECT_EQ(rig.host.Count("IsConnectedTo(QX2CD-L)"), 1u) << "the buttons captioned afresh";
    EXPECT_TRUE(rig.host.CallsStartingWith("SpeakText").empty());
    rig.clock.Set(2026, 12, 7, 11, 59, 58);
    rig.RunFor(3000);
    EXPECT_FALSE(rig.host.CallsStartingWith("SpeakText").empty());
}

TEST_F(Outage, AttemptsComeQuicklyThenOnceAMinuteAndSoonerNeverAfterAQuickDeath) {
    Die();
    rig.host.running = true;  // EchoLink runs, and dies again at every creation
    rig.RunFor(3000);
    EXPECT_EQ(Creations(), 1u) << "within a few seconds";
    rig.RunFor(57 * 1000);
    EXPECT_LE(Creations(), 13u);
    const std::size_t afterFirstMinute = Creations();
    rig.RunFor(10 * 60 * 1000);
    EXPECT_EQ(Creations() - afterFirstMinute, 10u);

    // Back, then dead again within the minute: no quick attempts this time.
    Restart();
    rig.RunFor(60 * 1000);
    rig.host.gone = true;
    rig.RunFor(1000);
    const std::size_t atDeath = Creations();
    rig.RunFor(58 * 1000);
    EXPECT_EQ(Creations(), atDeath);
    rig.RunFor(2000);
    EXPECT_EQ(Creations(), atDeath + 1);
}

TEST_F(Outage, AnUnansweredBoxHoldsNothingUpAndStandsForTheNextOutageToo) {
    rig.station.cbAutoOverride.SetValue(1);
    int boxes = 0;
    rig.window.onMessage = [&](const Message&) {
        // Nobody answers: EchoLink comes back, dies again and comes back under the box.
        if (++boxes == 1) {
            Restart();
            rig.RunFor(5000);
            ASSERT_FALSE(rig.host.CallsStartingWith("SetupConfig.Callsign").empty());
            rig.host.gone = true;
            rig.RunFor(1000);
            Restart("QX8AGN-L");
            rig.RunFor(120 * 1000);
        }
    };
    Die();
    rig.RunFor(500);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(rig.station.caption, "HourMark - QX8AGN-L - v 0.9.1");
    EXPECT_EQ(rig.station.cbAutoOverride.value(), 1) << "the operator's choice stays";
    // A node button's failure is trapped, yet the next outage is told: in a box of its own.
    rig.host.gone = true;
    rig.station.NodeButtonMouseUp(0, kLeftButton);
    EXPECT_EQ(boxes, 2);
}

TEST_F(Outage, ClosingWhileGoneOrAfterComingBackSavesTheSettings) {
    Die();
    rig.RunFor(1000);
    EXPECT_EQ(EndsWith([&] { rig.station.Close(); }), 0);
    EXPECT_NE(rig.files.Text(rig.IniPath()).find("1,0,0"), std::string::npos);

    Rig again;
    ASSERT_TRUE(StartClean(again));
    again.station.cbHalfHour.SetValue(1);
    again.host.gone = true;
    again.RunFor(1000);
    again.host.gone = false;
    again.RunFor(5000);
    EXPECT_EQ(EndsWith([&] { again.station.HostClosing(); }), 0);
    EXPECT_NE(again.files.Text(again.IniPath()).find("0,1,0"), std::string::npos);

    // A reinstalled EchoLink whose events cannot be had ends HourMark as at start-up, saved.
    Rig reinstalled;
    ASSERT_TRUE(StartClean(reinstalled));
    reinstalled.host.gone = true;
    reinstalled.RunFor(1000);
    reinstalled.host.gone = false;
    reinstalled.host.eventsAvailable = false;
    EXPECT_EQ(EndsWith([&] { reinstalled.RunFor(5000); }), 1);
    EXPECT_NE(reinstalled.window.messages.back().text.find("events"), std::string::npos);
    EXPECT_EQ(reinstalled.files.replaceCount, 1);
}

}  // namespace
}  // namespace hourmark::test
