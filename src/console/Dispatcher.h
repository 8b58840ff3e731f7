// Every entry point into the core comes through here. While a host call is pending COM may run
// timers and event calls inside it; holding them (one tick per timer) and queueing events and
// input keeps them from nesting into the handler that made the call.
#pragma once

#include <deque>
#include <functional>
#include <utility>

namespace hourmark {

enum class EntryKind {
    TimeTick,         // tTime
    Timer1Tick,       // Timer1
    FanTick,          // FanTimer
    AutoConnectTick,  // tAutoConnect
    Event,            // host events: queued while a host call is pending
    Input,            // the operator's actions: queued likewise
};

class Dispatcher {
public:
    using Handler = std::function<void()>;
    using Runner = std::function<void(const Handler&)>;

    // The runner wraps every handler (the error boundary).
    void SetRunner(Runner runner) { runner_ = std::move(runner); }

    void Enter(EntryKind kind, Handler handler);

    void BeginHostCall() { ++hostCallDepth_; }
    void EndHostCall() { --hostCallDepth_; }
    bool HostCallPending() const { return hostCallDepth_ > 0; }

    // Runs what was queued or held while a host call was pending, if none is pending now.
    // Called when an entry point returns and at every place where the program chooses to nest
    // (pauses, dialogs, message boxes).
    void DeliverHeld();

    std::size_t QueuedCount() const { return queued_.size(); }

private:
    void Run(const Handler& handler);
    void HoldTick(EntryKind timer, Handler handler);

    int hostCallDepth_ = 0;
    std::deque<Handler> queued_;
    // At most one tick per timer: a timer that ticks again while its tick waits runs once.
    std::deque<std::pair<EntryKind, Handler>> heldTicks_;
    Runner runner_;
};

// Marks a host call as pending for as long as it lives.
class PendingHostCall {
public:
    explicit PendingHostCall(Dispatcher& d) : d_(d) { d_.BeginHostCall(); }
    ~PendingHostCall() { d_.EndHostCall(); }
    PendingHostCall(const PendingHostCall&) = delete;
    PendingHostCall& operator=(const PendingHostCall&) = delete;

private:
    Dispatcher& d_;
};

}  // namespace hourmark
