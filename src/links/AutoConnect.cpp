// Once a minute: every entry marked auto is linked inside its daily window and unlinked outside
// it, one entry after the other, with a pause after each attempt.
#include "links/AutoConnect.h"

#include "console/Station.h"

namespace hourmark {

namespace {

constexpr std::int32_t kPauseAfterDisconnect = 2;

}  // namespace

bool InsideAutoConnectWindow(const std::string& start, const std::string& stop,
                             const std::string& now) {
    if (start < stop) {
        return start <= now && now <= stop;
    }
    if (start > stop) {
        return now >= start || now <= stop;
    }
    return false;
}

void Station::tAutoConnect_Timer() {
    // A tick that falls due while a pass is still working (pausing, or waiting for the host)
    // is dropped; the next regular tick runs as usual.
    if (autoConnectWorking) {
        return;
    }
    if (cbAutoOverride.value() == 1) {
        return;
    }
    autoConnectWorking = true;
    struct Done {
        bool& working;
        ~Done() { working = false; }
    } done{autoConnectWorking};

    // A tick that arrived during one of this pass's host calls is held by the dispatcher. It is
    // let through while the pass still counts as working, so that it is dropped instead of
    // running as a second pass right after this one.
    auto deliverWhileWorking = [this] { dispatcher_.DeliverHeld(); };

    try {
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            // The entry as it is now: the setup dialog may have stored new rows during a pause.
            const NodeEntry entry = nodes[i];
            if (entry.autoFlag != 1) {
                continue;
            }
            const bool inside =
                InsideAutoConnectWindow(entry.startTime, entry.stopTime, FormatNow("hh:mm"));
            const bool linked = host_.IsConnectedTo(entry.callsign);
            if (inside && !linked) {
                WriteLog("HourMark Connect try: " + entry.callsign);
                try {
                    host_.Connect(entry.callsign, 0);
                } catch (const HostFailure&) {
                    // A refused attempt is simply made again at the next tick.
                }
                try {
                    WaitSeconds(entry.delay);
                } catch (const HostFailure&) {
                }
            } else if (!inside && linked) {
                WriteLog("HourMark Disconnect try: " + entry.callsign);
                try {
                    host_.Disconnect(entry.callsign);
                } catch (const HostFailure&) {
                }
                try {
                    WaitSeconds(kPauseAfterDisconnect);
                } catch (const HostFailure&) {
                }
            }
        }
    } catch (const HostFailure&) {
        // IsConnectedTo failed; the error boundary reports it once what was held has run.
        deliverWhileWorking();
        throw;
    }
    deliverWhileWorking();
}

}  // namespace hourmark
