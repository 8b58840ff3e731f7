#include <gtest/gtest.h>

#include "OnAir.h"

namespace hourmark::test {
namespace {

std::vector<std::string> Speech(const Rig& rig) {
    std::vector<std::string> out;
    for (const auto& c : rig.host.calls) {
        if (c.rfind("Speak", 0) == 0) {
            out.push_back(c);
        }
    }
    return out;
}

TEST(TimeAnnouncement, SpeaksTheHourOrTheHourAndMinutesOnTheTwelveHourClock) {
    struct Case {
        int hour, minute;
        const char* text;
    };
    for (const Case& c : {Case{0, 30, "SpeakText( 12 30 AM)"}, Case{9, 0, "SpeakText( 9 AM)"},
                          Case{12, 0, "SpeakText( 12 PM)"}, Case{15, 7, "SpeakText( 3 07 PM)"},
                          Case{23, 59, "SpeakText( 11 59 PM)"}}) {
        Rig rig;
        StartAt(rig, c.hour, c.minute, 0, 0, {});
        rig.host.callsign = "QX1AB";
        rig.station.Click(Control::CMDTime);
        EXPECT_EQ(rig.host.calls, (std::vector<std::string>{
                                      "IsTransmitting", "IsBusyA", "IsBusyB", "ELo.SetupConfig",
                                      "SetupConfig.Callsign", "SpeakText(QX1AB)", c.text}))
            << c.text;
    }
}

TEST(TimeAnnouncement, TheMinuteAndTheTimeComeFromTwoReadings) {
    // The minute is read at 10:59:59.9 and the clock has reached 11:00 by the second reading.
    Rig rig;
    StartAt(rig, 10, 59, 59, 900, {});
    int reads = 0;
    rig.clock.onRead = [&] {
        if (++reads == 2) {
            rig.clock.Set(2026, 12, 7, 11, 0, 0);
        }
    };
    rig.station.Click(Control::CMDTime);
    EXPECT_EQ(Speech(rig).back(), "SpeakText( 11 00 AM)");
}

TEST(TimeAnnouncement, ALinkOrRepeaterSuffixIsSpokenAsItsPhrase) {
    struct Case {
        const char* callsign;
        std::vector<std::string> spoken;  // before the time
    };
    const std::vector<Case> cases{
        {"QX1AB-L", {"SpeakText(QX1AB)", "SpeakPhrase(2)"}},
        {"QX1AB-R", {"SpeakText(QX1AB)", "SpeakPhrase(1)"}},
        {"QX1AB", {"SpeakText(QX1AB)"}},
        {"QX1AB-l", {"SpeakText(QX1AB-l)"}},
        {"QX1AB-r", {"SpeakText(QX1AB-r)"}},
        {"QX1AB-R-L", {"SpeakText(QX1AB)", "SpeakPhrase(1)"}},
        {"QX1AB-L-R", {"SpeakText(QX1AB-L)", "SpeakPhrase(1)"}},
        {"-L", {"SpeakText()", "SpeakPhrase(2)"}},
        {"L", {"SpeakText(L)"}},
        {"", {"SpeakText()"}},
    };
    for (const Case& c : cases) {
        Rig rig;
        StartAt(rig, 9, 0, 0, 0, {});
        rig.host.callsign = c.callsign;
        rig.station.HostDTMFString("000*");
        std::vector<std::string> expected = c.spoken;
        expected.push_back("SpeakText( 9 AM)");
        EXPECT_EQ(Speech(rig), expected) << c.callsign;
    }
}

TEST(TimeAnnouncement, TheCallsignIsReadAfreshAndABusyNodeHearsNothing) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    rig.station.Click(Control::CMDTime);
    rig.host.callsign = "QX7MN-R";
    rig.station.Click(Control::CMDTime);
    EXPECT_EQ(rig.host.Count("SpeakText(QX1AB)"), 1u);
    EXPECT_EQ(rig.host.Count("SpeakText(QX7MN)"), 1u);

    for (bool FakeHost::*busy : {&FakeHost::transmitting, &FakeHost::busyA, &FakeHost::busyB}) {
        Rig quiet;
        StartAt(quiet, 9, 0, 0, 0, {});
        quiet.host.*busy = true;
        quiet.station.HostDTMFString("000*");
        EXPECT_EQ(quiet.host.calls,
                  (std::vector<std::string>{"IsTransmitting", "IsBusyA", "IsBusyB"}));
    }
}

TEST(TransmitButtons, MoveTheFocusOnlyWhileNoDialogIsShowing) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    rig.ShowWindow();
    const auto focusAfter = [&](const std::function<void()>& action) {
        const std::size_t before = rig.window.Count("FocusIndicator");
        action();
        return rig.window.Count("FocusIndicator") - before;
    };
    EXPECT_EQ(focusAfter([&] { rig.station.Click(Control::CMDTime); }), 1u);
    EXPECT_EQ(focusAfter([&] { rig.station.Click(Control::CMDFile); }), 1u);
    EXPECT_EQ(focusAfter([&] { rig.station.Click(Control::cbFileHalfHour); }), 1u);
    rig.window.showing.insert(Dialog::NodeSetup);
    EXPECT_EQ(focusAfter([&] { rig.station.Click(Control::CMDTime); }), 0u);
    EXPECT_EQ(focusAfter([&] { rig.station.Click(Control::CMDFile); }), 0u);
    // The schedule boxes move it regardless.
    EXPECT_EQ(focusAfter([&] { rig.station.Click(Control::cbHour); }), 1u);
    EXPECT_EQ(rig.host.Count("SpeakText( 9 AM)"), 2u);
    EXPECT_EQ(rig.host.Count("PlayWaveFile(C:\\wav\\id.wav,false)"), 2u);
}

}  // namespace
}  // namespace hourmark::test
