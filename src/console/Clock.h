// The local clock. Everything that reads the time of day asks this port, so tests can stand
// the station at any moment.
#pragma once

#include <string>

namespace hourmark {

struct LocalTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
    // The regional designators for times before noon and for noon and after.
    virtual std::string AmDesignator() = 0;
    virtual std::string PmDesignator() = 0;
};

}  // namespace hourmark
