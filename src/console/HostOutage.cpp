#include "console/HostOutage.h"

namespace hourmark {

void HostOutage::Lost() {
    if (gone_) {
        return;
    }
    const bool diedSoonAfterComingBack = everBack_ && seconds_ < kSlowStep;
    gone_ = true;
    reported_ = false;
    seconds_ = 0;
    nextTry_ = diedSoonAfterComingBack ? kSlowStep : kFirstTry;
}

void HostOutage::Back() {
    gone_ = false;
    everBack_ = true;
    seconds_ = 0;
}

bool HostOutage::SecondPassed() {
    // Counting stops where nothing depends on it any more, so it never overflows.
    if (seconds_ < kSlowStep * 2 || gone_) {
        ++seconds_;
    }
    if (!gone_ || seconds_ < nextTry_) {
        return false;
    }
    nextTry_ = seconds_ < kSlowStep ? seconds_ + kQuickStep : seconds_ + kSlowStep;
    return true;
}

bool HostOutage::TakeReport() {
    if (reported_) {
        return false;
    }
    reported_ = true;
    return true;
}

}  // namespace hourmark
