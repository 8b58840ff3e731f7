#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CleanStart.h"
#include "fakes/FakePorts.h"

namespace hourmark::test {
namespace {

TEST(StartUp, CallsTheHostInOrderAndEndsHiddenWithTheTrayIcon) {
    Rig rig;
    rig.host.linked.insert("QX9ZZ-R");
    ASSERT_FALSE(rig.Start().has_value());
    const std::vector<std::string> head(rig.host.calls.begin(), rig.host.calls.begin() + 4);
    EXPECT_EQ(head, (std::vector<std::string>{"CreateMainObject", "CreateSetupConfig",
                                              "SetupConfig.Callsign", "SetupConfig.Callsign"}));
    EXPECT_EQ(rig.station.caption, "HourMark - QX1AB-L - v 0.9.1");
    EXPECT_TRUE(rig.window.trayIcon);
    EXPECT_EQ(rig.window.trayTip, "HourMark");
    EXPECT_EQ(rig.window.state, WindowState::Minimised);
    EXPECT_FALSE(rig.window.shown);
    EXPECT_EQ(rig.station.cbAutoOverride.value(), 0);
    // The tray icon comes before the window is minimised.
    auto pos = [&](const std::string& e) {
        return std::find(rig.window.log.begin(), rig.window.log.end(), e) - rig.window.log.begin();
    };
    EXPECT_LT(pos("AddTrayIcon"), pos("SetTrayTip(HourMark)"));
    EXPECT_LT(pos("SetTrayTip(HourMark)"), pos("SetWindowState(Minimised)"));
}

TEST(StartUp, OnlyTheExactOwnCallsignDisablesAutoConnects) {
    for (const auto& [call, expected] : std::vector<std::pair<std::string, int>>{
             {"QX2CD-L", 1}, {"qx2cd-l", 0}, {"QX2CD-R", 0}, {"QX2CD-L ", 0}}) {
        Rig rig;
        rig.host.callsign = call;
        rig.Start();
        EXPECT_EQ(rig.station.cbAutoOverride.value(), expected) << call;
    }
}

TEST(StartUp, WithoutAHostShowsOneMessageAndEndsWithoutTouchingTheSettings) {
    // The advice fits the cause: a host missing is to be installed or started, a host whose
    // events cannot be had is to be repaired (starting again would not help).
    const struct {
        bool mainObject, setupConfig, events;
        const char* advice;
    } cases[] = {{false, true, true, "Check that EchoLink is installed and running"},
                 {true, false, true, "Check that EchoLink is installed and running"},
                 {true, true, false, "does not let HourMark receive its events"}};
    for (const auto& c : cases) {
        Rig rig;
        rig.host.mainObjectAvailable = c.mainObject;
        rig.host.setupConfigAvailable = c.setupConfig;
        rig.host.eventsAvailable = c.events;
        auto exit = rig.Start();
        ASSERT_TRUE(exit.has_value());
        EXPECT_NE(*exit, 0);
        ASSERT_EQ(rig.window.messages.size(), 1u);
        EXPECT_NE(rig.window.messages[0].text.find(c.advice), std::string::npos)
            << rig.window.messages[0].text;
        EXPECT_EQ(rig.window.messages[0].text.find(c.events ? "receive its events" : "installed"),
                  std::string::npos)
            << rig.window.messages[0].text;
        EXPECT_EQ(rig.window.messages[0].icon, MessageIcon::Stop);
        EXPECT_TRUE(rig.files.files.empty());
        EXPECT_FALSE(rig.window.trayIcon);
        // Nothing runs after a failed start.
        rig.station.Tick(Timer::Timer1);
        rig.station.HostDTMFString("000*");
        EXPECT_EQ(rig.window.messages.size(), 1u);
    }
}

TEST(Clock, LabelShowsTwentyFourHourTime) {
    Rig rig;
    rig.Start();
    rig.clock.Set(2026, 12, 7, 23, 59, 59, 500);
    rig.RunFor(1000);
    EXPECT_EQ(rig.station.lblTime.text(), "00:00:00");
    rig.RunFor(1000);
    EXPECT_EQ(rig.station.lblTime.text(), "00:00:01");
    rig.clock.Set(2026, 12, 8, 13, 0, 0, 0);
    rig.RunFor(1000);
    EXPECT_EQ(rig.station.lblTime.text(), "13:00:01");
}

// ---- Start-up -----------------------------------------------------------------------------

TEST(StartUp, RunsItsStepsInOrderAsTheHostAndTheWindowSeeThem) {
    Rig rig;
    rig.host.callsign = "QX2CD-L";
    std::vector<std::string> captions;
    std::vector<int> overrideAtKeyingLine;
    rig.host.onCall = [&](const std::string& op) {
        rig.window.log.push_back("host:" + op);
        if (op == "SetupConfig.Callsign") {
            captions.push_back(rig.station.caption);
        }
        if (op == "SysopConfig.KeyingLine") {
            overrideAtKeyingLine.push_back(rig.station.cbAutoOverride.value());
        }
    };
    ASSERT_TRUE(StartClean(rig));

    // The node buttons ask the host about each node between the fan check and the tray icon.
    std::vector<std::string> seen;
    const auto lastKeying =
        std::find(rig.window.log.rbegin(), rig.window.log.rend(), "host:SysopConfig.KeyingLine");
    const auto tray = std::find(rig.window.log.begin(), rig.window.log.end(), "AddTrayIcon");
    ASSERT_NE(lastKeying, rig.window.log.rend());
    for (auto it = rig.window.log.begin(); it != rig.window.log.end(); ++it) {
        if (*it == "host:IsConnectedTo") {
            EXPECT_GT(it, lastKeying.base() - 1);
            EXPECT_LT(it, tray);
        } else {
            seen.push_back(*it);
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "SetTop(0)", "SetLeft(0)", "host:CreateObject HostApp",
                        "host:CreateObject EchoLink.SetupConfig", "host:SetupConfig.Callsign",
                        "host:SetupConfig.Callsign",
                        // each test of the keying line fetches the sysop configuration anew
                        "host:SysopConfig", "host:SysopConfig.KeyingLine", "host:SysopConfig",
                        "host:SysopConfig.KeyingLine", "AddTrayIcon", "SetTrayTip(HourMark)",
                        "SetWindowState(Minimised)", "SetVisible(false)"}));
    // The caption is made from the first reading, the override from the second, before the
    // settings and the fan lines.
    EXPECT_EQ(captions, (std::vector<std::string>{"HourMark", "HourMark - QX2CD-L - v 0.9.1"}));
    EXPECT_EQ(overrideAtKeyingLine, (std::vector<int>{1, 1}));
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.files.Text(rig.IniPath()), SettingsText());
}

struct StartFailure {
    const char* name;
    std::function<void(Rig&)> arrange;
    const char* hostText;
    int fanRts = 0;
};

std::vector<StartFailure> StartFailures() {
    auto failNth = [](const std::string& operation, int n, const std::string& text) {
        return [operation, n, text](Rig& rig) {
            auto count = std::make_shared<int>(0);
            rig.host.onCall = [&rig, operation, n, text, count](const std::string& op) {
                if (op == operation && ++*count == n) {
                    rig.host.Fail(op, text);
                }
            };
        };
    };
    return {
        {"main object", [](Rig& r) { r.host.mainObjectAvailable = false; }, "Class not registered"},
        {"setup configuration", [](Rig& r) { r.host.setupConfigAvailable = false; },
         "Invalid class string"},
        {"callsign for the caption", failNth("SetupConfig.Callsign", 1, "Object gone"),
         "Object gone"},
        {"callsign for the override", failNth("SetupConfig.Callsign", 2, "Call rejected"),
         "Call rejected"},
        {"sysop configuration", failNth("SysopConfig", 1, "No sysop object"), "No sysop object"},
        {"first keying line", failNth("SysopConfig.KeyingLine", 1, "Port closed"), "Port closed"},
        {"second keying line", failNth("SysopConfig.KeyingLine", 2, "Port lost"), "Port lost"},
        // A fan box ticked in the file makes the settings themselves ask for the keying line:
        // that is a host failure, not a damaged file.
        {"keying line for a saved fan tick", failNth("SysopConfig.KeyingLine", 1, "Port busy"),
         "Port busy", 1},
    };
}

TEST(StartUp, EveryHostFailureGivesOneMessageAndEndsWithoutTrayIconOrSave) {
    for (const StartFailure& f : StartFailures()) {
        SCOPED_TRACE(f.name);
        Rig rig;
        const std::string settings = SettingsText(f.fanRts);
        rig.files.files[rig.IniPath()] = settings;
        f.arrange(rig);
        std::size_t callsAtMessage = 0;
        rig.window.onMessage = [&](const Message&) {
            // While the message is open nothing else runs, and a close changes nothing.
            callsAtMessage = rig.host.calls.size();
            for (Timer t : {Timer::tTime, Timer::Timer1, Timer::FanTimer, Timer::tAutoConnect}) {
                rig.station.Tick(t);
            }
            rig.station.HostDTMFString("000*");
            rig.station.HostClosing();
            rig.station.Close();
            rig.station.EndSession();
            rig.station.TrayCallback(kTrayLeftUp);
            EXPECT_EQ(rig.host.calls.size(), callsAtMessage);
        };
        const auto exit = rig.Start();
        ASSERT_TRUE(exit.has_value());
        EXPECT_NE(*exit, 0);
        ASSERT_EQ(rig.window.messages.size(), 1u);
        EXPECT_EQ(rig.window.messages[0].icon, MessageIcon::Stop);
        EXPECT_EQ(rig.window.messages[0].title, "HourMark");
        EXPECT_NE(rig.window.messages[0].text.find(f.hostText), std::string::npos)
            << rig.window.messages[0].text;
        EXPECT_FALSE(rig.window.trayIcon);
        EXPECT_EQ(rig.window.Count("AddTrayIcon"), 0u);
        EXPECT_EQ(rig.files.Text(rig.IniPath()), settings);
        EXPECT_EQ(rig.files.replaceCount, 0);
        EXPECT_FALSE(rig.files.Exists(rig.IniPath() + ".bad"));
        EXPECT_EQ(rig.host.calls.size(), callsAtMessage);
        EXPECT_EQ(rig.window.log.back(), "EndProgram(" + std::to_string(*exit) + ")");

        // After the end, nothing runs either.
        const auto logSize = rig.window.log.size();
        rig.station.Tick(Timer::FanTimer);
        rig.station.HostConnected("QX9ZZ-R", "Zed", "10.0.0.9");
        rig.station.Click(Control::cbRecordStart);
        rig.station.Close();
        EXPECT_EQ(rig.host.calls.size(), callsAtMessage);
        EXPECT_EQ(rig.window.log.size(), logSize);
    }
}

TEST(StartUp, NothingRunsBeforeStartUpHasTheHost) {
    Rig rig;
    for (Timer t : {Timer::tTime, Timer::Timer1, Timer::FanTimer, Timer::tAutoConnect}) {
        rig.station.Tick(t);
    }
    rig.station.HostClosing();
    rig.station.HostDTMFString("*0*");
    rig.station.Click(Control::cbRecordPlayback);
    rig.station.TrayCallback(kTrayLeftUp);
    rig.station.Activated();
    rig.station.Resized();
    rig.station.Close();
    rig.station.EndSession();
    EXPECT_TRUE(rig.host.calls.empty());
    EXPECT_TRUE(rig.window.log.empty());
    EXPECT_EQ(rig.station.lblTime.text(), "00:00:00");

    // Events while the main object is being created are not kept for later either.
    rig.host.onCall = [&](const std::string& op) {
        if (op == "CreateObject HostApp") {
            rig.station.HostClosing();
        }
    };
    ASSERT_TRUE(StartClean(rig));
    EXPECT_TRUE(rig.window.trayIcon);

    // Start-up runs once.
    const auto calls = rig.host.calls.size();
    EXPECT_FALSE(rig.Start().has_value());
    EXPECT_EQ(rig.host.calls.size(), calls);
}

TEST(StartUp, TicksAndEventsDuringItsHostCallsWaitUntilItIsDone) {
    Rig rig;
    rig.host.onCall = [&](const std::string& op) {
        if (op == "SetupConfig.Callsign") {
            rig.station.Tick(Timer::tTime);
            rig.station.Tick(Timer::FanTimer);
        }
        if (op == "SysopConfig.KeyingLine") {
            rig.station.HostClosing();
        }
    };
    rig.files.files[rig.IniPath()] = SettingsText();
    // The host's closing ran, but only after start-up had put the icon up and hidden the window;
    // the held ticks would have come after it.
    ASSERT_EQ(rig.Start(), std::optional<int>(0));
    EXPECT_EQ(rig.station.lblTime.text(), "00:00:00");
    EXPECT_EQ(rig.host.Count("IsTransmitting"), 0u);
    const auto& log = rig.window.log;
    auto pos = [&](const std::string& e) {
        return std::find(log.begin(), log.end(), e) - log.begin();
    };
    EXPECT_LT(pos("SetTrayTip(HourMark)"), pos("SetVisible(false)"));
    EXPECT_LT(pos("SetVisible(false)"), pos("DeleteTrayIcon"));
    EXPECT_EQ(log.back(), "EndProgram(0)");
    EXPECT_FALSE(rig.window.trayIcon);
}

// ---- Resize and activation ----------------------------------------------------------------

TEST(FormResize, RecordsTheNormalPositionRoundedHalfToEvenAndHidesWhenMinimised) {
    Rig rig;
    ASSERT_TRUE(StartClean(rig));
    struct Edge {
        double top, left;
        std::int32_t lastTop, lastLeft;
    };
    for (const Edge& e : {Edge{1234.5, -2.5, 1234, -2}, Edge{1235.5, 0.5, 1236, 0},
                          Edge{7.4999, 1.5, 7, 2}, Edge{-3.5, 90.6, -4, 91}}) {
        rig.window.state = WindowState::Normal;
        rig.window.top = e.top;
        rig.window.left = e.left;
        rig.station.Resized();
        EXPECT_EQ(rig.station.LastTop, e.lastTop) << e.top;
        EXPECT_EQ(rig.station.LastLeft, e.lastLeft) << e.left;
        EXPECT_TRUE(rig.window.shown);
    }
    // Minimised: the values stay and the window goes.
    rig.window.state = WindowState::Minimised;
    rig.window.top = 5000;
    rig.window.left = 6000;
    rig.station.Resized();
    EXPECT_EQ(rig.station.LastTop, -4);
    EXPECT_EQ(rig.station.LastLeft, 91);
    EXPECT_FALSE(rig.window.shown);
    EXPECT_EQ(rig.window.log.back(), "SetVisible(false)");
}

TEST(FormActivate, ParksTheFocusOnTheIndicator) {
    Rig rig;
    ASSERT_TRUE(StartClean(rig));
    rig.window.log.clear();
    rig.station.Activated();
    EXPECT_EQ(rig.window.log, (std::vector<std::string>{"FocusIndicator"}));
}

// ---- The end of the program ---------------------------------------------------------------

TEST(Shutdown, CloseAndEndSessionDeleteTheIconAndEndThenNothingRuns) {
    for (bool endSession : {false, true}) {
        Rig rig;
        ASSERT_TRUE(StartClean(rig));
        rig.window.log.clear();
        const auto exit = EndsWith([&] {
            if (endSession) {
                rig.station.EndSession();
            } else {
                rig.station.Close();
            }
        });
        EXPECT_EQ(exit, std::optional<int>(0));
        EXPECT_EQ(rig.window.log, (std::vector<std::string>{"DeleteTrayIcon", "EndProgram(0)"}));
        EXPECT_FALSE(rig.window.trayIcon);
        EXPECT_TRUE(rig.window.messages.empty());

        const auto calls = rig.host.calls.size();
        rig.station.Tick(Timer::FanTimer);
        rig.station.HostClosing();
        rig.station.Close();
        rig.station.Click(Control::cbRecordStart);
        EXPECT_EQ(rig.host.calls.size(), calls);
        EXPECT_EQ(rig.window.log.size(), 2u);
    }
}

TEST(Shutdown, TheHostsClosingEndsTheProgramLikeTheCloseBox) {
    Rig rig;
    ASSERT_TRUE(StartClean(rig));
    rig.station.Click(Control::cbHalfHour);  // not saved yet
    rig.window.log.clear();
    EXPECT_EQ(EndsWith([&] { rig.station.HostClosing(); }), std::optional<int>(0));
    EXPECT_EQ(rig.window.log, (std::vector<std::string>{"DeleteTrayIcon", "EndProgram(0)"}));
    EXPECT_EQ(rig.files.Text(rig.IniPath()).substr(0, 7), "0,1,0\r\n") << "saved on the way out";
}

// A close from inside a nested wait ends the program there: the frame that waited never goes
// on to call the host.
TEST(Shutdown, ClosingInsideAMessageBoxADialogOrAPauseEndsThereAndThen) {
    enum class Nest { MessageBox, Dialog, Pause, HostCall };
    for (Nest nest : {Nest::MessageBox, Nest::Dialog, Nest::Pause, Nest::HostCall}) {
        for (bool endSession : {false, true}) {
            SCOPED_TRACE(static_cast<int>(nest) * 2 + endSession);
            Rig rig;
            rig.enabledTimers = {Timer::FanTimer};
            ASSERT_TRUE(StartClean(rig));
            rig.station.FanRTS.SetValue(1);
            auto close = [&] {
                if (endSession) {
                    rig.station.EndSession();
                } else {
                    rig.station.Close();
                }
            };
            rig.window.onMessage = [&](const Message&) { close(); };
            rig.window.onDialog = [&](Dialog) { close(); };
            rig.host.onCall = [&](const std::string& op) {
                if (op == "IsTransmitting") {
                    close();
                }
            };
            rig.host.ClearCalls();
            const auto exit = EndsWith([&] {
                switch (nest) {
                    case Nest::MessageBox:
                        rig.station.DialogInput([&] {
                            rig.station.ShowMessage("Look", MessageIcon::Information);
                            rig.station.host().SetDtr(true);
                        });
                        break;
                    case Nest::Dialog:
                        rig.station.DialogInput([&] {
                            rig.station.OpenNodeSetup();
                            rig.station.host().SetDtr(true);
                        });
                        break;
                    case Nest::Pause:
                        // The fan tick inside the pause brings the host's closing with it.
                        rig.host.onCall = [&](const std::string& op) {
                            if (op == "IsTransmitting") {
                                rig.station.HostClosing();
                            }
                        };
                        rig.station.DialogInput([&] {
                            rig.station.WaitSeconds(5);
                            rig.station.host().SetDtr(true);
                        });
                        break;
                    case Nest::HostCall:
                        rig.RunFor(500);
                        break;
                }
            });
            EXPECT_EQ(exit, std::optional<int>(0));
            EXPECT_EQ(rig.host.Count("SetDtr(true)"), 0u);
            // The tick in the pause finishes before the closing it brought runs; a close inside
            // the tick's own host call ends it there.
            EXPECT_EQ(rig.host.CallsStartingWith("SetRts").size(), nest == Nest::Pause ? 1u : 0u)
                << ::testing::PrintToString(rig.host.calls);
            EXPECT_FALSE(rig.window.trayIcon);
            EXPECT_EQ(rig.window.Count("CloseDialog(NodeSetup)"), 0u);
            EXPECT_EQ(rig.window.log.back(), "EndProgram(0)");
        }
    }
}

}  // namespace
}  // namespace hourmark::test
