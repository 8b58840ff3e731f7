// Whether EchoLink is with us or gone, and when to look for it again. The seconds are the
// clock label's ticks, so nothing runs between two attempts but the ticks that run anyway.
#pragma once

namespace hourmark {

class HostOutage {
public:
    // The first minute of an outage is tried often, since a watchdog or the operator usually
    // starts EchoLink again within it; after that, and for an EchoLink that has died again
    // soon after it came back, once a minute.
    static constexpr int kFirstTry = 2;
    static constexpr int kQuickStep = 5;
    static constexpr int kSlowStep = 60;

    bool Gone() const { return gone_; }
    void Lost();
    void Back();
    // One second passed; true when a reattach is due now.
    bool SecondPassed();
    // True once for each outage: the one time it is told.
    bool TakeReport();

private:
    bool gone_ = false;
    bool reported_ = true;
    int seconds_ = 0;  // since the outage began, or since EchoLink came back
    int nextTry_ = 0;  // the second of the outage at which the next attempt is made
    bool everBack_ = false;
};

}  // namespace hourmark
