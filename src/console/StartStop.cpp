// Start-up, activation, minimising and restoring, the clock, and the end of the program.
#include <cmath>

#include "console/Station.h"

namespace hourmark {

namespace {

std::int32_t RoundHalfToEven(double v) {
    return static_cast<std::int32_t>(std::nearbyint(v));  // the default mode rounds halves to even
}

}  // namespace

void Station::Form_Load() {
    try {
        ports_.window.SetTop(0);
        ports_.window.SetLeft(0);
        host_.CreateMainObject(ports_.hostFactory);
        host_.CreateSetupConfig(ports_.hostFactory);
        hostBound_ = true;
        SetCaption(std::string("HourMark - ") + host_.SetupConfigCallsign() + " - v " +
                   std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                   std::to_string(kVersionRevision));
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
        Form_Resize();
    } catch (const HostFailure& failure) {
        // Nothing else may run now: no tick, no event, and no save of the settings.
        ending_ = true;
        ports_.window.ShowMessage("HourMark cannot work with EchoLink.\r\n" + failure.operation() +
                                      ": " + failure.text() +
                                      "\r\nCheck that EchoLink is installed and running.",
                                  kProgramTitle, MessageIcon::Stop);
        EndProgram(1);
    }
}

void Station::Form_Activate() { ports_.window.FocusIndicator(); }

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

void Station::tTime_Timer() { lblTime.SetText(FormatNow("hh:mm:ss")); }

void Station::TrayIcon_MouseMove(int eventCode) {
    Window& w = ports_.window;
    switch (eventCode) {
        case kTrayLeftUp:
        case kTrayLeftDoubleClick:
            if (eventCode == kTrayLeftUp) {
                w.SetVisible(true);
            }
            w.SetWindowState(WindowState::Normal);
            Form_Resize();
            w.SetForeground();
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
            w.SetWindowState(WindowState::Minimised);
            Form_Resize();
            break;
        default:
            break;
    }
}

}  // namespace hourmark
