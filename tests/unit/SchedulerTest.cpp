#include <gtest/gtest.h>

#include "OnAir.h"

namespace hourmark::test {
namespace {

std::string SpokenTime(int hour, int minute) {
    std::string text = " " + std::to_string(hour % 12 == 0 ? 12 : hour % 12);
    if (minute != 0) {
        text += " " + std::to_string(minute);  // the slot minutes all have two digits
    }
    return "SpeakText(" + text + (hour < 12 ? " AM)" : " PM)");
}

// Sixty-four hours of ticks, each hour under another of the 64 combinations of the six boxes.
TEST(Scheduler, EveryCombinationOfBoxesPressesEachChosenSlotOnceTimeBeforeFile) {
    Rig rig;
    rig.enabledTimers = {Timer::Timer1};
    rig.clock.Set(2026, 12, 6, 23, 58, 0);
    rig.Start();
    rig.station.SelectedWavFile = kWav;
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    Station& s = rig.station;
    CheckBox* boxes[] = {&s.cbHour,     &s.cbHalfHour,     &s.cbQuarterHour,
                         &s.cbFileHour, &s.cbFileHalfHour, &s.cbFileQuarterHour};

    std::vector<OnAir> expected;
    for (int combination = 0; combination < 64; ++combination) {
        const std::int64_t hourStart = At(7, 0, 0, 0) + combination * 3600000LL;
        rig.RunUntil(hourStart - 30000);
        for (int b = 0; b < 6; ++b) {
            boxes[b]->SetValue((combination >> b & 1) != 0 ? 1 : 0);
        }
        for (int minute : {0, 15, 30, 45}) {
            const int which = minute == 0 ? 0 : minute == 30 ? 1 : 2;
            const std::int64_t slot = hourStart + minute * 60000LL;
            if ((combination >> which & 1) != 0) {
                expected.push_back({slot, SpokenTime(combination % 24, minute)});
            }
            if ((combination >> (which + 3) & 1) != 0) {
                expected.push_back({slot, "PlayWaveFile"});
            }
        }
        rig.host.ClearCalls();
    }
    rig.RunUntil(At(7, 0, 0, 0) + 64 * 3600000LL - 1000);
    EXPECT_EQ(onAir, expected);
}

TEST(Scheduler, ABusyTickShowsRedPressesNothingAndDoesNotUseTheSlot) {
    Rig rig;
    StartAt(rig, 10, 29, 50);
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    for (CheckBox* b : {&rig.station.cbHalfHour, &rig.station.cbQuarterHour,
                        &rig.station.cbFileHalfHour, &rig.station.cbFileQuarterHour}) {
        b->SetValue(1);
    }
    rig.RunUntil(At(7, 10, 29, 59, 800));
    EXPECT_EQ(rig.station.XMIT_LED, Led::Green);

    // Busy across the whole of second 0: the slot is lost, not made up afterwards.
    rig.host.transmitting = true;
    rig.host.ClearCalls();
    rig.RunUntil(At(7, 10, 30, 0, 0));
    EXPECT_EQ(rig.host.calls, (std::vector<std::string>{"IsTransmitting", "IsBusyA", "IsBusyB"}));
    rig.host.transmitting = false;
    rig.host.busyB = true;
    rig.RunUntil(At(7, 10, 30, 0, 999));
    EXPECT_EQ(rig.station.XMIT_LED, Led::Red);
    EXPECT_FALSE(rig.station.CMDTime.enabled());
    EXPECT_FALSE(rig.station.CMDFile.enabled());
    rig.host.busyB = false;
    rig.RunUntil(At(7, 10, 44, 0));
    EXPECT_EQ(rig.station.XMIT_LED, Led::Green);
    EXPECT_TRUE(rig.station.CMDTime.enabled());
    EXPECT_TRUE(rig.station.CMDFile.enabled());
    EXPECT_TRUE(onAir.empty());

    // Busy at the first tick of second 0 only: the second tick serves the slot.
    rig.host.busyA = true;
    rig.RunUntil(At(7, 10, 45, 0, 0));
    rig.host.busyA = false;
    rig.RunUntil(At(7, 10, 46, 0));
    const std::int64_t second = At(7, 10, 45, 0, 500);
    EXPECT_EQ(onAir,
              (std::vector<OnAir>{{second, "SpeakText( 10 45 AM)"}, {second, "PlayWaveFile"}}));
}

TEST(Scheduler, ASlotWithoutATickInItsSecondZeroIsLostAndGreyedBoxesNeverPress) {
    Rig rig;
    StartAt(rig, 10, 59, 50);
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    rig.station.cbHour.SetValue(1);
    rig.station.cbFileHour.SetValue(1);
    rig.RunUntil(At(7, 10, 59, 59, 500));
    rig.clock.Advance(1500);  // the thread was held up across second 0
    rig.RunUntil(At(7, 11, 14, 0));
    EXPECT_TRUE(onAir.empty());

    for (CheckBox* b :
         {&rig.station.cbHour, &rig.station.cbHalfHour, &rig.station.cbQuarterHour,
          &rig.station.cbFileHour, &rig.station.cbFileHalfHour, &rig.station.cbFileQuarterHour}) {
        b->SetValue(2);
    }
    rig.RunUntil(At(7, 12, 1, 0));
    EXPECT_TRUE(onAir.empty());
}

TEST(Scheduler, ATickThatStraddlesTheMinuteDoesNotMatchTheHour) {
    // Ticks fall at .499 and .999; the clock reaches hh:01:00 while the tick of hh:00:59.999 runs.
    Rig rig;
    StartAt(rig, 10, 59, 50, 499);
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    rig.station.cbHour.SetValue(1);
    int reads = 0;
    rig.clock.onRead = [&] {
        if (rig.clock.nowMs == At(7, 11, 0, 59, 999) && ++reads == 2) {
            rig.clock.nowMs = At(7, 11, 1, 0);
        }
    };
    rig.RunUntil(At(7, 11, 2, 0));
    EXPECT_EQ(onAir, (std::vector<OnAir>{{At(7, 11, 0, 0, 499), "SpeakText( 11 AM)"}}));
}

TEST(Scheduler, TheAnnouncementComesFirstAndTheFileMakesItsOwnTest) {
    // The announcement keys the node: the file is dropped for this slot, also by the next tick
    // that finds the node idle again inside second 0.
    Rig rig;
    StartAt(rig, 10, 59, 50);
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir, [&](const std::string& op) {
        if (op == "SpeakText" && rig.host.calls.back().rfind("SpeakText( ", 0) == 0) {
            rig.host.transmitting = true;
        }
    });
    rig.station.cbHour.SetValue(1);
    rig.station.cbFileHour.SetValue(1);
    rig.RunUntil(At(7, 11, 0, 0, 300));
    rig.host.transmitting = false;
    rig.RunUntil(At(7, 11, 1, 0));
    EXPECT_EQ(onAir, (std::vector<OnAir>{{At(7, 11, 0, 0), "SpeakText( 11 AM)"}}));

    // The file box is read once the announcement has been handed over.
    Rig late;
    StartAt(late, 10, 59, 50);
    std::vector<OnAir> lateOnAir;
    RecordOnAir(late, lateOnAir, [&](const std::string& op) {
        if (op == "SpeakText") {
            late.station.cbFileHour.SetValue(1);
        }
    });
    late.station.cbHour.SetValue(1);
    late.RunUntil(At(7, 11, 1, 0));
    EXPECT_EQ(lateOnAir, (std::vector<OnAir>{{At(7, 11, 0, 0), "SpeakText( 11 AM)"},
                                             {At(7, 11, 0, 0), "PlayWaveFile"}}));
}

TEST(Scheduler, TheRepeatedHourAtTheEndOfSummerTimeIsServedTwice) {
    Rig rig;
    StartAt(rig, 0, 59, 50);
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    rig.station.cbHour.SetValue(1);
    rig.RunUntil(At(7, 1, 0, 0, 700));
    rig.host.busyA = true;  // busy for the rest of the hour
    rig.RunUntil(At(7, 1, 59, 59, 900));
    rig.host.busyA = false;
    rig.clock.wallOffsetMs = -3600000;  // 02:00 becomes 01:00 again
    rig.RunUntil(At(7, 2, 1, 0));
    EXPECT_EQ(onAir, (std::vector<OnAir>{{At(7, 1, 0, 0), "SpeakText( 1 AM)"},
                                         {At(7, 2, 0, 0), "SpeakText( 1 AM)"}}));
}

TEST(Scheduler, TheOperatorAndDtmfStillPressInsideAServedSlot) {
    Rig rig;
    StartAt(rig, 10, 59, 50);
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    rig.station.cbFileHour.SetValue(1);
    rig.RunUntil(At(7, 11, 0, 0, 100));
    rig.station.Click(Control::CMDFile);
    rig.station.HostDTMFString("000#");
    rig.RunUntil(At(7, 11, 1, 0));
    EXPECT_EQ(onAir.size(), 3u);
}

TEST(Scheduler, AFailedScheduledFileRaisesOneMessageWhileTicksGoOnUnderIt) {
    Rig rig;
    StartAt(rig, 10, 59, 50);
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    rig.host.Fail("PlayWaveFile");
    for (CheckBox* b : {&rig.station.cbHour, &rig.station.cbQuarterHour, &rig.station.cbFileHour,
                        &rig.station.cbFileQuarterHour}) {
        b->SetValue(1);
    }
    std::vector<Led> ledUnderTheBox;
    rig.window.onMessage = [&](const Message&) {
        if (rig.window.messages.size() > 1) {
            return;
        }
        rig.RunUntil(At(7, 11, 10, 0));
        rig.host.busyA = true;
        rig.RunUntil(At(7, 11, 10, 1));
        ledUnderTheBox.push_back(rig.station.XMIT_LED);
        rig.host.busyA = false;
        rig.RunUntil(At(7, 11, 20, 0));
        ledUnderTheBox.push_back(rig.station.XMIT_LED);
    };
    rig.RunUntil(At(7, 11, 30, 0));
    EXPECT_EQ(ledUnderTheBox, (std::vector<Led>{Led::Red, Led::Green}));
    EXPECT_EQ(onAir, (std::vector<OnAir>{{At(7, 11, 0, 0), "SpeakText( 11 AM)"},
                                         {At(7, 11, 0, 0), "PlayWaveFile"},
                                         {At(7, 11, 15, 0), "SpeakText( 11 15 AM)"},
                                         {At(7, 11, 15, 0), "PlayWaveFile"}}));
    EXPECT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.host.Count("SetTransmit(false)"), 2u);

    // Once it is closed, the next failure is reported again.
    rig.RunUntil(At(7, 11, 46, 0));
    EXPECT_EQ(rig.window.messages.size(), 2u);
}

}  // namespace
}  // namespace hourmark::test
