#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CleanStart.h"
#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

using Calls = std::vector<std::string>;

struct Recording : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.enabledTimers = {};
        ASSERT_TRUE(StartClean(rig));
        rig.host.ClearCalls();
    }
    Calls Press(Control button) {
        rig.host.ClearCalls();
        rig.station.Click(button);
        return rig.host.calls;
    }
};

TEST_F(Recording, StartTellsTheHostThenRemembersTheNameOfThatMoment) {
    rig.clock.Set(2026, 3, 14, 15, 30, 44, 900);
    // The name is taken after the host has started recording, not before.
    rig.host.onCall = [&](const std::string& op) {
        if (op == "StartRecording") {
            rig.clock.Advance(200);
        }
    };
    EXPECT_EQ(Press(Control::cbRecordStart),
              (Calls{"SetupConfig.RecordMode=2", "PlayWaveFile(C:\\HourMark\\ok.wav,true)",
                     "StartRecording(C:\\HourMark\\rec.wav)"}));
    EXPECT_EQ(rig.station.sQSOFile, "QSO_2026_03_14_153045.wav");
}

TEST_F(Recording, StopAndPlaybackSendTheirSequences) {
    EXPECT_EQ(Press(Control::cbRecordStop), (Calls{"StopRecording", "SetupConfig.RecordMode=0",
                                                   "PlayWaveFile(C:\\HourMark\\ok.wav,false)"}));
    // Before any start there is no name: the bare directory goes to the host.
    EXPECT_EQ(Press(Control::cbRecordPlayback),
              (Calls{"PlayWaveFile(d:\\radio\\echolink\\wav\\,false)"}));
}

TEST_F(Recording, NamesAtAwkwardMomentsAndTheLastStartWins) {
    rig.clock.Set(2026, 2, 1, 0, 5, 9);
    Press(Control::cbRecordStart);
    EXPECT_EQ(rig.station.sQSOFile, "QSO_2026_02_01_000509.wav");
    rig.clock.Set(2026, 12, 31, 23, 59, 59, 999);
    Press(Control::cbRecordStart);
    EXPECT_EQ(rig.station.sQSOFile, "QSO_2026_12_31_235959.wav");
    rig.clock.Set(2027, 1, 1, 12, 0, 0);
    EXPECT_EQ(Press(Control::cbRecordPlayback),
              (Calls{"PlayWaveFile(d:\\radio\\echolink\\wav\\QSO_2026_12_31_235959.wav,false)"}));
    // Playing back does not change the name, and neither does a stop.
    Press(Control::cbRecordStop);
    EXPECT_EQ(rig.station.sQSOFile, "QSO_2026_12_31_235959.wav");
}

TEST_F(Recording, AFailedStartKeepsTheEarlierName) {
    rig.clock.Set(2026, 5, 5, 5, 5, 5);
    Press(Control::cbRecordStart);
    rig.clock.Set(2026, 5, 5, 6, 0, 0);
    rig.host.Fail("StartRecording", "recorder busy");
    EXPECT_EQ(Press(Control::cbRecordStart),
              (Calls{"SetupConfig.RecordMode=2", "PlayWaveFile(C:\\HourMark\\ok.wav,true)",
                     "StartRecording(C:\\HourMark\\rec.wav)"}));
    EXPECT_EQ(rig.station.sQSOFile, "QSO_2026_05_05_050505.wav");
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_NE(rig.window.messages[0].text.find("StartRecording"), std::string::npos);
    EXPECT_NE(rig.window.messages[0].text.find("recorder busy"), std::string::npos);

    // A failing prompt stops the start before the recording.
    rig.host.Succeed("StartRecording");
    rig.host.Fail("PlayWaveFile", "no sound device");
    EXPECT_EQ(Press(Control::cbRecordStart),
              (Calls{"SetupConfig.RecordMode=2", "PlayWaveFile(C:\\HourMark\\ok.wav,true)"}));
    EXPECT_EQ(rig.station.sQSOFile, "QSO_2026_05_05_050505.wav");
}

TEST_F(Recording, AFailedStopLeavesTheRecordModeAndPlaysNoPrompt) {
    rig.host.Fail("StopRecording", "not recording");
    EXPECT_EQ(Press(Control::cbRecordStop), (Calls{"StopRecording"}));
    rig.host.Succeed("StopRecording");
    rig.host.Fail("SetupConfig.RecordMode", "read only");
    EXPECT_EQ(Press(Control::cbRecordStop), (Calls{"StopRecording", "SetupConfig.RecordMode=0"}));
}

TEST_F(Recording, ThePromptsArePathsInTheProgramDirectoryAsItIsWritten) {
    rig.files.programDirectory = "E:\\Ham Radio\\HourMark\\";
    EXPECT_EQ(
        Press(Control::cbRecordStart),
        (Calls{"SetupConfig.RecordMode=2", "PlayWaveFile(E:\\Ham Radio\\HourMark\\\\ok.wav,true)",
               "StartRecording(E:\\Ham Radio\\HourMark\\\\rec.wav)"}));
    // The configuration that start-up created is written, not a fresh ELo.SetupConfig.
    EXPECT_EQ(rig.host.Count("ELo.SetupConfig"), 0u);
}

TEST_F(Recording, EveryPressEndsWithTheFocusStepOnlyWhenTheWindowCanTakeIt) {
    for (Control button :
         {Control::cbRecordStart, Control::cbRecordStop, Control::cbRecordPlayback}) {
        rig.window.log.clear();
        Press(button);
        EXPECT_EQ(rig.window.Count("FocusIndicator"), 0u);
    }
    rig.ShowWindow();
    for (Control button :
         {Control::cbRecordStart, Control::cbRecordStop, Control::cbRecordPlayback}) {
        rig.window.log.clear();
        std::size_t focusAtLastCall = 99;
        rig.host.onCall = [&](const std::string&) {
            focusAtLastCall = rig.window.Count("FocusIndicator");
        };
        Press(button);
        EXPECT_EQ(focusAtLastCall, 0u);
        EXPECT_EQ(rig.window.Count("FocusIndicator"), 1u);
    }
}

}  // namespace
}  // namespace hourmark::test
