#include <gtest/gtest.h>

#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

TEST(StartUp, CallsTheHostInOrderAndEndsHiddenWithTheTrayIcon) {
    Rig rig;
    rig.host.linked.insert("QX9ZZ-R");
    ASSERT_FALSE(rig.Start().has_value());
    const std::vector<std::string> head(rig.host.calls.begin(), rig.host.calls.begin() + 4);
    EXPECT_EQ(head, (std::vector<std::string>{"CreateMainObject", "CreateSetupConfig",
                                              "SetupConfig.Callsign", "SetupConfig.Callsign"}));
    EXPECT_EQ(rig.station.caption, "HourMark - QX1AB-L - v 0.9.1");
    EXPECT_TRUE(rig.window.trayIcon);
    EXPECT_EQ(rig.window.trayTip, "HourMark");
    EXPECT_EQ(rig.window.state, WindowState::Minimised);
    EXPECT_FALSE(rig.window.shown);
    EXPECT_EQ(rig.station.cbAutoOverride.value(), 0);
    // The tray icon comes before the window is minimised.
    auto pos = [&](const std::string& e) {
        return std::find(rig.window.log.begin(), rig.window.log.end(), e) - rig.window.log.begin();
    };
    EXPECT_LT(pos("AddTrayIcon"), pos("SetTrayTip(HourMark)"));
    EXPECT_LT(pos("SetTrayTip(HourMark)"), pos("SetWindowState(Minimised)"));
}

TEST(StartUp, OnlyTheExactOwnCallsignDisablesAutoConnects) {
    for (const auto& [call, expected] : std::vector<std::pair<std::string, int>>{
             {"QX2CD-L", 1}, {"qx2cd-l", 0}, {"QX2CD-R", 0}, {"QX2CD-L ", 0}}) {
        Rig rig;
        rig.host.callsign = call;
        rig.Start();
        EXPECT_EQ(rig.station.cbAutoOverride.value(), expected) << call;
    }
}

TEST(StartUp, WithoutAHostShowsOneMessageAndEndsWithoutTouchingTheSettings) {
    for (bool mainMissing : {true, false}) {
        Rig rig;
        rig.host.mainObjectAvailable = !mainMissing;
        rig.host.setupConfigAvailable = mainMissing;  // the other one fails in the second round
        auto exit = rig.Start();
        ASSERT_TRUE(exit.has_value());
        EXPECT_NE(*exit, 0);
        ASSERT_EQ(rig.window.messages.size(), 1u);
        EXPECT_EQ(rig.window.messages[0].icon, MessageIcon::Stop);
        EXPECT_TRUE(rig.files.files.empty());
        EXPECT_FALSE(rig.window.trayIcon);
        // Nothing runs after a failed start.
        rig.station.Tick(Timer::Timer1);
        rig.station.HostDTMFString("000*");
        EXPECT_EQ(rig.window.messages.size(), 1u);
    }
}

TEST(Clock, LabelShowsTwentyFourHourTime) {
    Rig rig;
    rig.Start();
    rig.clock.Set(2026, 12, 7, 23, 59, 59, 500);
    rig.RunFor(1000);
    EXPECT_EQ(rig.station.lblTime.text(), "00:00:00");
    rig.RunFor(1000);
    EXPECT_EQ(rig.station.lblTime.text(), "00:00:01");
    rig.clock.Set(2026, 12, 8, 13, 0, 0, 0);
    rig.RunFor(1000);
    EXPECT_EQ(rig.station.lblTime.text(), "13:00:01");
}

}  // namespace
}  // namespace hourmark::test
