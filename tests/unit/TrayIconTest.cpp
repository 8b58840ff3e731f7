#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CleanStart.h"
#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

// A started station, hidden in the tray, with its window log emptied.
struct Tray : ::testing::Test {
    Rig rig;
    void SetUp() override {
        ASSERT_TRUE(StartClean(rig));
        rig.window.log.clear();
    }
    std::vector<std::string>& log() { return rig.window.log; }
};

TEST_F(Tray, LeftClickBringsTheWindowBackWhereItWasRecorded) {
    rig.station.LastTop = 300;
    rig.station.LastLeft = 450;
    rig.window.top = 300;
    rig.window.left = 450;
    rig.station.TrayCallback(kTrayLeftUp);
    EXPECT_EQ(log(), (std::vector<std::string>{"SetVisible(true)", "SetWindowState(Normal)",
                                               "SetVisible(true)", "SetForeground", "ShowModeless",
                                               "SetTop(300)", "SetLeft(450)"}));
    EXPECT_TRUE(rig.window.shown);
    EXPECT_EQ(rig.window.state, WindowState::Normal);
}

TEST_F(Tray, RestoringRecordsTheRestoredPositionRounded) {
    // The window comes back at its own place; the restore records it, halves to even.
    rig.window.top = 120.5;
    rig.window.left = 1001.5;
    rig.station.TrayCallback(kTrayLeftUp);
    EXPECT_EQ(rig.station.LastTop, 120);
    EXPECT_EQ(rig.station.LastLeft, 1002);
    EXPECT_EQ(rig.window.top, 120);
    EXPECT_EQ(rig.window.left, 1002);
}

TEST_F(Tray, ALeftClickOnTheShownWindowPutsItBackAtTheRecordedPlace) {
    rig.window.top = 200;
    rig.window.left = 100;
    rig.station.TrayCallback(kTrayLeftUp);
    // The operator drags the window; moving records nothing.
    rig.window.top = 2400;
    rig.window.left = 3600;
    log().clear();
    rig.station.TrayCallback(kTrayLeftUp);
    // The state does not change, so no resize runs: the window goes back.
    EXPECT_EQ(log(), (std::vector<std::string>{"SetVisible(true)", "SetWindowState(Normal)",
                                               "SetForeground", "ShowModeless", "SetTop(200)",
                                               "SetLeft(100)"}));
    EXPECT_EQ(rig.station.LastTop, 200);
    EXPECT_EQ(rig.station.LastLeft, 100);
}

TEST_F(Tray, DoubleClickSkipsOnlyTheFirstStep) {
    rig.window.top = 60;
    rig.window.left = 75;
    rig.station.TrayCallback(kTrayLeftDoubleClick);
    EXPECT_EQ(log(), (std::vector<std::string>{"SetWindowState(Normal)", "SetVisible(true)",
                                               "SetForeground", "ShowModeless", "SetTop(60)",
                                               "SetLeft(75)"}));
    EXPECT_TRUE(rig.window.shown);
}

TEST_F(Tray, ADoubleClicksThreeMessagesEndLikeOneClick) {
    Rig once;
    ASSERT_TRUE(StartClean(once));
    for (Rig* r : {&rig, &once}) {
        r->window.top = 480.5;
        r->window.left = 33;
    }
    once.station.TrayCallback(kTrayLeftUp);
    for (int code : {kTrayLeftUp, kTrayLeftDoubleClick, kTrayLeftUp}) {
        rig.station.TrayCallback(code);
    }
    EXPECT_EQ(rig.window.shown, once.window.shown);
    EXPECT_EQ(rig.window.state, once.window.state);
    EXPECT_EQ(rig.window.top, once.window.top);
    EXPECT_EQ(rig.window.left, once.window.left);
    EXPECT_EQ(rig.station.LastTop, once.station.LastTop);
    EXPECT_EQ(rig.station.LastLeft, once.station.LastLeft);
    EXPECT_EQ(rig.window.Count("SetForeground"), 3u);
}

TEST_F(Tray, RightClickRecordsThePositionAndMinimises) {
    rig.station.TrayCallback(kTrayLeftUp);
    rig.window.top = 999.5;
    rig.window.left = 14.5;
    log().clear();
    rig.station.TrayCallback(kTrayRightUp);
    EXPECT_EQ(rig.station.LastTop, 1000);
    EXPECT_EQ(rig.station.LastLeft, 14);
    EXPECT_EQ(log(), (std::vector<std::string>{"SetWindowState(Minimised)", "SetVisible(false)"}));
    EXPECT_FALSE(rig.window.shown);
    // And a left click brings it back there.
    rig.station.TrayCallback(kTrayLeftUp);
    EXPECT_EQ(rig.window.top, 1000);
    EXPECT_EQ(rig.window.left, 14);
}

TEST_F(Tray, WithADialogOpenTheWindowIsNeitherShownOverItNorMinimised) {
    for (Dialog d : {Dialog::NodeSetup, Dialog::WavPicker}) {
        rig.window.showing = {d};
        rig.window.state = WindowState::Minimised;
        rig.window.shown = false;
        rig.window.top = 40;
        rig.window.left = 50;
        rig.station.LastTop = 700;
        rig.station.LastLeft = 800;
        log().clear();
        rig.station.TrayCallback(kTrayLeftUp);
        // Visible, normal and in front, but not shown again or moved.
        EXPECT_EQ(log(), (std::vector<std::string>{"SetVisible(true)", "SetWindowState(Normal)",
                                                   "SetVisible(true)", "SetForeground"}));
        log().clear();
        rig.station.TrayCallback(kTrayLeftDoubleClick);
        EXPECT_EQ(log(), (std::vector<std::string>{"SetWindowState(Normal)", "SetForeground"}));

        rig.window.top = 1500.5;
        rig.window.left = 2500.5;
        log().clear();
        rig.station.TrayCallback(kTrayRightUp);
        EXPECT_TRUE(log().empty());
        EXPECT_EQ(rig.station.LastTop, 1500);
        EXPECT_EQ(rig.station.LastLeft, 2500);
        EXPECT_EQ(rig.window.state, WindowState::Normal);
    }
}

TEST_F(Tray, EveryOtherCodeChangesNothing) {
    rig.window.top = 10;
    rig.window.left = 20;
    for (int code : {0x200, 0x201, 0x204, 0x206, 0x207, 0x208, 0x209, 0x20A, 0, 514 + 0x10000}) {
        rig.station.TrayCallback(code);
        EXPECT_TRUE(log().empty()) << std::hex << code;
    }
    EXPECT_EQ(rig.station.LastTop, 0);
    EXPECT_EQ(rig.station.LastLeft, 0);
    EXPECT_FALSE(rig.window.shown);
}

}  // namespace
}  // namespace hourmark::test
