// EchoLink crashes, is killed or restarted while HourMark runs: HourMark says so once, asks
// nothing of the dead host, and binds itself to EchoLink again when it runs again.
#include "console/Station.h"

namespace hourmark {

namespace {

constexpr const char* kOutageReport = "EchoLink gone";

}  // namespace

void Station::HostLost(const HostFailure& failure) {
    // At start-up a lost host ends the program, as any start-up failure does.
    if (!loaded_ || outage_.Gone()) {
        return;
    }
    outage_.Lost();
    outageText_ = failure.operation() + ": " + failure.text();
    WriteLog("HourMark lost EchoLink in " + outageText_);
}

void Station::TellOutage() {
    if (!outage_.TakeReport()) {
        return;
    }
    // Through the boundary's rule of one open report: a box still open from the last outage
    // (nobody may answer for days) stands for this one too.
    boundary_.Tell(kOutageReport, "EchoLink stopped answering in " + outageText_ +
                                      "\r\nHourMark carries on by itself when EchoLink runs "
                                      "again.");
}

void Station::WatchHost() {
    if (outage_.SecondPassed()) {
        Reattach();
    }
}

void Station::Reattach() {
    // Creating the objects would start a registered EchoLink that is not running; whether it
    // runs is left to the operator and the station's watchdog, which may be starting it now.
    if (!ports_.hostFactory.HostRunning()) {
        return;
    }
    std::string callsign;
    try {
        host_.Reattach(ports_.hostFactory);
        callsign = host_.SetupConfigCallsign();
    } catch (const HostFailure& failure) {
        if (failure.cause() == HostFailure::Cause::Events) {
            // As at start-up: an EchoLink whose events cannot be had is not waited for. What the
            // operator changed meanwhile is saved.
            ending_ = true;
            ports_.window.ShowMessage(
                "HourMark cannot go on. EchoLink failed in " + failure.operation() + ": " +
                    failure.text() +
                    "\r\nEchoLink is running but does not let HourMark receive its events: "
                    "repair or update EchoLink's installation, then start HourMark again.",
                kProgramTitle, MessageIcon::Stop);
            if (trayAdded_) {
                trayAdded_ = false;
                ports_.window.DeleteTrayIcon();
            }
            WriteIniFile();
            EndProgram(1);
        }
        // Still gone, or gone again at once: the next attempt comes at its pace.
        host_.Forget();
        return;
    }
    outage_.Back();
    boundary_.Succeeded(kOutageReport);
    WriteLog("HourMark back with EchoLink: " + callsign);
    SetCaption(CaptionFor(callsign));
    LoadNodeButtons();
}

}  // namespace hourmark
