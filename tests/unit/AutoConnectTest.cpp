#include <gtest/gtest.h>

#include <sstream>

#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

struct AutoRig : Rig {
    AutoRig() {
        clock.Set(2026, 12, 7, 0, 0, 10);
        enabledTimers = {Timer::tAutoConnect};
        Start();
        host.ClearCalls();
        window.messages.clear();  // whatever start-up had to say about the settings file
    }
    void Entry(std::size_t i, const std::string& call, std::int16_t flag, const std::string& start,
               const std::string& stop, std::int32_t delay = 10) {
        station.nodes[i] = NodeEntry{call, flag, start, stop, delay};
    }
    // The log's lines without their date: "hh:mm:ss message".
    std::vector<std::string> LogLines() const {
        std::vector<std::string> out;
        std::istringstream in(files.Text(LogPath()));
        for (std::string line; std::getline(in, line);) {
            out.push_back(line.substr(9, line.size() - 10));
        }
        return out;
    }
};

TEST(AutoConnect, ADayOfTicksLinksAndUnlinksOnlyTheMarkedEntries) {
    AutoRig rig;
    rig.host.connectLinks = true;
    rig.host.linked = {"QX4DD-L", "QX5EE-L"};
    rig.Entry(0, "QX1AA-L", 1, "14:00", "23:59");
    rig.Entry(1, "QX2BB-L", 1, "22:00", "02:00");
    rig.Entry(2, "QX3CC-L", 1, "9:00", "17:00");
    rig.Entry(3, "QX4DD-L", 0, "00:00", "00:01");  // linked by hand, not marked
    rig.Entry(4, "QX5EE-L", 1, "12:00", "12:00");  // never inside
    rig.Entry(5, "QX6FF-L", 2, "00:00", "23:59");  // only 1 marks an entry
    rig.RunFor(24 * 3600 * 1000LL);

    EXPECT_EQ(rig.LogLines(), (std::vector<std::string>{
                                  "00:01:10 HourMark Connect try: QX2BB-L",
                                  "00:01:20 HourMark Connect try: QX3CC-L",
                                  "00:01:30 HourMark Disconnect try: QX5EE-L",
                                  "02:01:10 HourMark Disconnect try: QX2BB-L",
                                  "14:00:10 HourMark Connect try: QX1AA-L",
                                  "17:01:10 HourMark Disconnect try: QX3CC-L",
                                  "22:00:10 HourMark Connect try: QX2BB-L",
                                  "00:00:10 HourMark Disconnect try: QX1AA-L",
                                  "00:00:12 HourMark Connect try: QX3CC-L",
                              }));
    EXPECT_EQ(rig.pause.waits, (std::vector<std::int64_t>{10000, 10000, 2000, 2000, 10000, 2000,
                                                          10000, 2000, 10000}));
    EXPECT_EQ(rig.host.Count("Connect(QX2BB-L,0)"), 2u);
    EXPECT_EQ(rig.host.CallsStartingWith("Disconnect(QX2BB-L"),
              std::vector<std::string>{"Disconnect(QX2BB-L)"});
    EXPECT_TRUE(rig.host.CallsStartingWith("IsConnectedTo(QX4DD-L").empty());
    EXPECT_TRUE(rig.host.CallsStartingWith("IsConnectedTo(QX6FF-L").empty());
    EXPECT_EQ(rig.host.linked, (std::set<std::string>{"QX2BB-L", "QX3CC-L", "QX4DD-L"}));
    // One question per marked entry and tick: 1440 ticks, four marked entries.
    EXPECT_EQ(rig.host.CallsStartingWith("IsConnectedTo").size(), 1440u * 4);
}

TEST(AutoConnect, ARefusingHostIsAskedAgainEachTickWithoutAMessage) {
    AutoRig rig;
    rig.host.linked = {"QX2BB-L"};
    rig.Entry(0, "QX1AA-L", 1, "00:00", "23:59", 15);
    rig.Entry(1, "QX2BB-L", 1, "05:00", "06:00");
    rig.host.Fail("Connect");
    rig.host.Fail("Disconnect");
    rig.RunFor(3 * 60000);
    EXPECT_EQ(rig.host.Count("Connect(QX1AA-L,0)"), 3u);
    EXPECT_EQ(rig.host.Count("Disconnect(QX2BB-L)"), 3u);
    EXPECT_EQ(rig.LogLines().size(), 6u);
    EXPECT_EQ(rig.pause.waits, (std::vector<std::int64_t>{15000, 2000, 15000, 2000, 15000, 2000}));
    EXPECT_TRUE(rig.window.messages.empty());

    // A failing question ends the pass and is reported once, however often it fails.
    rig.host.Fail("IsConnectedTo");
    rig.host.ClearCalls();
    rig.RunFor(3 * 60000);
    EXPECT_EQ(rig.host.calls, std::vector<std::string>(3, "IsConnectedTo(QX1AA-L)"));
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_NE(rig.window.messages[0].text.find("IsConnectedTo"), std::string::npos);
    EXPECT_EQ(rig.LogLines().size(), 6u);
}

TEST(AutoConnect, EntriesOfOneTickActOneAfterTheOtherPause) {
    AutoRig rig;
    rig.Entry(2, "QX1AA-L", 1, "00:00", "23:59", 25);
    rig.Entry(6, "QX2BB-L", 1, "00:00", "23:59", 10);
    std::vector<std::int64_t> connectTimes;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "Connect") {
            connectTimes.push_back(rig.clock.nowMs);
        }
    };
    rig.RunFor(60000);
    ASSERT_EQ(connectTimes.size(), 2u);
    EXPECT_EQ(connectTimes[1] - connectTimes[0], 25000);
    EXPECT_EQ(rig.host.CallsStartingWith("Connect"),
              (std::vector<std::string>{"Connect(QX1AA-L,0)", "Connect(QX2BB-L,0)"}));
}

TEST(AutoConnect, DisablingDuringAPauseFinishesThatTickOnly) {
    AutoRig rig;
    rig.Entry(0, "QX1AA-L", 1, "00:00", "23:59");
    rig.Entry(1, "QX2BB-L", 1, "00:00", "23:59");
    rig.pause.onWait = [&](std::int64_t) {
        if (rig.station.cbAutoOverride.value() == 0) {
            rig.station.Click(Control::cbAutoOverride);
        }
    };
    rig.RunFor(60000);
    EXPECT_EQ(rig.station.cbAutoOverride.value(), 1);
    EXPECT_EQ(rig.host.CallsStartingWith("Connect").size(), 2u);
    rig.host.ClearCalls();
    rig.RunFor(5 * 60000);
    EXPECT_TRUE(rig.host.calls.empty());
    EXPECT_EQ(rig.LogLines().size(), 2u);
}

TEST(AutoConnect, ATickDueWhileAPassWorksIsDropped) {
    // During a pause: the 90 s pause swallows the tick at +60 s; the tick at +120 s runs.
    AutoRig rig;
    rig.Entry(0, "QX1AA-L", 1, "00:00", "23:59", 90);
    std::vector<std::int64_t> connectTimes;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "Connect") {
            connectTimes.push_back(rig.clock.nowMs);
        }
    };
    const std::int64_t t0 = rig.clock.nowMs;
    rig.RunFor(4 * 60000);
    EXPECT_EQ(connectTimes, (std::vector<std::int64_t>{t0 + 60000, t0 + 180000}));

    // During the pass's own host calls, before any pause.
    AutoRig quiet;
    quiet.host.linked = {"QX1AA-L", "QX2BB-L"};
    quiet.Entry(0, "QX1AA-L", 1, "00:00", "23:59");
    quiet.Entry(1, "QX2BB-L", 1, "00:00", "23:59");
    bool ticked = false;
    quiet.host.onCall = [&](const std::string&) {
        if (!ticked) {
            ticked = true;
            quiet.station.Tick(Timer::tAutoConnect);
        }
    };
    quiet.RunFor(60000);
    EXPECT_EQ(quiet.host.calls,
              (std::vector<std::string>{"IsConnectedTo(QX1AA-L)", "IsConnectedTo(QX2BB-L)"}));
}

TEST(AutoConnect, HostEventsDuringAPauseAreHandledAtOnce) {
    AutoRig rig;
    rig.Entry(0, "QX1AA-L", 1, "00:00", "23:59");
    rig.Entry(1, "QX2BB-L", 1, "00:00", "23:59");
    rig.pause.onWait = [&](std::int64_t) {
        if (rig.pause.waits.size() == 1) {
            rig.station.HostConnected("QX1AA-L", "Name", "1.2.3.4");
            EXPECT_EQ(rig.station.cmdRemoteNode[0].text(), "QX1AA-L*");
        } else {
            rig.station.HostClosing();
        }
    };
    EXPECT_THROW(rig.RunFor(60000), ProgramEnded);
    EXPECT_EQ(rig.LogLines(), (std::vector<std::string>{
                                  "00:01:10 HourMark Connect try: QX1AA-L",
                                  "00:01:10 <EchoLink> connected: QX1AA-L",
                                  "00:01:20 HourMark Connect try: QX2BB-L",
                              }));
    EXPECT_EQ(rig.window.Count("DeleteTrayIcon"), 1u);
    EXPECT_EQ(rig.window.Count("EndProgram(0)"), 1u);
}

}  // namespace
}  // namespace hourmark::test
