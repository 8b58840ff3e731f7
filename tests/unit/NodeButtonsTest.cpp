#include <gtest/gtest.h>

#include "fakes/FakePorts.h"
#include "settings/NodeSetupDialog.h"

namespace hourmark::test {
namespace {

struct NodeRig : Rig {
    explicit NodeRig(bool started = true) {
        enabledTimers = {};
        station.nodes[0].callsign = "QX1AA-L";
        station.nodes[2].callsign = "QX3CC-R";
        station.nodes[5].callsign = "QX3CC-R";
        if (started) {
            Start();
            host.ClearCalls();
            window.messages.clear();  // whatever start-up had to say about the settings file
        }
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const auto& b : station.cmdRemoteNode) {
            out.push_back(b.text());
        }
        return out;
    }
};

TEST(NodeButtons, StartUpMarksTheLinkedNodes) {
    NodeRig rig(false);
    rig.host.linked = {"QX3CC-R", "QX9ZZ-L"};
    rig.Start();
    EXPECT_EQ(rig.Captions(),
              (std::vector<std::string>{"QX1AA-L", "", "QX3CC-R*", "", "", "QX3CC-R*", "", ""}));
}

TEST(NodeButtons, LeftAndMiddleClicksLinkOrUnlinkRightOpensTheSetup) {
    NodeRig rig;
    rig.ShowWindow();
    rig.host.linked = {"QX1AA-L"};
    rig.station.NodeButtonMouseUp(0, kLeftButton);
    rig.station.NodeButtonMouseUp(2, kMiddleButton);
    rig.station.NodeButtonMouseUp(1, kLeftButton);  // an empty entry is still asked about
    EXPECT_EQ(rig.host.calls,
              (std::vector<std::string>{"IsConnectedTo(QX1AA-L)", "Disconnect(QX1AA-L)",
                                        "IsConnectedTo(QX3CC-R)", "Connect(QX3CC-R,0)",
                                        "IsConnectedTo()", "Connect(,0)"}));
    EXPECT_EQ(rig.window.Count("FocusIndicator"), 3u);
    // The captions wait for the host's events.
    EXPECT_EQ(rig.station.cmdRemoteNode[0].text(), "QX1AA-L");

    rig.host.ClearCalls();
    int opened = 0;
    rig.window.onDialog = [&](Dialog d) {
        EXPECT_EQ(d, Dialog::NodeSetup);
        EXPECT_EQ(rig.station.NodeSetup()->rows[5].tbRemoteNode, "QX3CC-R");
        ++opened;
    };
    rig.station.NodeButtonMouseUp(7, kRightButton);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(rig.host.calls.empty());
    EXPECT_EQ(rig.window.Count("FocusIndicator"), 3u);
    EXPECT_EQ(rig.station.NodeSetup(), nullptr);
}

TEST(NodeButtons, HostErrorsOfAClickShowNothing) {
    NodeRig rig;
    rig.ShowWindow();
    rig.host.Fail("Connect");
    rig.station.NodeButtonMouseUp(0, kLeftButton);
    rig.host.Fail("IsConnectedTo");
    rig.station.NodeButtonMouseUp(2, kLeftButton);
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.window.Count("FocusIndicator"), 2u);
    EXPECT_EQ(rig.Captions()[0], "QX1AA-L");
}

TEST(ConnectionEvents, MarkEveryExactMatchOnceAndLogEveryEvent) {
    NodeRig rig;
    rig.station.HostConnected("QX3CC-R", "", "");
    rig.station.HostConnected("QX3CC-R", "", "");
    rig.station.HostConnected("qx1aa-l", "", "");
    rig.station.HostConnected("QX7GG-L", "", "");
    EXPECT_EQ(rig.Captions(),
              (std::vector<std::string>{"QX1AA-L", "", "QX3CC-R*", "", "", "QX3CC-R*", "", ""}));
    rig.station.HostDisconnected("QX3CC-R");
    rig.station.HostDisconnected("QX3CC-R");
    EXPECT_EQ(rig.Captions()[2], "QX3CC-R");
    EXPECT_EQ(rig.Captions()[5], "QX3CC-R");
    const std::string log = rig.files.Text(rig.LogPath());
    for (const char* line :
         {"<EchoLink> connected: QX3CC-R\r\n", "<EchoLink> connected: qx1aa-l\r\n",
          "<EchoLink> connected: QX7GG-L\r\n", "<EchoLink> disconnected: QX3CC-R\r\n"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6);
}

TEST(ConnectionEvents, StationListIsSavedOnlyForTheTwoStations) {
    struct Case {
        std::string own, xml;
        bool saved;
    };
    for (const Case& c : std::vector<Case>{{"QX3EF-L", "<list a='1'/>", true},
                                           {"QX2CD-L", "", true},
                                           {"qx3ef-l", "<x/>", false},
                                           {"QX3EF-R", "<x/>", false},
                                           {"QX1AB-L", "<x/>", false}}) {
        NodeRig rig(false);
        rig.host.callsign = c.own;
        rig.host.nodeListXml = c.xml;
        rig.Start();
        rig.host.ClearCalls();
        rig.station.HostStationListReceived();
        const std::string path = "C:\\HourMark/NodeList.xml";
        EXPECT_EQ(rig.files.files.count(path), c.saved ? 1u : 0u) << c.own;
        EXPECT_EQ(rig.files.Text(path), c.saved ? c.xml + "\r\n" : "") << c.own;
        EXPECT_EQ(rig.host.Count("NodeListXml"), c.saved ? 1u : 0u) << c.own;
    }

    // A file that cannot be replaced stays as it was, without a word.
    NodeRig rig(false);
    rig.host.callsign = "QX3EF-L";
    rig.Start();
    rig.window.messages.clear();
    rig.files.files["C:\\HourMark/NodeList.xml"] = "old\r\n";
    rig.files.failReplace = true;
    rig.station.HostStationListReceived();
    EXPECT_EQ(rig.files.Text("C:\\HourMark/NodeList.xml"), "old\r\n");
    EXPECT_TRUE(rig.window.messages.empty());
}

}  // namespace
}  // namespace hourmark::test
