// What the core itself costs for the work it repeats all year: a settings save and a settings
// read through the files port, and one Timer1 tick with a host that answers at once, both
// between slots and at a slot that goes on the air.
#include <benchmark/benchmark.h>

#include <string>

#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

// A station whose settings file has every field filled, as a busy node's has.
class Filled : public Rig {
public:
    Filled() {
        enabledTimers = {};
        clock.Set(2026, 12, 7, 10, 7, 23);
        Start();
        for (CheckBox* b : {&station.cbHour, &station.cbHalfHour, &station.cbQuarterHour,
                            &station.cbFileHour, &station.cbFileHalfHour}) {
            b->SetValue(1);
        }
        station.SelectedWavFile = "C:\\Program Files\\EchoLink\\wav\\station-identification.wav";
        station.LastWavDir = "C:\\Program Files\\EchoLink\\wav";
        for (int i = 0; i < kNodeCount; ++i) {
            station.nodes[static_cast<std::size_t>(i)] = {
                "QX" + std::to_string(i + 1) + "ABC-L", 1, "0" + std::to_string(i) + ":30",
                "2" + std::to_string(i % 4) + ":45", 10 + i};
        }
        station.WriteIniFile();
        Quiet();
    }
    // Drops what the fakes recorded, so that their logs do not grow with the iterations.
    void Quiet() {
        host.calls.clear();
        window.log.clear();
        window.changed.clear();
        window.messages.clear();
    }
};

void SettingsWrite(benchmark::State& state) {
    Filled rig;
    for (auto _ : state) {
        rig.station.WriteIniFile();
    }
    if (!rig.window.messages.empty() || rig.files.Text(rig.IniPath()).size() < 300) {
        state.SkipWithError("the save did not go through");
    }
}
BENCHMARK(SettingsWrite)->Unit(benchmark::kMicrosecond);

void SettingsRead(benchmark::State& state) {
    Filled rig;
    for (auto _ : state) {
        rig.station.ReadINIFile();
    }
    if (!rig.window.messages.empty() || rig.station.nodes[7].callsign != "QX8ABC-L") {
        state.SkipWithError("the read did not go through");
    }
}
BENCHMARK(SettingsRead)->Unit(benchmark::kMicrosecond);

// A tick between slots: the node is asked whether it is busy and the indicator follows.
void TickBetweenSlots(benchmark::State& state) {
    Filled rig;
    for (auto _ : state) {
        rig.station.Tick(Timer::Timer1);
        rig.host.calls.clear();
    }
    if (rig.station.XMIT_LED != Led::Green) {
        state.SkipWithError("the tick did not run");
    }
}
BENCHMARK(TickBetweenSlots)->Unit(benchmark::kNanosecond);

// A tick in second 0 of a slot that announces the time and sends the file; the ticks alternate
// between the hour and the half hour, so that every one of them is a new slot.
void TickAtSlot(benchmark::State& state) {
    Filled rig;
    const std::int64_t slots[] = {FakeClock::ToMs(2026, 12, 7, 11, 0, 0),
                                  FakeClock::ToMs(2026, 12, 7, 11, 30, 0)};
    std::size_t next = 0;
    benchmark::IterationCount served = 0;
    for (auto _ : state) {
        rig.clock.nowMs = slots[next];
        next ^= 1;
        rig.station.Tick(Timer::Timer1);
        // More than the three busy questions: something went on the air.
        served += rig.host.calls.size() > 3 ? 1 : 0;
        rig.Quiet();
    }
    if (served != state.iterations()) {
        state.SkipWithError("the slots were not served");
    }
}
BENCHMARK(TickAtSlot)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace hourmark::test
