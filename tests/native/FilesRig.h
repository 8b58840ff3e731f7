// A station over any files port (the fake one or real files), with the fake host, clock and
// window, and pauses that pass at once: for the drivers that look at what reaches the disk.
#pragma once

#include <cstdint>

#include "fakes/FakePorts.h"

namespace hourmark::native {

class NoPause : public Pause {
public:
    std::int64_t WaitUpTo(std::int64_t milliseconds, const Over&) override { return milliseconds; }
};

class FilesRig {
public:
    explicit FilesRig(Files& files) : station(Ports{host, clock, window, pause, files}) {}

    test::FakeHost host;
    test::FakeClock clock;
    test::FakeWindow window;
    NoPause pause;
    Station station;
};

}  // namespace hourmark::native
