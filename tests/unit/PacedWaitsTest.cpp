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
