#include <gtest/gtest.h>

#include "OnAir.h"

namespace hourmark::test {
namespace {

TEST(DtmfCommands, StarZeroAndStarOneSetTheOverrideThenSpeakTheirPhrase) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    std::vector<std::int16_t> boxWhenSpoken;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "SpeakPhrase") {
            boxWhenSpoken.push_back(rig.station.cbAutoOverride.value());
        }
    };
    for (const char* digits : {"*0*", "*0*", "*1*", "*1*"}) {
        rig.station.HostDTMFString(digits);
    }
    EXPECT_EQ(rig.host.calls, (std::vector<std::string>{"SpeakPhrase(8)", "SpeakPhrase(8)",
                                                        "SpeakPhrase(3)", "SpeakPhrase(3)"}));
    EXPECT_EQ(boxWhenSpoken, (std::vector<std::int16_t>{1, 1, 0, 0}));
    rig.station.cbAutoOverride.SetValue(2);
    rig.station.HostDTMFString("*1*");
    EXPECT_EQ(rig.station.cbAutoOverride.value(), 0);
}

TEST(DtmfCommands, StarSevenAnnouncesTheLinkedNodesInTableOrder) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    const char* table[kNodeCount] = {"QX2CD-L", "QX3EF-R",   "QX4GH",   "QX5IJ-l",
                                     "-L",      "QX6KL-X-R", "QX2CD-L", "QX8OP-LR"};
    for (int i = 0; i < kNodeCount; ++i) {
        rig.station.nodes[static_cast<std::size_t>(i)].callsign = table[i];
    }
    rig.host.linked = {"QX2CD-L", "QX4GH", "QX5IJ-l", "-L", "QX6KL-X-R", "QX8OP-LR"};
    rig.station.HostDTMFString("*7*");
    EXPECT_EQ(rig.host.calls,
              (std::vector<std::string>{"IsConnectedTo(QX2CD-L)", "SpeakText(QX2CD)",
                                        "SpeakPhrase(2)",         "IsConnectedTo(QX3EF-R)",
                                        "IsConnectedTo(QX4GH)",   "SpeakText(QX4GH)",
                                        "IsConnectedTo(QX5IJ-l)", "SpeakText(QX5IJ)",
                                        "IsConnectedTo(-L)",      "SpeakText()",
                                        "SpeakPhrase(2)",         "IsConnectedTo(QX6KL-X-R)",
                                        "SpeakText(QX6KL)",       "SpeakPhrase(1)",
                                        "IsConnectedTo(QX2CD-L)", "SpeakText(QX2CD)",
                                        "SpeakPhrase(2)",         "IsConnectedTo(QX8OP-LR)",
                                        "SpeakText(QX8OP)",       "SpeakPhrase(1)"}));

    rig.host.linked.clear();
    rig.host.ClearCalls();
    rig.station.HostDTMFString("*7*");
    EXPECT_TRUE(rig.host.CallsStartingWith("Speak").empty());
    EXPECT_EQ(rig.host.calls.size(), 8u);
}

TEST(DtmfCommands, TheTwoPressesRunTheButtonsEvenWhileTheyAreDisabled) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0);
    rig.host.transmitting = true;
    rig.RunFor(500);  // the buttons go grey
    rig.host.transmitting = false;
    ASSERT_FALSE(rig.station.CMDTime.enabled());
    rig.host.ClearCalls();
    rig.station.Click(Control::CMDTime);
    rig.station.Click(Control::CMDFile);
    EXPECT_TRUE(rig.host.calls.empty());  // the operator cannot press a grey button
    rig.station.HostDTMFString("000*");
    rig.station.HostDTMFString("000#");
    EXPECT_EQ(rig.host.CallsStartingWith("Speak"),
              (std::vector<std::string>{"SpeakText(QX1AB)", "SpeakPhrase(2)", "SpeakText( 9 AM)"}));
    EXPECT_EQ(rig.host.Count("PlayWaveFile(C:\\wav\\id.wav,false)"), 1u);
}

TEST(DtmfCommands, AnythingButTheWholeExactStringIsIgnored) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    for (const char* digits : {"", "*0", "0*", "*0**", " *0*", "*0* ", "*1", "*7", "*7**", "000",
                               "0000*", "000* ", "000#0", "00#", "*2*", "#0#"}) {
        rig.station.HostDTMFString(digits);
    }
    EXPECT_TRUE(rig.host.calls.empty());
    EXPECT_EQ(rig.station.cbAutoOverride.value(), 0);
}

}  // namespace
}  // namespace hourmark::test
