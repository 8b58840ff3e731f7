#include "console/Dispatcher.h"

#include <utility>

namespace hourmark {

void Dispatcher::Enter(EntryKind kind, Handler handler) {
    if (HostCallPending()) {
        switch (kind) {
            case EntryKind::Tick:
                return;
            case EntryKind::AutoConnectTick:
                heldAutoConnect_ = std::move(handler);
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

void Dispatcher::DeliverHeld() {
    while (!HostCallPending() && (!queued_.empty() || heldAutoConnect_)) {
        Handler next;
        if (!queued_.empty()) {
            next = std::move(queued_.front());
            queued_.pop_front();
        } else {
            next = std::move(heldAutoConnect_);
            heldAutoConnect_ = nullptr;
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
