#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CleanStart.h"
#include "console/ErrorBoundary.h"
#include "fakes/FakePorts.h"
#include "host/HostLink.h"

namespace hourmark::test {
namespace {

// A station whose fan line is ticked, with the fan timer and the clock running, and a host that
// has stopped answering IsTransmitting.
struct Boundary : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.enabledTimers = {Timer::FanTimer, Timer::tTime};
        ASSERT_TRUE(StartClean(rig));
        rig.station.FanRTS.SetValue(1);
        rig.host.ClearCalls();
        rig.host.Fail("IsTransmitting", "The RPC server is unavailable.");
    }
    std::size_t Messages() const { return rig.window.messages.size(); }
};

TEST_F(Boundary, AFailureIsReportedOnceWithTheOperationAndTheHostsText) {
    rig.RunFor(500);
    ASSERT_EQ(Messages(), 1u);
    const Message& m = rig.window.messages[0];
    EXPECT_NE(m.text.find("IsTransmitting"), std::string::npos) << m.text;
    EXPECT_NE(m.text.find("The RPC server is unavailable."), std::string::npos) << m.text;
    EXPECT_EQ(m.title, "HourMark");
    EXPECT_EQ(m.icon, MessageIcon::Stop);
    // The handler stopped at the failure, and the program goes on without more boxes.
    EXPECT_EQ(rig.host.CallsStartingWith("SetRts").size(), 0u);
    rig.RunFor(10000);
    EXPECT_EQ(Messages(), 1u);
    EXPECT_EQ(rig.host.Count("IsTransmitting"), 21u);
    EXPECT_EQ(rig.station.lblTime.text(), "10:00:20");
}

TEST(ErrorReport, NamesEveryHostOperationThatFails) {
    struct Case {
        const char* operation;
        std::function<void(HostLink&)> call;
    };
    const std::vector<Case> cases{
        {"Connect", [](HostLink& h) { h.Connect("QX2CD-L", 0); }},
        {"Disconnect", [](HostLink& h) { h.Disconnect("QX2CD-L"); }},
        {"IsConnectedTo", [](HostLink& h) { h.IsConnectedTo("QX2CD-L"); }},
        {"IsTransmitting", [](HostLink& h) { h.IsTransmitting(); }},
        {"IsBusyA", [](HostLink& h) { h.IsBusyA(); }},
        {"IsBusyB", [](HostLink& h) { h.IsBusyB(); }},
        {"PlayWaveFile", [](HostLink& h) { h.PlayWaveFile("C:\\id.wav", false); }},
        {"SetTransmit", [](HostLink& h) { h.SetTransmit(false); }},
        {"SpeakText", [](HostLink& h) { h.SpeakText("QX1AB"); }},
        {"SpeakPhrase", [](HostLink& h) { h.SpeakPhrase(1); }},
        {"StartRecording", [](HostLink& h) { h.StartRecording("QSO.wav"); }},
        {"StopRecording", [](HostLink& h) { h.StopRecording(); }},
        {"SetRts", [](HostLink& h) { h.SetRts(true); }},
        {"SetDtr", [](HostLink& h) { h.SetDtr(true); }},
        {"NodeListXml", [](HostLink& h) { h.NodeListXml(); }},
        {"SetupConfig", [](HostLink& h) { h.EloSetupConfigCallsign(); }},
        // The main object's configuration, read by every time announcement.
        {"SetupConfig.Callsign", [](HostLink& h) { h.EloSetupConfigCallsign(); }},
        {"SysopConfig", [](HostLink& h) { h.SysopConfigKeyingLine(); }},
        {"SysopConfig.KeyingLine", [](HostLink& h) { h.SysopConfigKeyingLine(); }},
        {"SetupConfig.Callsign", [](HostLink& h) { h.SetupConfigCallsign(); }},
        {"SetupConfig.RecordMode", [](HostLink& h) { h.SetSetupConfigRecordMode(1); }},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.enabledTimers = {};
        ASSERT_TRUE(StartClean(rig));
        rig.host.Fail(c.operation, "no such luck");
        rig.station.DialogInput([&] { c.call(rig.station.host()); });
        ASSERT_EQ(rig.window.messages.size(), 1u) << c.operation;
        EXPECT_EQ(rig.window.messages[0].text, std::string("EchoLink reported an error in ") +
                                                   c.operation + ":\r\nno such luck");
    }
}

TEST_F(Boundary, TheSameFailureIsReportedAgainOnlyAfterTheOperationWorkedInBetween) {
    rig.RunFor(500);
    rig.host.Succeed("IsTransmitting");
    rig.RunFor(500);
    EXPECT_EQ(Messages(), 1u);
    EXPECT_EQ(rig.host.Count("SetRts(false)"), 1u);
    rig.host.Fail("IsTransmitting", "Call was rejected by callee.");
    rig.RunFor(5000);
    ASSERT_EQ(Messages(), 2u);
    EXPECT_NE(rig.window.messages[1].text.find("Call was rejected by callee."), std::string::npos);

    // Another operation's failure is a failure of its own.
    rig.host.Succeed("IsTransmitting");
    rig.host.Fail("SetRts", "Port not open");
    rig.RunFor(5000);
    ASSERT_EQ(Messages(), 3u);
    EXPECT_NE(rig.window.messages[2].text.find("SetRts"), std::string::npos);
}

TEST_F(Boundary, NoSecondBoxWhileAReportIsOpen) {
    rig.host.Fail("StartRecording", "recorder gone");
    std::size_t openedInside = 0;
    rig.window.onMessage = [&](const Message&) {
        rig.window.onMessage = nullptr;
        // The operator reads; the ticks fail again and so does a press.
        rig.RunFor(3000);
        rig.station.Click(Control::cbRecordStart);
        openedInside = Messages() - 1;
    };
    rig.RunFor(500);
    EXPECT_EQ(openedInside, 0u);
    EXPECT_EQ(Messages(), 1u);
    EXPECT_GE(rig.host.Count("IsTransmitting"), 7u);
    EXPECT_EQ(rig.host.Count("StartRecording(C:\\HourMark\\rec.wav)"), 1u);
    // The press that failed unseen is reported the next time it fails.
    rig.station.Click(Control::cbRecordStart);
    ASSERT_EQ(Messages(), 2u);
    EXPECT_NE(rig.window.messages[1].text.find("recorder gone"), std::string::npos);
    rig.RunFor(5000);
    EXPECT_EQ(Messages(), 2u);
}

TEST_F(Boundary, ACloseWhileTheReportIsOpenEndsTheProgram) {
    rig.window.onMessage = [&](const Message&) { rig.station.Close(); };
    EXPECT_EQ(EndsWith([&] { rig.RunFor(500); }), std::optional<int>(0));
    EXPECT_FALSE(rig.window.trayIcon);
    EXPECT_EQ(rig.window.log.back(), "EndProgram(0)");
    const auto calls = rig.host.calls.size();
    rig.station.Tick(Timer::FanTimer);
    EXPECT_EQ(rig.host.calls.size(), calls);
}

// ---- The boundary on its own -------------------------------------------------------------

struct NotAnError {};

TEST(ErrorBoundaryAlone, ProgramFaultsAreReportedOnceAndAnythingElsePassesThrough) {
    std::vector<std::string> reports;
    ErrorBoundary b([&](const std::string& text) { reports.push_back(text); });
    b.Run([] { throw std::logic_error("table index 9"); });
    b.Run([] { throw std::logic_error("table index 9"); });
    b.Run([] { throw std::out_of_range("another fault"); });
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("table index 9"), std::string::npos);
    EXPECT_NE(reports[1].find("another fault"), std::string::npos);
    // The end of the program (and anything that is not an error) is not the boundary's to stop.
    EXPECT_THROW(b.Run([] { throw NotAnError{}; }), NotAnError);
    EXPECT_EQ(reports.size(), 2u);
    // And the boundary is not left thinking a report is still open.
    b.Run([] { throw HostFailure("Connect", "refused"); });
    EXPECT_EQ(reports.size(), 3u);
}

TEST(ErrorBoundaryAlone, AnEndInsideTheReportLeavesNoReportOpen) {
    int reports = 0;
    ErrorBoundary b([&](const std::string&) {
        if (++reports == 1) {
            throw NotAnError{};
        }
    });
    EXPECT_THROW(b.Run([] { throw HostFailure("SpeakText", "busy"); }), NotAnError);
    b.Run([] { throw HostFailure("SpeakPhrase", "busy"); });
    EXPECT_EQ(reports, 2);
}

TEST(ErrorBoundaryAlone, ASuccessReArmsOnlyItsOwnOperation) {
    int reports = 0;
    ErrorBoundary b([&](const std::string&) { ++reports; });
    auto fail = [&](const char* op) { b.Run([op] { throw HostFailure(op, "down"); }); };
    fail("IsBusyA");
    fail("IsBusyB");
    fail("IsBusyA");
    fail("IsBusyB");
    EXPECT_EQ(reports, 2);
    b.Succeeded("IsBusyA");
    fail("IsBusyA");
    fail("IsBusyB");
    EXPECT_EQ(reports, 3);
}

}  // namespace
}  // namespace hourmark::test
