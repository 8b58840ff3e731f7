// Start-up, activation, minimising and restoring, the clock, and the end of the program.
#include <cmath>
#include <cstdint>
#include <exception>

#include "console/Station.h"

namespace hourmark {

namespace {

// Window edges in twips, to a whole twip; halves go to the even neighbour.
std::int32_t RoundHalfToEven(double v) {
    const double r = std::nearbyint(v);  // the default mode rounds halves to even
    if (std::isnan(r)) {
        return 0;
    }
    if (r < static_cast<double>(INT32_MIN)) {
        return INT32_MIN;
    }
    if (r > static_cast<double>(INT32_MAX)) {
        return INT32_MAX;
    }
    return static_cast<std::int32_t>(r);
}

constexpr const char* kStartAgainAdvice =
    "Check that EchoLink is installed and running, then start HourMark again.";

}  // namespace

void Station::Form_Load() {
    try {
        ports_.window.SetTop(0);
        ports_.window.SetLeft(0);
        host_.CreateMainObject(ports_.hostFactory);
        host_.CreateSetupConfig(ports_.hostFactory);
        hostBound_ = true;
        SetCaption(CaptionFor(host_.SetupConfigCallsign()));
        if (host_.SetupConfigCallsign() == "QX2CD-L") {
            cbAutoOverride.SetValue(1);
        }
        ReadINIFile();
        CheckFanLines();
        LoadNodeButtons();
        ports_.window.AddTrayIcon();
        trayAdded_ = true;
        ports_.window.SetTrayTip(kProgramTitle);
        ports_.window.SetWindowState(WindowState::Minimised);
        // The window's first resize comes whatever state it was created in: that is what hides it.
        Form_Resize();
        loaded_ = true;
    } catch (const HostFailure& failure) {
        // An EchoLink that runs but whose events cannot be had is not helped by being started
        // again: its installation is what needs the operator.
        StartUpFailed("EchoLink failed in " + failure.operation() + ": " + failure.text(),
                      failure.cause() == HostFailure::Cause::Events
                          ? "EchoLink is running but does not let HourMark receive its events: "
                            "repair or update EchoLink's installation, then start HourMark again."
                          : kStartAgainAdvice);
    } catch (const std::exception& e) {
        StartUpFailed(e.what(), kStartAgainAdvice);
    }
}

std::string Station::CaptionFor(const std::string& callsign) {
    return std::string("HourMark - ") + callsign + " - v " + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

void Station::StartUpFailed(const std::string& reason, const char* advice) {
    // Nothing else may run now: no tick, no event, and no save of the settings.
    ending_ = true;
    ports_.window.ShowMessage("HourMark cannot start. " + reason + "\r\n" + advice, kProgramTitle,
                              MessageIcon::Stop);
    EndProgram(1);
}

void Station::Form_Activate() {
    ports_.window.FocusIndicator();
}

void Station::Form_Resize() {
    if (ports_.window.GetWindowState() == WindowState::Normal) {
        LastTop = RoundHalfToEven(ports_.window.Top());
        LastLeft = RoundHalfToEven(ports_.window.Left());
        ports_.window.SetVisible(true);
    } else {
        ports_.window.SetVisible(false);
    }
}

void Station::Form_Unload() {
    ending_ = true;
    if (trayAdded_) {
        trayAdded_ = false;
        ports_.window.DeleteTrayIcon();
    }
    WriteIniFile();
    EndProgram(0);
}

void Station::tTime_Timer() {
    lblTime.SetText(FormatNow("hh:mm:ss"));
}

void Station::SetWindowState(WindowState state) {
    // Like the window's own resize event: it comes only when the state really changes, so a
    // click on the icon while the window is already normal puts it back at LastTop/LastLeft.
    const bool changes = ports_.window.GetWindowState() != state;
    ports_.window.SetWindowState(state);
    if (changes) {
        Form_Resize();
    }
}

void Station::TrayIcon_MouseMove(int eventCode) {
    Window& w = ports_.window;
    switch (eventCode) {
        case kTrayLeftUp:
        case kTrayLeftDoubleClick:
            if (eventCode == kTrayLeftUp) {
                w.SetVisible(true);
            }
            SetWindowState(WindowState::Normal);
            w.SetForeground();
            // Never show the window again over an open dialog.
            if (DialogShowing()) {
                return;
            }
            w.ShowModeless();
            w.SetTop(LastTop);
            w.SetLeft(LastLeft);
            break;
        case kTrayRightUp:
            LastTop = RoundHalfToEven(w.Top());
            LastLeft = RoundHalfToEven(w.Left());
            if (DialogShowing()) {
                return;
            }
            SetWindowState(WindowState::Minimised);
            break;
        default:
            break;  // button presses, moves over the icon, the middle button
    }
}

}  // namespace hourmark
