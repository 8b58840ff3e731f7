#include "console/Dispatcher.h"

#include <algorithm>

namespace hourmark {

void Dispatcher::Enter(EntryKind kind, Handler handler) {
    if (HostCallPending()) {
        switch (kind) {
            case EntryKind::TimeTick:
            case EntryKind::Timer1Tick:
            case EntryKind::FanTick:
            case EntryKind::AutoConnectTick:
                HoldTick(kind, std::move(handler));
                return;
            case EntryKind::Event:
            case EntryKind::Input:
                queued_.push_back(std::move(handler));
                return;
        }
    }
    // Whatever waited for an earlier call goes first, so nothing overtakes what came before it
    // (an event queued during a call before a pause is not run after one that arrived in it).
    DeliverHeld();
    Run(handler);
    DeliverHeld();
}

void Dispatcher::HoldTick(EntryKind timer, Handler handler) {
    const auto held = std::find_if(heldTicks_.begin(), heldTicks_.end(),
                                   [timer](const auto& tick) { return tick.first == timer; });
    if (held != heldTicks_.end()) {
        held->second = std::move(handler);
    } else {
        heldTicks_.emplace_back(timer, std::move(handler));
    }
}

void Dispatcher::DeliverHeld() {
    while (!HostCallPending() && (!queued_.empty() || !heldTicks_.empty())) {
        Handler next;
        if (!queued_.empty()) {
            next = std::move(queued_.front());
            queued_.pop_front();
        } else {
            next = std::move(heldTicks_.front().second);
            heldTicks_.pop_front();
        }
        Run(next);
    }
}

void Dispatcher::Run(const Handler& handler) {
    if (runner_) {
        runner_(handler);
    } else {
        handler();
    }
}

}  // namespace hourmark
