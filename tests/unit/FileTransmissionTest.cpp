#include <gtest/gtest.h>

#include <algorithm>

#include "OnAir.h"

namespace hourmark::test {
namespace {

constexpr const char* kFileError =
    "File Format Invalid - See EchoLink HELP\r\nfor proper WAV file format.";

TEST(FileTransmission, HandsTheChosenFileOverUnchangedAndOnlyWhenIdle) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    rig.station.Click(Control::CMDFile);
    rig.station.SelectedWavFile = "";
    rig.station.HostDTMFString("000#");
    EXPECT_EQ(rig.host.calls,
              (std::vector<std::string>{"IsTransmitting", "IsBusyA", "IsBusyB",
                                        "PlayWaveFile(C:\\wav\\id.wav,false)", "IsTransmitting",
                                        "IsBusyA", "IsBusyB", "PlayWaveFile(,false)"}));

    for (bool FakeHost::*busy : {&FakeHost::transmitting, &FakeHost::busyA, &FakeHost::busyB}) {
        Rig quiet;
        StartAt(quiet, 9, 0, 0, 0, {});
        quiet.host.Fail("PlayWaveFile");
        quiet.host.*busy = true;
        quiet.station.HostDTMFString("000#");
        EXPECT_EQ(quiet.host.calls,
                  (std::vector<std::string>{"IsTransmitting", "IsBusyA", "IsBusyB"}));
        EXPECT_TRUE(quiet.window.messages.empty());
    }
}

TEST(FileTransmission, ARefusedFileUnkeysAndSaysSoOnceHoweverOftenItIsPressed) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    rig.host.Fail("PlayWaveFile");
    std::size_t unkeyedBeforeTheBox = 0;
    rig.window.onMessage = [&](const Message&) {
        if (rig.window.messages.size() > 1) {
            return;
        }
        unkeyedBeforeTheBox = rig.host.Count("SetTransmit(false)");
        // A radio user repeats the command and the operator clicks while the box is up.
        rig.station.HostDTMFString("000#");
        rig.station.HostDTMFString("000#");
        rig.station.Click(Control::CMDFile);
    };
    rig.station.Click(Control::CMDFile);
    EXPECT_EQ(unkeyedBeforeTheBox, 1u);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, kFileError);
    EXPECT_EQ(rig.window.messages[0].title, "HourMark");
    EXPECT_EQ(rig.window.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(rig.host.Count("PlayWaveFile(C:\\wav\\id.wav,false)"), 4u);
    EXPECT_EQ(rig.host.Count("SetTransmit(false)"), 4u);
    EXPECT_EQ(rig.station.SelectedWavFile, kWav);

    // Closed: the next refusal is reported again; a file the host takes is not.
    rig.window.onMessage = nullptr;
    rig.station.HostDTMFString("000#");
    EXPECT_EQ(rig.window.messages.size(), 2u);
    rig.host.Succeed("PlayWaveFile");
    rig.station.HostDTMFString("000#");
    EXPECT_EQ(rig.window.messages.size(), 2u);
    EXPECT_EQ(rig.host.Count("SetTransmit(false)"), 5u);
}

TEST(FileTransmission, AFailingUnkeyIsReportedAsItselfInsteadOfTheFileMessage) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    rig.host.Fail("PlayWaveFile");
    rig.host.Fail("SetTransmit", "port closed");
    rig.station.Click(Control::CMDFile);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_NE(rig.window.messages[0].text.find("SetTransmit"), std::string::npos);
    EXPECT_NE(rig.window.messages[0].text.find("port closed"), std::string::npos);
    // The file message was never opened, so the next refusal still reports.
    rig.host.Succeed("SetTransmit");
    rig.station.Click(Control::CMDFile);
    ASSERT_EQ(rig.window.messages.size(), 2u);
    EXPECT_EQ(rig.window.messages[1].text, kFileError);
}

TEST(FileTransmission, SelectShowsThePickersChoiceOrEmptyText) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    rig.station.SelectedWavFile = "";
    rig.station.Click(Control::cmdFileSelect);
    EXPECT_EQ(rig.window.Count("ShowDialog(WavPicker)"), 1u);
    EXPECT_EQ(rig.station.tbFileName.text(), "");

    rig.window.onDialog = [&](Dialog d) {
        ASSERT_EQ(d, Dialog::WavPicker);
        rig.station.SelectedWavFile = "D:\\audio\\club net.wav";
    };
    rig.station.Click(Control::cmdFileSelect);
    EXPECT_EQ(rig.station.tbFileName.text(), "D:\\audio\\club net.wav");

    // Closed without a choice: the box is drawn again all the same, over whatever the operator
    // typed into it.
    rig.window.onDialog = nullptr;
    rig.window.changed.clear();
    rig.station.Click(Control::cmdFileSelect);
    EXPECT_EQ(std::count(rig.window.changed.begin(), rig.window.changed.end(), Control::tbFileName),
              1);
}

}  // namespace
}  // namespace hourmark::test
