#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "CleanStart.h"
#include "console/Dispatcher.h"
#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

using Log = std::vector<std::string>;

struct DispatcherRig {
    Dispatcher d;
    Log log;
    int runs = 0;
    DispatcherRig() {
        d.SetRunner([this](const Dispatcher::Handler& h) {
            ++runs;
            try {
                h();
            } catch (const std::runtime_error& e) {
                log.push_back(std::string("caught ") + e.what());
            }
        });
    }
    Dispatcher::Handler Note(const std::string& what) {
        return [this, what] { log.push_back(what); };
    }
};

TEST(Dispatcher, RunsAtOnceWhenNoHostCallIsPending) {
    DispatcherRig r;
    r.d.Enter(EntryKind::TimeTick, r.Note("tick"));
    r.d.Enter(EntryKind::AutoConnectTick, r.Note("auto"));
    r.d.Enter(EntryKind::Event, r.Note("event"));
    r.d.Enter(EntryKind::Input, r.Note("input"));
    EXPECT_EQ(r.log, (Log{"tick", "auto", "event", "input"}));
    EXPECT_EQ(r.runs, 4);
}

// Windows' COM modal loop may dispatch WM_TIMER inside a call (Wine never does): a second-0 tick
// or a fan update that came then must still run, once per timer, after the queue.
TEST(Dispatcher, DuringAHostCallEachTimerHoldsOneTickAndTheRestWaitsForTheHandlersEnd) {
    DispatcherRig r;
    r.d.Enter(EntryKind::FanTick, [&] {
        {
            PendingHostCall call(r.d);
            r.d.Enter(EntryKind::Timer1Tick, r.Note("Timer1 1"));
            r.d.Enter(EntryKind::Event, r.Note("event 1"));
            r.d.Enter(EntryKind::AutoConnectTick, r.Note("auto 1"));
            r.d.Enter(EntryKind::FanTick, r.Note("fan 1"));
            r.d.Enter(EntryKind::Input, r.Note("input"));
            r.d.Enter(EntryKind::Timer1Tick, r.Note("Timer1 2"));
            r.d.Enter(EntryKind::TimeTick, r.Note("tTime 1"));
            r.d.Enter(EntryKind::AutoConnectTick, r.Note("auto 2"));
            r.d.Enter(EntryKind::Event, r.Note("event 2"));
            r.d.Enter(EntryKind::TimeTick, r.Note("tTime 2"));
            EXPECT_EQ(r.d.QueuedCount(), 3u);
            // Nothing is delivered while the call is still pending.
            r.d.DeliverHeld();
            EXPECT_TRUE(r.log.empty());
        }
        r.log.push_back("handler goes on after the call");
        { PendingHostCall second(r.d); }
        r.log.push_back("handler ends");
    });
    EXPECT_EQ(r.log, (Log{"handler goes on after the call", "handler ends", "event 1", "input",
                          "event 2", "Timer1 2", "auto 2", "fan 1", "tTime 2"}));
    EXPECT_EQ(r.d.QueuedCount(), 0u);
    EXPECT_FALSE(r.d.HostCallPending());
    // Nothing stays held for a later entry point.
    r.log.clear();
    r.d.Enter(EntryKind::Input, r.Note("later"));
    EXPECT_EQ(r.log, (Log{"later"}));
}

TEST(Dispatcher, NothingOvertakesWhatCameBeforeIt) {
    DispatcherRig r;
    r.d.Enter(EntryKind::Input, [&] {
        {
            PendingHostCall call(r.d);
            r.d.Enter(EntryKind::Event, r.Note("queued during the call"));
        }
        // Later, in a pause of this handler, another event arrives.
        r.d.Enter(EntryKind::Event, r.Note("arrived in the pause"));
        r.log.push_back("handler ends");
    });
    EXPECT_EQ(r.log, (Log{"queued during the call", "arrived in the pause", "handler ends"}));
}

TEST(Dispatcher, WhatADeliveredHandlerQueuesComesAfterWhatWasAlreadyWaiting) {
    DispatcherRig r;
    r.d.Enter(EntryKind::Timer1Tick, [&] {
        PendingHostCall call(r.d);
        r.d.Enter(EntryKind::Event, [&] {
            r.log.push_back("event 1");
            PendingHostCall inner(r.d);
            r.d.Enter(EntryKind::Event, r.Note("event 3"));
            r.d.Enter(EntryKind::AutoConnectTick, r.Note("auto"));
        });
        r.d.Enter(EntryKind::Event, r.Note("event 2"));
    });
    EXPECT_EQ(r.log, (Log{"event 1", "event 2", "event 3", "auto"}));
}

TEST(Dispatcher, AFailingHandlerDoesNotHoldUpTheOthers) {
    DispatcherRig r;
    r.d.Enter(EntryKind::FanTick, [&] {
        PendingHostCall call(r.d);
        r.d.Enter(EntryKind::Event, [] { throw std::runtime_error("event 1 failed"); });
        r.d.Enter(EntryKind::Event, r.Note("event 2"));
    });
    EXPECT_EQ(r.log, (Log{"caught event 1 failed", "event 2"}));
    // Every delivered handler went through the runner.
    EXPECT_EQ(r.runs, 3);
}

TEST(Dispatcher, AFailedHostCallIsNoLongerPending) {
    DispatcherRig r;
    r.d.Enter(EntryKind::FanTick, [&] {
        PendingHostCall call(r.d);
        throw std::runtime_error("call failed");
    });
    EXPECT_FALSE(r.d.HostCallPending());
    r.d.Enter(EntryKind::FanTick, r.Note("next tick"));
    EXPECT_EQ(r.log, (Log{"caught call failed", "next tick"}));
}

// ---- The same rules as the station's host calls meet them ---------------------------------

struct StationDispatch : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.enabledTimers = {Timer::FanTimer};
        ASSERT_TRUE(StartClean(rig));
        rig.station.FanRTS.SetValue(1);
        rig.host.ClearCalls();
    }
};

TEST_F(StationDispatch, ASlotTickThatComesDuringAHostCallIsServedOnceTheCallReturns) {
    rig.enabledTimers = {};
    rig.station.cbHour.SetValue(1);
    rig.clock.Set(2026, 12, 7, 11, 59, 59, 800);
    rig.host.onCall = [&](const std::string& op) {
        if (op == "IsTransmitting" && rig.host.Count("IsTransmitting") == 1) {
            // Noon comes while the fan's reading is pending; each timer ticks there, twice.
            rig.clock.Set(2026, 12, 7, 12, 0, 0, 100);
            for (int i = 0; i < 2; ++i) {
                for (Timer t : {Timer::Timer1, Timer::tTime, Timer::FanTimer}) {
                    rig.station.Tick(t);
                }
            }
            EXPECT_EQ(rig.host.calls.size(), 1u) << "nothing ran inside the call";
        }
    };
    rig.station.Tick(Timer::FanTimer);
    EXPECT_EQ(rig.host.CallsStartingWith("SpeakText( 12 PM)").size(), 1u) << "noon was announced";
    EXPECT_EQ(rig.station.lblTime.text(), "12:00:00");
    // The fan tick's own line first, then the held fan tick once more, after the others.
    ASSERT_GE(rig.host.calls.size(), 2u);
    EXPECT_EQ(rig.host.calls[1], "SetRts(false)");
    EXPECT_EQ(rig.host.Count("SetRts(false)"), 2u);
    EXPECT_EQ(rig.host.calls.back(), "SetRts(false)");
}

TEST_F(StationDispatch, EventsAndInputDuringAHostCallRunInOrderWhenTheHandlerIsDone) {
    Log seen;
    auto note = [&](const std::string& what) {
        return [&, what] {
            seen.push_back(what + (rig.host.Count("SetRts(false)") == 1 ? " after" : " before") +
                           " the line");
        };
    };
    rig.host.onCall = [&](const std::string& op) {
        if (op == "IsTransmitting") {
            rig.host.onCall = nullptr;
            rig.station.DialogInput(note("A"));
            rig.station.DialogInput(note("B"));
            rig.station.HostClosing();
            rig.station.DialogInput(note("C"));
        }
    };
    EXPECT_EQ(EndsWith([&] { rig.RunFor(500); }), std::optional<int>(0));
    EXPECT_EQ(seen, (Log{"A after the line", "B after the line"}));
    EXPECT_EQ(rig.window.log.back(), "EndProgram(0)");
}

TEST_F(StationDispatch, OnceTheProgramIsEndingWhatWaitedBehindTheClosingNeverGoesOnTheAir) {
    rig.host.onCall = [&](const std::string& op) {
        if (op == "IsTransmitting") {
            rig.host.onCall = nullptr;
            rig.station.HostClosing();
            rig.station.HostDTMFString("000*");
        }
    };
    // The closing save fails: its message box is a place where held work could run.
    rig.files.failReplace = true;
    EXPECT_EQ(EndsWith([&] { rig.RunFor(500); }), std::optional<int>(0));
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, "Error Writing .INI File");
    EXPECT_EQ(rig.host.CallsStartingWith("SpeakText").size(), 0u);
    EXPECT_EQ(rig.host.Count("IsBusyA"), 0u) << "the time's idle test did not even begin";
}

TEST_F(StationDispatch, WorkHeldDuringAHostCallRunsBeforeAMessageBoxOpens) {
    Log seen;
    rig.window.onMessage = [&](const Message&) { seen.push_back("message box"); };
    rig.station.DialogInput([&] {
        rig.host.onCall = [&](const std::string&) {
            rig.host.onCall = nullptr;
            rig.station.DialogInput([&] { seen.push_back("held input"); });
        };
        rig.station.host().IsTransmitting();
        rig.station.ShowMessage("Note", MessageIcon::Information);
    });
    EXPECT_EQ(seen, (Log{"held input", "message box"}));
}

TEST_F(StationDispatch, EventsThatComeDuringAPauseRunInsideIt) {
    Log seen;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "IsTransmitting") {
            rig.host.onCall = nullptr;
            rig.station.DialogInput([&] { seen.push_back("event in the pause"); });
        }
    };
    rig.station.DialogInput([&] {
        rig.station.WaitSeconds(2);
        seen.push_back("after the pause");
    });
    EXPECT_EQ(seen, (Log{"event in the pause", "after the pause"}));
    EXPECT_EQ(rig.pause.waits, (std::vector<std::int64_t>{2000}));
}

}  // namespace
}  // namespace hourmark::test
