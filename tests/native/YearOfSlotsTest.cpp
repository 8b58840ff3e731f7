// A year on the fake clock with every schedule box ticked and a host that stays busy for a
// random 0-3 s after each transmission, and now and then with a radio user's traffic around a
// slot's second 0: every slot is pressed at most once, every slot whose second 0 finds the node
// idle is served, a slot whose second 0 is busy throughout is not made up later, and the
// program's memory does not grow.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>

#include "fakes/FakePorts.h"

namespace {
// What the whole process holds through operator new: blocks and bytes. Counting bytes as well
// catches a buffer that keeps growing in place of new blocks (a string or vector that is
// appended to for ever keeps one block but doubles it).
std::atomic<long> liveBlocks{0};
std::atomic<long> liveBytes{0};
}  // namespace

void* operator new(std::size_t n) {
    if (void* p = std::malloc(n == 0 ? 1 : n)) {
        ++liveBlocks;
        liveBytes += static_cast<long>(malloc_usable_size(p));
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        --liveBlocks;
        liveBytes -= static_cast<long>(malloc_usable_size(p));
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace hourmark::test {
namespace {

// The fakes' own logs let go of their memory, so that what is left is the station's.
void ReleaseFakeLogs(Rig& rig) {
    std::vector<std::string>().swap(rig.host.calls);
    std::vector<std::string>().swap(rig.window.log);
    std::vector<Control>().swap(rig.window.changed);
    std::vector<Message>().swap(rig.window.messages);
}

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
    // A radio user's traffic in one slot out of four, starting anywhere from 3 s before second 0
    // to near its end: some slots are busy all through second 0, some turn idle inside it.
    std::bernoulli_distribution traffic(0.25);
    std::uniform_int_distribution<std::int64_t> trafficStart(-3000, 900);
    // Where in its half second the timer falls varies from slot to slot.
    std::uniform_int_distribution<std::int64_t> phase(0, 499);
    std::int64_t busyUntil = 0;
    std::int64_t trafficFrom = 0;
    std::int64_t trafficUntil = 0;
    std::int64_t secondZero = 0;
    bool idleTickInSecondZero = false;
    int announcements = 0;
    int filesSent = 0;
    rig.host.onCall = [&](const std::string& op) {
        const std::int64_t now = rig.clock.nowMs;
        if (op == "IsTransmitting") {
            rig.host.transmitting = now < busyUntil || (now >= trafficFrom && now < trafficUntil);
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
    long blocksAfterFirstMonth = -1;
    long bytesAfterFirstMonth = -1;
    long peakBlocks = 0;
    long peakBytes = 0;
    // Between slots nothing can be pressed, so the run jumps from a few seconds before each
    // quarter hour to a few seconds after it.
    for (secondZero = start + 15 * 60 * 1000 - 30 * 1000; secondZero < start + year;
         secondZero += 15 * 60 * 1000) {
        rig.clock.nowMs = secondZero - 4000 - phase(rng);
        trafficFrom = trafficUntil = 0;
        if (traffic(rng)) {
            trafficFrom = secondZero + trafficStart(rng);
            trafficUntil = trafficFrom + busyMs(rng);
        }
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
            ASSERT_EQ(sent, 0) << "slot " << slots << " was never idle in second 0";
        }

        ReleaseFakeLogs(rig);
        if (slots == 31 * 96) {
            blocksAfterFirstMonth = liveBlocks.load();
            bytesAfterFirstMonth = liveBytes.load();
        } else if (slots > 31 * 96) {
            peakBlocks = std::max(peakBlocks, liveBlocks.load());
            peakBytes = std::max(peakBytes, liveBytes.load());
        }
    }
    std::printf(
        "year: %d slots, %d found the node idle in second 0 and were served, %d were busy "
        "throughout it; memory after the first month %ld blocks / %ld bytes, highest after it "
        "%ld blocks / %ld bytes\n",
        slots, idleSlots, slots - idleSlots, blocksAfterFirstMonth, bytesAfterFirstMonth,
        peakBlocks, peakBytes);
    EXPECT_EQ(slots, 365 * 96);
    // Both kinds of slot came up many times over.
    EXPECT_GT(idleSlots, slots / 2);
    EXPECT_GT(slots - idleSlots, slots / 50);
    // Measured after every slot of the other eleven months, never above the first month's.
    EXPECT_LE(peakBlocks, blocksAfterFirstMonth);
    EXPECT_LE(peakBytes, bytesAfterFirstMonth);
}

}  // namespace
}  // namespace hourmark::test
