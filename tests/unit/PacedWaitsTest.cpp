#include <gtest/gtest.h>

#include "OnAir.h"

namespace hourmark::test {
namespace {

// Timer1 ticks served so far (each asks the host IsBusyB once).
std::size_t Ticks(const Rig& rig) {
    return rig.host.Count("IsBusyB");
}

TEST(WaitSeconds, WaitsItsTimeServingTicksAndNegativeCountsWaitNothing) {
    Rig rig;
    StartAt(rig, 9, 0, 0);
    const std::int64_t start = rig.clock.nowMs;
    rig.station.WaitSeconds(2);
    EXPECT_EQ(rig.clock.nowMs - start, 2000);
    EXPECT_EQ(Ticks(rig), 4u);
    rig.station.WaitSeconds(0);
    rig.station.WaitSeconds(-7);
    EXPECT_EQ(rig.clock.nowMs - start, 2000);
    EXPECT_EQ(rig.pause.waits, (std::vector<std::int64_t>{2000, 0, 0}));
}

TEST(WaitSeconds, AnEventHeldDuringAHostCallIsDeliveredWhenTheHandlerPauses) {
    Rig rig;
    StartAt(rig, 9, 0, 0, 0, {});
    rig.host.onCall = [&](const std::string& op) {
        if (op == "IsConnectedTo") {
            rig.station.HostDTMFString("000#");  // arrives while the call is pending
        }
    };
    std::size_t filesBeforeThePauseEnded = 0;
    rig.station.DialogInput([&] {
        rig.station.host().IsConnectedTo("QX2CD-L");
        EXPECT_EQ(rig.host.Count("PlayWaveFile(C:\\wav\\id.wav,false)"), 0u);
        rig.station.WaitSeconds(0);
        filesBeforeThePauseEnded = rig.host.Count("PlayWaveFile(C:\\wav\\id.wav,false)");
    });
    EXPECT_EQ(filesBeforeThePauseEnded, 1u);
}

TEST(Pauses, APauseNestedInsideAnotherNeitherShortensNorRestartsIt) {
    struct Case {
        int outerSeconds, innerAtMs, innerSeconds;
        std::int64_t innerEnd, outerEnd;
    };
    for (const Case& c : {Case{30, 5000, 2, 7000, 30000}, Case{3, 2000, 10, 12000, 12000}}) {
        for (bool killTime : {false, true}) {
            Rig rig;
            StartAt(rig, 9, 0, 0);
            const std::int64_t start = rig.clock.nowMs;
            std::int64_t innerEnd = -1;
            rig.clock.onRead = [&] {
                if (innerEnd < 0 && rig.clock.nowMs - start >= c.innerAtMs) {
                    innerEnd = 0;
                    rig.station.WaitSeconds(c.innerSeconds);
                    innerEnd = rig.clock.nowMs - start;
                }
            };
            const float outer = static_cast<float>(c.outerSeconds);
            if (killTime) {
                rig.station.KillTime(outer);
            } else {
                rig.station.WaitSeconds(c.outerSeconds);
            }
            EXPECT_EQ(innerEnd, c.innerEnd);
            EXPECT_EQ(rig.clock.nowMs - start, c.outerEnd) << c.outerSeconds << " " << killTime;
        }
    }
}

TEST(Pauses, AFakePauseHeldUpBetweenItsMomentsStillServesTheSlotsAndTheLinkWindows) {
    // The fuzz target's pauses: five seconds of every tick, then for a quarter hour only the
    // moments the station reads the clock on, then one jump to the end.
    Rig rig;
    StartAt(rig, 10, 50, 0, 0, {Timer::tTime, Timer::Timer1, Timer::FanTimer, Timer::tAutoConnect});
    rig.pause.tickingLimitMs = 5000;
    rig.pause.momentsLimitMs = 15 * 60 * 1000;
    std::vector<OnAir> onAir;
    RecordOnAir(rig, onAir);
    rig.station.cbHour.SetValue(1);
    rig.station.nodes[0] = NodeEntry{"QX1AA-L", 1, "11:04", "23:59", 10};
    rig.host.connectLinks = true;
    const std::int64_t start = rig.clock.nowMs;
    rig.station.WaitSeconds(3 * 3600);
    EXPECT_EQ(rig.clock.nowMs - start, 3 * 3600 * 1000);
    // 12:00 and 13:00 fall in the jump past the quarter hour of moments.
    EXPECT_EQ(onAir, (std::vector<OnAir>{{At(7, 11, 0, 0), "SpeakText( 11 AM)"}}));
    EXPECT_EQ(rig.host.Count("Connect(QX1AA-L,0)"), 1u);
    // Every tick of the quarter hour would be 1,800 of Timer1's alone.
    EXPECT_LT(Ticks(rig), 100u);
}

TEST(KillTime, WaitsItsFractionOfSecondsWithoutSpinningAndNothingForZeroOrLess) {
    Rig rig;
    StartAt(rig, 9, 0, 0);
    const std::int64_t start = rig.clock.nowMs;
    for (float none : {0.0f, -1.5f}) {
        rig.station.KillTime(none);
    }
    EXPECT_TRUE(rig.pause.waits.empty());
    EXPECT_EQ(Ticks(rig), 0u);
    // Nor is work held during a host call let through.
    rig.host.onCall = [&](const std::string& op) {
        if (op == "IsConnectedTo") {
            rig.station.HostDTMFString("000#");
        }
    };
    std::size_t filesDuringTheCall = 1;
    rig.station.DialogInput([&] {
        rig.station.host().IsConnectedTo("QX2CD-L");
        rig.station.KillTime(0.0f);
        filesDuringTheCall = rig.host.Count("PlayWaveFile(C:\\wav\\id.wav,false)");
    });
    EXPECT_EQ(filesDuringTheCall, 0u);
    rig.host.onCall = nullptr;
    rig.host.ClearCalls();
    rig.station.KillTime(1.5f);
    EXPECT_EQ(rig.clock.nowMs - start, 1500);
    EXPECT_EQ(Ticks(rig), 3u);
    EXPECT_EQ(rig.pause.waits, (std::vector<std::int64_t>{1500}));
}

TEST(KillTime, EndsOnTimeAcrossMidnightAndWhenTheClockIsSetBack) {
    Rig rig;
    StartAt(rig, 23, 59, 59);
    rig.station.KillTime(2.5f);
    EXPECT_EQ(rig.clock.nowMs, At(8, 0, 0, 1, 500));

    rig.clock.onRead = [&] {
        if (rig.clock.nowMs >= At(8, 0, 0, 3) && rig.clock.wallOffsetMs == 0) {
            rig.clock.wallOffsetMs = -3600000;
        }
    };
    rig.station.KillTime(10.0f);
    EXPECT_EQ(rig.clock.nowMs, At(8, 0, 0, 11, 500));
}

TEST(KillTime, ReadsTheCallersCountAgainAsItGoes) {
    struct Case {
        float from, to;
        std::int64_t endMs;
    };
    // Changed by the tick at 0.5 s: lengthened, the pause goes on; shortened below what has
    // passed, it ends right after that tick; shortened to later, it ends then.
    for (const Case& c :
         {Case{1.0f, 4.0f, 4000}, Case{30.0f, 0.2f, 500}, Case{30.0f, 2.0f, 2000}}) {
        Rig rig;
        StartAt(rig, 9, 0, 0);
        float pauseTime = c.from;
        rig.clock.onRead = [&] {
            if (rig.clock.nowMs >= At(7, 9, 0, 0, 500)) {
                pauseTime = c.to;
            }
        };
        rig.station.KillTime(pauseTime);
        EXPECT_EQ(rig.clock.nowMs - At(7, 9, 0, 0), c.endMs) << c.from << " to " << c.to;
    }
}

}  // namespace
}  // namespace hourmark::test
