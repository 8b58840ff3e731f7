// A pause that keeps the program alive: it returns after the given time and runs every other
// event (ticks, clicks, host events) while it waits, nested inside the caller. Every pause waits
// its own time; a pause nested inside it may only keep it waiting longer.
#pragma once

#include <cstdint>

namespace hourmark {

class Pause {
public:
    virtual ~Pause() = default;
    virtual void WaitMilliseconds(std::int64_t milliseconds) = 0;
};

}  // namespace hourmark
