#include "console/Station.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "console/ControlTable.h"
#include "console/TimeFormat.h"
#include "schedule/WavPicker.h"
#include "settings/NodeSetupDialog.h"

namespace hourmark {

Station::Station(Ports ports)
    : ports_(ports),
      boundary_([this](const std::string& text) { ShowMessage(text, MessageIcon::Stop); }),
      host_(dispatcher_, boundary_) {
    dispatcher_.SetRunner([this](const Dispatcher::Handler& h) {
        // Once the program is ending, what still waited in the queue is dropped: a message box
        // of the closing save must not let it run.
        if (!ending_) {
            boundary_.Run(h);
            TellOutage();
        }
    });
    host_.OnGone([this](const HostFailure& failure) { HostLost(failure); });
    BindControls();
}

Station::~Station() = default;

void Station::BindControls() {
    ControlNotify notify = [this](Control c) { ports_.window.ControlChanged(c); };
    for (const ControlEntry& c : kControls) {
        if (CheckBox* box = c.CheckBoxIn(*this)) {
            std::function<void()> onClick;
            if (c.click != nullptr) {
                onClick = [this, click = c.click] { (this->*click)(); };
            }
            box->Bind(notify, std::move(onClick));
        } else if (TextControl* text = c.TextIn(*this)) {
            text->Bind(notify);
        }
    }
}

// ---- Entry points -------------------------------------------------------------------------

void Station::Enter(EntryKind kind, const std::function<void()>& handler) {
    // Before start-up has the host, and once the program is ending, nothing else runs.
    if (!hostBound_ || ending_) {
        return;
    }
    dispatcher_.Enter(kind, handler);
}

void Station::Start() {
    if (started_) {
        return;
    }
    started_ = true;
    Form_Load();
    // Host events that came in during start-up's own host calls.
    dispatcher_.DeliverHeld();
}

void Station::Tick(Timer timer) {
    switch (timer) {
        case Timer::tTime:
            Enter(EntryKind::TimeTick, [this] {
                tTime_Timer();
                WatchHost();
            });
            break;
        // The other three only ask EchoLink; while it is gone they would only fail.
        case Timer::Timer1:
            Enter(EntryKind::Timer1Tick, [this] {
                if (!host_.Gone()) {
                    Timer1_Timer();
                }
            });
            break;
        case Timer::FanTimer:
            Enter(EntryKind::FanTick, [this] {
                if (!host_.Gone()) {
                    FanTimer_Timer();
                }
            });
            break;
        case Timer::tAutoConnect:
            Enter(EntryKind::AutoConnectTick, [this] {
                if (!host_.Gone()) {
                    tAutoConnect_Timer();
                }
            });
            break;
    }
}

void Station::Click(Control control) {
    Enter(EntryKind::Input, [this, control] {
        const ControlEntry* c = DescribeControl(control);
        if (c == nullptr) {
            return;
        }
        if (CheckBox* box = c->CheckBoxIn(*this)) {
            box->Click();  // its handler runs when the value changes
        } else if (const TextControl* button = c->TextIn(*this);
                   button != nullptr && c->click != nullptr && button->enabled()) {
            (this->*c->click)();
        }
    });
}

void Station::NodeButtonMouseUp(int index, int mouseButton) {
    if (index < 0 || index >= kNodeCount) {
        return;
    }
    Enter(EntryKind::Input,
          [this, index, mouseButton] { cmdRemoteNode_MouseUp(index, mouseButton); });
}

void Station::TrayCallback(int eventCode) {
    Enter(EntryKind::Input, [this, eventCode] { TrayIcon_MouseMove(eventCode); });
}

void Station::Activated() {
    Enter(EntryKind::Input, [this] { Form_Activate(); });
}

void Station::Resized() {
    Enter(EntryKind::Input, [this] { Form_Resize(); });
}

void Station::Close() {
    // The close is never queued behind a pending host call: the operator asked to stop.
    if (!hostBound_ || ending_) {
        return;
    }
    boundary_.Run([this] { Form_Unload(); });
}

void Station::EndSession() {
    Close();
}

void Station::HostStationListReceived() {
    Enter(EntryKind::Event, [this] { ELo_StationListReceived(); });
}

void Station::HostClosing() {
    Enter(EntryKind::Event, [this] { ELo_Closing(); });
}

void Station::HostConnected(const std::string& sCall, const std::string& sName,
                            const std::string& sAddr) {
    Enter(EntryKind::Event, [this, sCall, sName, sAddr] { ELo_Connected(sCall, sName, sAddr); });
}

void Station::HostDisconnected(const std::string& sCall) {
    Enter(EntryKind::Event, [this, sCall] { ELo_Disconnected(sCall); });
}

void Station::HostDTMFString(const std::string& sDigits) {
    Enter(EntryKind::Event, [this, sDigits] { ELo_DTMFString(sDigits); });
}

void Station::HostUnknownEvent(std::int32_t id) {
    Enter(EntryKind::Event, [this, id] {
        WriteLog("<EchoLink> event " + std::to_string(id) + " not known to HourMark, ignored");
    });
}

void Station::DialogInput(const std::function<void()>& handler) {
    Enter(EntryKind::Input, handler);
}

// ---- Helpers --------------------------------------------------------------------------------

void Station::FocusStep() {
    if (ports_.window.CanFocusIndicator()) {
        ports_.window.FocusIndicator();
    }
}

bool Station::DialogShowing() {
    return ports_.window.IsDialogShowing(Dialog::NodeSetup) ||
           ports_.window.IsDialogShowing(Dialog::WavPicker);
}

void Station::FocusStepUnlessDialog() {
    if (!DialogShowing()) {
        FocusStep();
    }
}

void Station::ShowMessage(const std::string& text, MessageIcon icon, const std::string& title) {
    dispatcher_.DeliverHeld();
    ports_.window.ShowMessage(text, title, icon);
}

void Station::SetLed(Led led) {
    if (led != XMIT_LED) {
        XMIT_LED = led;
        ports_.window.ControlChanged(Control::XMIT_LED);
    }
}

void Station::SetCaption(const std::string& text) {
    caption = text;
    ports_.window.ControlChanged(Control::Caption);
}

void Station::OpenNodeSetup() {
    if (nodeSetup_) {
        return;  // already open: a modal dialog is never opened twice
    }
    nodeSetup_ = std::make_unique<frmNodeSetup>(*this);
    struct Unload {
        std::unique_ptr<frmNodeSetup>& d;
        ~Unload() { d.reset(); }
    } unload{nodeSetup_};
    nodeSetup_->Form_Load();
    dispatcher_.DeliverHeld();
    ports_.window.ShowDialog(Dialog::NodeSetup);
}

void Station::OpenWavPicker() {
    if (wavPicker_) {
        return;
    }
    wavPicker_ = std::make_unique<frmSelect>(*this);
    struct Unload {
        std::unique_ptr<frmSelect>& d;
        ~Unload() { d.reset(); }
    } unload{wavPicker_};
    wavPicker_->Form_Load();
    dispatcher_.DeliverHeld();
    ports_.window.ShowDialog(Dialog::WavPicker);
    // However the picker was closed, it remembers the directory it showed.
    wavPicker_->Form_Unload();
}

void Station::CloseNodeSetup() {
    ports_.window.CloseDialog(Dialog::NodeSetup);
}

void Station::CloseWavPicker() {
    ports_.window.CloseDialog(Dialog::WavPicker);
}

std::string Station::ProgramDirectory() {
    return ports_.files.ProgramDirectory();
}

std::string Station::FormatNow(const char* pattern) {
    return Format(ports_.clock.Now(), pattern);
}

std::string Station::Format(const LocalTime& t, const char* pattern) {
    // The regional designators are asked for only by a pattern that shows them, not by the
    // clock's every second.
    if (std::string_view(pattern).find("AMPM") == std::string_view::npos) {
        return FormatTime(t, pattern, {}, {});
    }
    return FormatTime(t, pattern, ports_.clock.AmDesignator(), ports_.clock.PmDesignator());
}

void Station::EndProgram(int exitCode) {
    ending_ = true;
    if (trayAdded_) {
        trayAdded_ = false;
        ports_.window.DeleteTrayIcon();
    }
    host_.Release();
    ports_.window.EndProgram(exitCode);
    std::abort();  // a window port that returned from EndProgram broke its promise
}

}  // namespace hourmark
