#include <gtest/gtest.h>

#include "fakes/FakePorts.h"
#include "settings/NodeSetupDialog.h"

namespace hourmark::test {
namespace {

// The settings file as the station keeps it, written from the values in memory, so that the
// re-read on opening finds what the test set up.
std::string SettingsText(const Station& s) {
    auto boxes = [](const CheckBox& a, const CheckBox& b, const CheckBox& c) {
        return std::to_string(a.value()) + "," + std::to_string(b.value()) + "," +
               std::to_string(c.value()) + "\r\n";
    };
    std::string text = boxes(s.cbHour, s.cbHalfHour, s.cbQuarterHour) +
                       boxes(s.cbFileHour, s.cbFileHalfHour, s.cbFileQuarterHour) +
                       s.SelectedWavFile + "\r\n" + s.LastWavDir + "\r\n" + " " +
                       std::to_string(s.FanRTS.value()) + " \r\n" + " " +
                       std::to_string(s.FanDTR.value()) + " \r\n";
    for (const NodeEntry& e : s.nodes) {
        text += e.callsign + "," + std::to_string(e.autoFlag) + "," + e.startTime + "," +
                e.stopTime + "," + std::to_string(e.delay) + "\r\n";
    }
    for (int i = 0; i < 50; ++i) {
        text += "\r\n";
    }
    return text;
}

struct SetupRig : Rig {
    explicit SetupRig(int hour = 10) {
        clock.Set(2026, 12, 7, hour, 0, 0);
        enabledTimers = {};
        station.nodes[0] = {"QX1AA-L", 1, "14:00", "23:59", 10};
        station.nodes[1] = {"QX2BB-L", 2, "", "", -5};
        station.nodes[3] = {"QX4DD-L", 0, "01:00", "02:00", 30};
        // Hand-edited auto flags: greyed, and one no check box can show.
        station.nodes[5] = {"QX6FF-L", 2, "", "", 10};
        station.nodes[6] = {"QX7GG-L", 7, "", "", 10};
        files.files[IniPath()] = SettingsText(station);
        Start();
        host.ClearCalls();
        window.messages.clear();
    }
    frmNodeSetup& Dialog() { return *station.NodeSetup(); }
    void Press(void (frmNodeSetup::*handler)()) {
        station.DialogInput([this, handler] { (Dialog().*handler)(); });
    }
    // Opens the setup by a right click and runs the script as the operator.
    void Open(const std::function<void()>& script) {
        window.onDialog = [script](hourmark::Dialog) { script(); };
        station.NodeButtonMouseUp(4, kRightButton);
    }
};

// What the test below relies on: a first start finds no file and writes one.
bool StartUpWritesTheSettingsFile() {
    Rig probe;
    probe.Start();
    return probe.files.files.count(probe.IniPath()) != 0;
}

TEST(NodeSetup, ShowsTheTableAndOkStoresTheRowsTidied) {
    SetupRig rig;
    rig.host.linked = {"QX5EE-L"};
    rig.Open([&] {
        auto& rows = rig.Dialog().rows;
        EXPECT_EQ(rows[0].tbRemoteNode, "QX1AA-L");
        EXPECT_EQ(rows[0].tbTimeStop, "23:59");
        EXPECT_EQ(rows[1].tbDelay, "-5");
        EXPECT_EQ((std::vector<int>{rows[0].cbAuto, rows[1].cbAuto, rows[3].cbAuto, rows[5].cbAuto,
                                    rows[6].cbAuto}),
                  (std::vector<int>{1, 2, 0, 2, 0}));
        rows[0] = {1, "  qx5ee-l ", " 22:00 ", "06:00", "12.5"};
        rows[1].cbAuto = 1;
        rows[1].tbDelay = "1 5";
        rows[2].tbRemoteNode = "qx1\303\244b-l";  // upper case is the code page's
        rig.Press(&frmNodeSetup::Command2_Click);
        EXPECT_EQ(rig.window.showing.count(Dialog::NodeSetup), 0u);
    });
    const NodeTable& n = rig.station.nodes;
    EXPECT_EQ(n[0].callsign, "QX5EE-L");
    EXPECT_EQ(n[2].callsign, "QX1\303\204B-L");
    EXPECT_EQ(n[0].startTime, "22:00");
    EXPECT_EQ(n[0].stopTime, "06:00");
    EXPECT_EQ(n[0].delay, 12);
    // Row 1 was greyed and ticked by the operator; row 5 was left greyed; row 6 held a value no
    // box can show.
    EXPECT_EQ((std::vector<int>{n[0].autoFlag, n[1].autoFlag, n[3].autoFlag, n[5].autoFlag,
                                n[6].autoFlag}),
              (std::vector<int>{1, 1, 0, 2, 0}));
    EXPECT_EQ(n[1].delay, 15);
    EXPECT_EQ(n[2].delay, 10);  // a row never filled in gets the shortest delay
    EXPECT_EQ(n[3].delay, 30);
    EXPECT_EQ(rig.station.cmdRemoteNode[0].text(), "QX5EE-L*");
    EXPECT_EQ(rig.station.cmdRemoteNode[3].text(), "QX4DD-L");
    EXPECT_EQ(rig.host.CallsStartingWith("IsConnectedTo").size(), 8u);
    EXPECT_EQ(rig.station.NodeSetup(), nullptr);
}

TEST(NodeSetup, CancelAndTheCloseBoxStoreNothing) {
    for (auto handler : {&frmNodeSetup::Command1_Click, &frmNodeSetup::CloseBox}) {
        SetupRig rig;
        const NodeTable before = rig.station.nodes;
        const std::string file = rig.files.Text(rig.IniPath());
        rig.Open([&] {
            rig.Dialog().rows[0] = {0, "QX9ZZ-L", "00:00", "00:01", "99"};
            rig.Press(handler);
            EXPECT_EQ(rig.window.showing.count(Dialog::NodeSetup), 0u);
        });
        EXPECT_EQ(rig.station.nodes[0].callsign, before[0].callsign);
        EXPECT_EQ(rig.station.nodes[0].delay, before[0].delay);
        EXPECT_EQ(rig.station.cmdRemoteNode[0].text(), "QX1AA-L");
        EXPECT_EQ(rig.files.Text(rig.IniPath()), file);
        EXPECT_TRUE(rig.host.calls.empty());
    }
}

TEST(NodeSetup, OkRefusesADoubleQuoteNamingRowAndField) {
    SetupRig rig;
    const std::string file = rig.files.Text(rig.IniPath());
    std::vector<std::string> texts;
    rig.Open([&] {
        auto& rows = rig.Dialog().rows;
        rows[0].tbRemoteNode = "qx8yy-l";
        rows[2].tbTimeStart = "1\"2";
        rig.Press(&frmNodeSetup::Command2_Click);
        rows[2].tbTimeStart = "12:00";
        rows[7].tbRemoteNode = "\"QX";
        rig.Press(&frmNodeSetup::Command2_Click);
        for (const auto& m : rig.window.messages) {
            texts.push_back(m.text.substr(0, m.text.find(':')));
        }
        EXPECT_EQ(rig.window.showing.count(Dialog::NodeSetup), 1u);
        EXPECT_EQ(rows[7].tbRemoteNode, "\"QX");
        EXPECT_EQ(rig.station.nodes[0].callsign, "QX1AA-L");
        EXPECT_EQ(rig.files.Text(rig.IniPath()), file);
        rows[7].tbRemoteNode = "QX";
        rig.Press(&frmNodeSetup::Command2_Click);
    });
    EXPECT_EQ(texts, (std::vector<std::string>{"Row 3, Start", "Row 8, Node Call"}));
    EXPECT_EQ(rig.station.nodes[0].callsign, "QX8YY-L");
    EXPECT_EQ(rig.station.nodes[2].startTime, "12:00");
    EXPECT_EQ(rig.station.nodes[7].callsign, "QX");
}

TEST(NodeSetup, OkStaysOpenWhenTheButtonsCannotBeCaptioned) {
    SetupRig rig;
    rig.host.Fail("IsConnectedTo");
    rig.Open([&] {
        rig.Dialog().rows[0].tbRemoteNode = "QX7GG-L";
        rig.Press(&frmNodeSetup::Command2_Click);
        EXPECT_EQ(rig.window.showing.count(Dialog::NodeSetup), 1u);
        ASSERT_EQ(rig.window.messages.size(), 1u);
        EXPECT_NE(rig.window.messages[0].text.find("IsConnectedTo"), std::string::npos);
        // Once the host answers again, OK goes through to the end.
        rig.host.Succeed("IsConnectedTo");
        rig.Press(&frmNodeSetup::Command2_Click);
        EXPECT_EQ(rig.window.showing.count(Dialog::NodeSetup), 0u);
    });
    EXPECT_EQ(rig.station.nodes[0].callsign, "QX7GG-L");
    EXPECT_EQ(rig.station.cmdRemoteNode[0].text(), "QX7GG-L");
}

TEST(NodeSetup, ReadsTheFileOnOpeningAndSavesBeforeTheButtons) {
    ASSERT_TRUE(StartUpWritesTheSettingsFile());
    SetupRig rig;
    // Changes made since the last save are dropped by the opening.
    rig.station.nodes[0].callsign = "QX0XX-L";
    rig.station.cbHour.SetValue(1);
    std::string fileAtButtons;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "IsConnectedTo" && fileAtButtons.empty()) {
            fileAtButtons = rig.files.Text(rig.IniPath());
        }
    };
    rig.Open([&] {
        EXPECT_EQ(rig.Dialog().rows[0].tbRemoteNode, "QX1AA-L");
        EXPECT_EQ(rig.station.cbHour.value(), 0);
        rig.Dialog().rows[0].tbRemoteNode = "qx7gg-l";
        rig.Press(&frmNodeSetup::Command2_Click);
    });
    EXPECT_NE(fileAtButtons.find("\r\nQX7GG-L,1,14:00,23:59,10\r\n"), std::string::npos);
    // A greyed box left alone keeps its 2.
    EXPECT_NE(fileAtButtons.find("\r\nQX2BB-L,2,,,10\r\n"), std::string::npos);
}

TEST(NodeSetup, TicksAndEventsWhileOpenSeeTheTableBeforeOk) {
    SetupRig rig(15);
    rig.enabledTimers = {Timer::tAutoConnect};
    rig.Open([&] {
        rig.Dialog().rows[0].tbRemoteNode = "QX9ZZ-L";
        rig.RunFor(60000);
        rig.station.HostConnected("QX1AA-L", "", "");
        rig.station.HostConnected("QX9ZZ-L", "", "");
        EXPECT_EQ(rig.station.cmdRemoteNode[0].text(), "QX1AA-L*");
        rig.Press(&frmNodeSetup::Command2_Click);
    });
    EXPECT_EQ(rig.host.CallsStartingWith("Connect"),
              std::vector<std::string>{"Connect(QX1AA-L,0)"});
    EXPECT_EQ(rig.station.cmdRemoteNode[0].text(), "QX9ZZ-L");
}

}  // namespace
}  // namespace hourmark::test
