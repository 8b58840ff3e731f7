#include "StationDay.h"

#include <algorithm>

#include "settings/NodeSetupDialog.h"

namespace hourmark::native {

std::string StartingSettings() {
    std::string text =
        "1,0,0\r\n0,0,0\r\nC:\\wav\\id.wav\r\nC:\\wav\r\n 0 \r\n 0 \r\n"
        "QX1AA-L,1,10:00,12:00,10\r\n"
        "QX2BB-R,0,,,20\r\n";
    for (int i = 2; i < kNodeCount; ++i) {
        text += ",0,,,0\r\n";
    }
    for (int i = 0; i < 50; ++i) {
        text += "\r\n";
    }
    return text;
}

std::string DamagedSettings() {
    return "1,0,0\r\n0,0,0\r\nC:\\wav\\id.wav\r\nC:\\wav\r\n 0 \r\n 0 \r\nQX1AA-L,1,10:";
}

std::size_t DayOutcome::Count(const std::string& text) const {
    return static_cast<std::size_t>(std::count_if(
        messages.begin(), messages.end(), [&](const test::Message& m) { return m.text == text; }));
}

std::vector<std::string> DayOutcome::Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) {
        out.push_back(m.text);
    }
    return out;
}

DayOutcome RunDay(FilesRig& rig, const std::function<void()>& beforeClose) {
    Station& s = rig.station;
    rig.host.callsign = "QX3EF-L";  // a station whose node list is kept on disk
    rig.window.onDialog = [&s](Dialog d) {
        if (d != Dialog::NodeSetup) {
            return;
        }
        s.DialogInput([&s] {
            frmNodeSetup* setup = s.NodeSetup();
            if (setup == nullptr) {
                return;
            }
            setup->rows[1].tbRemoteNode = "QX9ZZ-L";
            setup->rows[1].tbDelay = "15";
            setup->Command2_Click();
        });
    };
    const auto at = [](int hour, int minute, int second, int ms = 0) {
        return test::FakeClock::ToMs(2026, 12, 7, hour, minute, second, ms);
    };

    DayOutcome out;
    try {
        rig.clock.nowMs = at(10, 59, 50);
        s.Start();
        s.HostConnected("QX1AA-L", "Alpha", "44.1.1.1");
        s.NodeButtonMouseUp(1, kRightButton);
        if (!s.cbHour.ticked()) {
            s.Click(Control::cbHour);  // a first start: the operator sets the schedule up
        }
        for (int ms : {0, 500}) {
            rig.clock.nowMs = at(11, 0, 0, ms);
            s.Tick(Timer::Timer1);
        }
        rig.clock.nowMs = at(11, 0, 3);
        s.HostStationListReceived();
        s.HostDisconnected("QX1AA-L");
        s.Click(Control::cbHalfHour);
        if (beforeClose) {
            beforeClose();
        }
        s.Close();
    } catch (const test::ProgramEnded&) {
        out.ended = true;
    }
    out.announced = !rig.host.CallsStartingWith("SpeakText( ").empty();
    out.messages = rig.window.messages;
    return out;
}

}  // namespace hourmark::native
