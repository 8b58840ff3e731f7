#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CleanStart.h"
#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

using Calls = std::vector<std::string>;

// A started station with only the fan timer running.
struct Fan : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.enabledTimers = {Timer::FanTimer};
        ASSERT_TRUE(StartClean(rig));
        rig.host.ClearCalls();
    }
    // One fan tick; what it asked of the host.
    Calls Tick() {
        rig.host.ClearCalls();
        rig.RunFor(500);
        return rig.host.calls;
    }
};

TEST_F(Fan, BothLinesFollowTheTransmitterRtsFirstOnEveryTick) {
    rig.station.Click(Control::FanRTS);
    rig.station.Click(Control::FanDTR);
    rig.host.transmitting = true;
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(true)", "SetDtr(true)"}));
    // Re-asserted although nothing changed.
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(true)", "SetDtr(true)"}));
    rig.host.transmitting = false;
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(false)", "SetDtr(false)"}));
}

TEST_F(Fan, OnlyTickedBoxesAreDrivenAndAGreyedOneCountsAsNotTicked) {
    rig.host.transmitting = true;
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting"}));
    rig.station.FanDTR.SetValue(1);
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetDtr(true)"}));
    rig.station.FanRTS.SetValue(2);
    rig.station.FanDTR.SetValue(2);
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting"}));
    rig.station.FanRTS.SetValue(1);
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(true)"}));
}

TEST_F(Fan, ClearingABoxWhileItsLineIsUpLeavesTheLineAlone) {
    rig.station.Click(Control::FanRTS);
    rig.host.transmitting = true;
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(true)"}));
    rig.station.Click(Control::FanRTS);
    EXPECT_EQ(rig.station.FanRTS.value(), 0);
    rig.host.transmitting = false;
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting"}));
}

TEST_F(Fan, AFailingSetRtsSkipsSetDtrForThatTickOnly) {
    rig.station.Click(Control::FanRTS);
    rig.station.Click(Control::FanDTR);
    rig.host.transmitting = true;
    rig.host.Fail("SetRts", "line gone");
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(true)"}));
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(true)"}));
    rig.host.Succeed("SetRts");
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting", "SetRts(true)", "SetDtr(true)"}));
    // Without a reading no line is sent.
    rig.host.Fail("IsTransmitting", "busy");
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting"}));
}

TEST(FanKeyingLine, TheLineTheHostKeysWithIsClearedAndGreyedAtStartUp) {
    struct Case {
        std::int32_t keyingLine;
        bool rtsEnabled, dtrEnabled;
    };
    for (const Case& c : {Case{2, false, true}, Case{3, true, false}, Case{0, true, true},
                          Case{1, true, true}, Case{4, true, true}, Case{-1, true, true}}) {
        SCOPED_TRACE(c.keyingLine);
        Rig rig;
        rig.host.keyingLine = c.keyingLine;
        // Both boxes ticked in the settings file.
        ASSERT_TRUE(StartClean(rig, 1, 1));
        EXPECT_EQ(rig.station.FanRTS.enabled(), c.rtsEnabled);
        EXPECT_EQ(rig.station.FanDTR.enabled(), c.dtrEnabled);
        if (!c.rtsEnabled) {
            EXPECT_EQ(rig.station.FanRTS.value(), 0);
        }
        if (!c.dtrEnabled) {
            EXPECT_EQ(rig.station.FanDTR.value(), 0);
        }
    }
}

TEST_F(Fan, AClickChecksTheLinesAgainAndClearsAKeyedBoxOnce) {
    rig.station.Click(Control::FanRTS);
    rig.station.Click(Control::FanDTR);
    rig.host.keyingLine = 2;
    rig.host.ClearCalls();
    rig.station.Click(Control::FanDTR);  // clears DTR, and the check finds RTS taken now
    EXPECT_EQ(rig.station.FanDTR.value(), 0);
    EXPECT_TRUE(rig.station.FanDTR.enabled());
    EXPECT_EQ(rig.station.FanRTS.value(), 0);
    EXPECT_FALSE(rig.station.FanRTS.enabled());
    // Clearing RTS from code runs its click again, which reads the line twice and changes
    // nothing more; then the first check reads it once more for DTR. Every reading
    // fetches the sysop configuration anew.
    const Calls read{"ELo.SysopConfig", "SysopConfig.KeyingLine"};
    Calls expected;
    for (int i = 0; i < 1 + 2 + 1; ++i) {
        expected.insert(expected.end(), read.begin(), read.end());
    }
    EXPECT_EQ(rig.host.calls, expected);
    rig.host.transmitting = true;
    EXPECT_EQ(Tick(), (Calls{"IsTransmitting"}));

    // The host gives the line back: the box is offered again, still clear.
    rig.host.keyingLine = 0;
    rig.station.Click(Control::FanDTR);
    EXPECT_TRUE(rig.station.FanRTS.enabled());
    EXPECT_EQ(rig.station.FanRTS.value(), 0);
    EXPECT_EQ(rig.station.FanDTR.value(), 1);
}

TEST_F(Fan, AGreyedOutBoxTakesNoClick) {
    rig.host.keyingLine = 3;
    rig.station.Click(Control::FanRTS);
    ASSERT_FALSE(rig.station.FanDTR.enabled());
    rig.host.ClearCalls();
    rig.station.Click(Control::FanDTR);
    EXPECT_EQ(rig.station.FanDTR.value(), 0);
    EXPECT_TRUE(rig.host.calls.empty());
}

TEST_F(Fan, AClickParksTheFocusFirstThenChecksTheLines) {
    rig.ShowWindow();
    rig.window.log.clear();
    std::vector<std::size_t> focusesAtKeyingLine;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "SysopConfig.KeyingLine") {
            focusesAtKeyingLine.push_back(rig.window.Count("FocusIndicator"));
        }
    };
    rig.station.Click(Control::FanRTS);
    EXPECT_EQ(focusesAtKeyingLine, (std::vector<std::size_t>{1, 1}));

    // Hidden: no focus, the check all the same.
    rig.station.TrayCallback(kTrayRightUp);
    rig.window.log.clear();
    focusesAtKeyingLine.clear();
    rig.station.Click(Control::FanRTS);
    EXPECT_EQ(focusesAtKeyingLine, (std::vector<std::size_t>{0, 0}));
    EXPECT_EQ(rig.station.FanRTS.value(), 0);
}

TEST_F(Fan, AFailedCheckStopsWhereItFailedAndIsReported) {
    rig.station.Click(Control::FanDTR);
    rig.host.keyingLine = 3;
    int reads = 0;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "SysopConfig.KeyingLine" && ++reads == 2) {
            rig.host.Fail(op, "sysop settings locked");
        }
    };
    rig.window.messages.clear();
    rig.station.Click(Control::FanRTS);
    // The RTS half ran; the DTR half never came.
    EXPECT_EQ(rig.station.FanRTS.value(), 1);
    EXPECT_TRUE(rig.station.FanDTR.enabled());
    EXPECT_EQ(rig.station.FanDTR.value(), 1);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_NE(rig.window.messages[0].text.find("KeyingLine"), std::string::npos);
    EXPECT_NE(rig.window.messages[0].text.find("sysop settings locked"), std::string::npos);
}

}  // namespace
}  // namespace hourmark::test
