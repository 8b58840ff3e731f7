// A year on the fake clock with every schedule box ticked and a host that stays busy for a
// random 0-3 s after each transmission: every slot is pressed at most once, every slot whose
// second 0 finds the node idle is served, and the program's memory does not grow.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "fakes/FakePorts.h"

namespace {
std::atomic<long> liveAllocations{0};
}

void* operator new(std::size_t n) {
    ++liveAllocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        --liveAllocations;
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace hourmark::test {
namespace {

TEST(YearOfSlots, EverySlotServedOnceWhenIdleAndMemoryStaysFlat) {
    Rig rig;
    rig.enabledTimers = {Timer::Timer1};
    rig.clock.Set(2026, 1, 1, 0, 0, 30);
    ASSERT_FALSE(rig.Start().has_value());
    for (CheckBox* b :
         {&rig.station.cbHour, &rig.station.cbHalfHour, &rig.station.cbQuarterHour,
          &rig.station.cbFileHour, &rig.station.cbFileHalfHour, &rig.station.cbFileQuarterHour}) {
        b->SetValue(1);
    }
    rig.station.SelectedWavFile = "C:\\wav\\id.wav";

    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int64_t> busyMs(0, 3000);
    std::int64_t busyUntil = 0;
    std::int64_t secondZero = 0;
    bool idleTickInSecondZero = false;
    int announcements = 0;
    int filesSent = 0;
    rig.host.onCall = [&](const std::string& op) {
        const std::int64_t now = rig.clock.nowMs;
        if (op == "IsTransmitting") {
            rig.host.transmitting = now < busyUntil;
            if (!rig.host.transmitting && now >= secondZero && now < secondZero + 1000) {
                idleTickInSecondZero = true;
            }
        } else if (op == "PlayWaveFile" ||
                   (op == "SpeakText" && rig.host.calls.back().rfind("SpeakText( ", 0) == 0)) {
            // The time text of an announcement, or a file: the node stays busy for a while.
            busyUntil = now + busyMs(rng);
            (op == "PlayWaveFile" ? filesSent : announcements) += 1;
        }
    };

    const std::int64_t start = rig.clock.nowMs;
    const std::int64_t year = 365LL * 24 * 3600 * 1000;
    int slots = 0;
    int idleSlots = 0;
    long allocationsAfterFirstMonth = -1;
    // Between slots nothing can be pressed, so the run jumps from a few seconds before each
    // quarter hour to a few seconds after it; the ticks keep their half-second phase.
    for (secondZero = start + 15 * 60 * 1000 - 30 * 1000; secondZero < start + year;
         secondZero += 15 * 60 * 1000) {
        rig.clock.nowMs = secondZero - 4000;
        rig.host.ClearCalls();
        rig.window.changed.clear();
        rig.window.log.clear();
        idleTickInSecondZero = false;
        const int announcedBefore = announcements;
        const int filesBefore = filesSent;
        rig.RunUntil(secondZero + 4000);
        ++slots;
        const int announced = announcements - announcedBefore;
        const int sent = filesSent - filesBefore;
        ASSERT_LE(announced, 1) << "slot " << slots;
        ASSERT_LE(sent, 1) << "slot " << slots;
        if (idleTickInSecondZero) {
            ++idleSlots;
            ASSERT_EQ(announced, 1) << "slot " << slots << " found the node idle";
        } else {
            ASSERT_EQ(announced, 0) << "slot " << slots << " was never idle in second 0";
        }
        if (slots == 31 * 96) {
            allocationsAfterFirstMonth = liveAllocations.load();
        }
    }
    EXPECT_EQ(slots, 365 * 96);
    EXPECT_EQ(idleSlots, slots);  // busy spells are shorter than the gaps between slots
    EXPECT_LE(liveAllocations.load(), allocationsAfterFirstMonth);
}

}  // namespace
}  // namespace hourmark::test
