// Helpers for the tests of what goes on the air: a started rig at a chosen moment, and a log of
// every announcement and file the host was handed, with the moment it was handed.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FakePorts.h"

namespace hourmark::test {

inline constexpr const char* kWav = "C:\\wav\\id.wav";

// Starts the rig on 2026-12-07 at the given time with only the given timers running.
inline void StartAt(Rig& rig, int hour, int minute, int second, int ms = 0,
                    std::set<Timer> timers = {Timer::Timer1}) {
    rig.enabledTimers = std::move(timers);
    rig.clock.Set(2026, 12, 7, hour, minute, second, ms);
    rig.Start();
    rig.station.SelectedWavFile = kWav;
    rig.host.ClearCalls();
    // A first start announces the new settings file; the tests here look at what follows.
    rig.window.messages.clear();
}

inline std::int64_t At(int day, int hour, int minute, int second, int ms = 0) {
    return FakeClock::ToMs(2026, 12, day, hour, minute, second, ms);
}

struct OnAir {
    std::int64_t ms;
    std::string call;  // "SpeakText( 9 AM)" for the time of an announcement, or "PlayWaveFile"
    bool operator==(const OnAir&) const = default;
};

// Records the time part of each announcement and each file handed over, then runs `also`.
inline void RecordOnAir(Rig& rig, std::vector<OnAir>& out,
                        std::function<void(const std::string&)> also = nullptr) {
    rig.host.onCall = [&rig, &out, also](const std::string& op) {
        const std::string& call = rig.host.calls.back();
        if (call.rfind("SpeakText( ", 0) == 0) {
            out.push_back({rig.clock.nowMs, call});
        } else if (op == "PlayWaveFile") {
            out.push_back({rig.clock.nowMs, "PlayWaveFile"});
        }
        if (also) {
            also(op);
        }
    };
}

inline std::ostream& operator<<(std::ostream& os, const OnAir& a) {
    const LocalTime t = FakeClock::FromMs(a.ms);
    return os << t.day << " " << t.hour << ":" << t.minute << ":" << t.second << "."
              << t.millisecond << " " << a.call;
}

}  // namespace hourmark::test
