#include <gtest/gtest.h>

#include "WinRig.h"

namespace hourmark::win32::test {
namespace {

// Puts a tick of the clock timer in the queue, as Windows would.
void QueueClockTick(WinRig& rig) {
    PostMessageW(rig.Main(), WM_TIMER, 1, 0);
}

long long CpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return static_cast<long long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) |
                                      f.dwLowDateTime) /
               10000;
    };
    return ms(kernel) + ms(user);
}

TEST(WaitSeconds, ZeroReturnsAtOnceAfterRunningWhatIsWaiting) {
    WinRig rig;
    QueueClockTick(rig);
    const int before = rig.input.ticks[Timer::tTime];
    const auto t0 = Clock::now();
    rig.station.WaitSeconds(0);
    EXPECT_LT(MsSince(t0), 300);
    EXPECT_EQ(rig.input.ticks[Timer::tTime], before + 1);
}

TEST(WaitSeconds, TwoSecondsKeepTheTimersAndClicksRunning) {
    WinRig rig;
    rig.ShowThroughTray();
    RunLater(500, [&] { SendMessageW(rig.Child(L"cbHour"), BM_CLICK, 0, 0); });
    const int ticks = rig.input.ticks[Timer::Timer1];
    const auto t0 = Clock::now();
    rig.station.WaitSeconds(2);
    const long long took = MsSince(t0);
    EXPECT_GE(took, 1950);
    EXPECT_LT(took, 3500);
    EXPECT_GE(rig.input.ticks[Timer::Timer1] - ticks, 3);
    EXPECT_EQ(rig.station.cbHour.value(), 1) << "the click ran inside the pause";
}

TEST(WaitSeconds, EveryNestedPauseWaitsItsOwnTime) {
    WinRig rig;
    // An inner pause that ends first leaves the outer one waiting for its own end.
    long long innerEnded = 0;
    auto t0 = Clock::now();
    RunLater(100, [&] {
        rig.pause.WaitMilliseconds(500);
        innerEnded = MsSince(t0);
    });
    rig.pause.WaitMilliseconds(1500);
    long long outerEnded = MsSince(t0);
    EXPECT_GE(innerEnded, 550);
    EXPECT_LT(innerEnded, 1200);
    EXPECT_GE(outerEnded, 1450);
    EXPECT_LT(outerEnded, 2300);

    // An inner pause that ends later keeps the outer one waiting until it returns.
    t0 = Clock::now();
    RunLater(100, [&] {
        rig.pause.WaitMilliseconds(1000);
        innerEnded = MsSince(t0);
    });
    rig.pause.WaitMilliseconds(400);
    outerEnded = MsSince(t0);
    EXPECT_GE(innerEnded, 1050);
    EXPECT_GE(outerEnded, innerEnded);
    EXPECT_LT(outerEnded, 1900);
}

TEST(WaitSeconds, WithoutATimerThePauseStillEndsAndServesMessages) {
    WinRig rig;
    WaitTimerPause noTimer([](std::int64_t) -> HANDLE { return nullptr; });
    QueueClockTick(rig);
    const int before = rig.input.ticks[Timer::tTime];
    const auto t0 = Clock::now();
    noTimer.WaitMilliseconds(600);
    const long long took = MsSince(t0);
    EXPECT_GE(took, 580);
    EXPECT_LT(took, 1500);
    EXPECT_GE(rig.input.ticks[Timer::tTime], before + 1);
}

TEST(KillTime, ACountShortenedWhileItWaitsEndsItAfterTheEventThatShortenedIt) {
    WinRig rig;
    float pauseTime = 30.0f;
    RunLater(300, [&] { pauseTime = 0.1f; });
    const auto t0 = Clock::now();
    rig.station.KillTime(pauseTime);
    const long long took = MsSince(t0);
    EXPECT_GE(took, 250);
    EXPECT_LT(took, 1500);
}

TEST(WaitSeconds, AQuitInsideAPauseIsKeptForTheMainLoopAndNotSpunOn) {
    WinRig rig;
    PostQuitMessage(7);
    const long long cpu0 = CpuMs();
    const auto t0 = Clock::now();
    rig.pause.WaitMilliseconds(600);
    const long long took = MsSince(t0);
    EXPECT_GE(took, 580);
    EXPECT_LT(CpuMs() - cpu0, 300) << "the pause slept";
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
}  // namespace hourmark::win32::test
