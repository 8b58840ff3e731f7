// A station over the fakes, fed whatever the bytes say: DTMF strings, links coming and going,
// timer ticks, station lists, the clock moving and being set, a host that turns busy or fails,
// the operator's clicks, and any of these arriving nested inside a message box, a dialog, a
// pause or a pending host call. Nothing may crash, trip a sanitizer or throw out of an entry
// point; the program ending (ProgramEnded) ends the input. Two promises are checked on the way:
// the queue of held events is empty whenever an entry point has returned, and no second error
// report opens over one that is still open.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fakes/FakePorts.h"
#include "schedule/WavPicker.h"
#include "settings/NodeSetupDialog.h"

namespace hourmark::test {
namespace {

// Reads the input front to back; past its end every read gives zeros.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }
    // A text of up to maxLength bytes, its length taken from the input.
    std::string Text(std::size_t maxLength) {
        const std::size_t n = Byte() % (maxLength + 1);
        std::string out;
        for (std::size_t i = 0; i < n && !Done(); ++i) {
            out += static_cast<char>(Byte());
        }
        return out;
    }
    template <typename T, std::size_t N>
    const T& Pick(const T (&choices)[N]) {
        return choices[Byte() % N];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

[[noreturn]] void Broken(const char* promise) {
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

const char* const kOwnCalls[] = {"QX1AB-L", "QX2CD-L", "QX3EF-L", "QX4GH-R", "QX5IJ", ""};
const char* const kCalls[] = {"QX1AA-L", "QX2BB-R", "QX3CC", "qx1aa-l", "QX4DD-L", "-L", ""};
const char* const kDtmf[] = {"*0*", "*1*", "*7*", "000*", "000#", "*0", " *7*", "000#\r"};
const char* const kOperations[] = {
    "IsTransmitting",
    "IsBusyA",
    "IsBusyB",
    "SpeakText",
    "SpeakPhrase",
    "PlayWaveFile",
    "Connect",
    "Disconnect",
    "IsConnectedTo",
    "SetTransmit",
    "SetRts",
    "SetDtr",
    "NodeListXml",
    "StartRecording",
    "StopRecording",
    "SetupConfig.Callsign",
    "SetupConfig",
    "SysopConfig",
    "SysopConfig.KeyingLine",
    "SetupConfig.RecordMode",
};
const Control kClickable[] = {
    Control::cbHour,        Control::cbHalfHour,     Control::cbQuarterHour,
    Control::cbFileHour,    Control::cbFileHalfHour, Control::cbFileQuarterHour,
    Control::FanRTS,        Control::FanDTR,         Control::cbAutoOverride,
    Control::CMDTime,       Control::CMDFile,        Control::cmdFileSelect,
    Control::cbRecordStart, Control::cbRecordStop,   Control::cbRecordPlayback,
    Control::Label1,
};

const int kTrayCodes[] = {kTrayLeftUp, kTrayLeftDoubleClick, kTrayRightUp, 0x200};

// Short delays (the file takes any number, the node setup would raise them to ten seconds) keep
// the auto-connect pauses, and so each input, short.
std::string SettingsFile() {
    std::string text =
        "1,1,1\r\n1,0,1\r\nC:\\wav\\id.wav\r\nC:\\wav\r\n 0 \r\n 1 \r\n"
        "QX1AA-L,1,00:00,23:59,2\r\n"
        "QX2BB-R,1,10:30,11:30,1\r\n"
        "QX3CC,0,,,10\r\n"
        "QX4DD-L,1,23:00,01:00,-3\r\n"
        "QX1AA-L,1,11:00,11:05,0\r\n"
        ",0,,,0\r\n"
        "qx1aa-l,1,11:00,12:00,1\r\n"
        "QX8HH,2,11:00,11:00,10\r\n";
    for (int i = 0; i < 50; ++i) {
        text += "\r\n";
    }
    return text;
}

// Where the next armed run of operations happens.
enum class Place { Message, Dialog, Pause, HostCall, Count };

class Session {
public:
    explicit Session(Bytes& in) : in_(in) {}

    void Run() {
        Setup();
        if (rig_.Start().has_value()) {
            return;
        }
        CheckQuiet();
        try {
            for (int ops = 0; ops < kMaxOperations && !in_.Done(); ++ops) {
                Operation();
                CheckQuiet();
            }
        } catch (const ProgramEnded&) {
            // The program ended: the rest of the input has nothing to talk to.
        }
    }

private:
    static constexpr int kMaxOperations = 96;
    static constexpr int kMaxDepth = 3;

    void Setup() {
        rig_.host.callsign = in_.Pick(kOwnCalls);
        const std::uint8_t flags = in_.Byte();
        rig_.host.connectLinks = (flags & 1) != 0;
        rig_.host.keyingLine = (flags >> 1) & 3;
        switch ((flags >> 3) % 4) {
            case 0:
                break;  // first start: no settings file
            case 1:
                rig_.files.files[rig_.IniPath()] = SettingsFile().substr(0, 200);  // damaged
                break;
            default:
                rig_.files.files[rig_.IniPath()] = SettingsFile();
                break;
        }
        rig_.files.directories.insert("C:\\wav");
        rig_.files.files["C:\\wav\\id.wav"] = "RIFF";
        rig_.files.files["C:\\wav\\Net.WAV"] = "RIFF";
        rig_.clock.Set(2026, 12, 7, 10, 59, 0, in_.Byte() * 250);

        rig_.window.onMessage = [this](const Message& m) {
            const bool errorReport = m.text.rfind("EchoLink reported an error", 0) == 0 ||
                                     m.text.rfind("HourMark met an unexpected error", 0) == 0;
            if (errorReport && ++openErrorReports_ > 1) {
                Broken("a second error report opened over an open one");
            }
            struct Closed {
                bool counted;
                int& open;
                ~Closed() {
                    if (counted) {
                        --open;
                    }
                }
            } closed{errorReport, openErrorReports_};
            Nested(Place::Message);
        };
        rig_.window.onDialog = [this](Dialog) { Nested(Place::Dialog); };
        rig_.pause.onWait = [this](std::int64_t) { Nested(Place::Pause); };
        // A pause may be as long as any delay the dialog takes (years). Its first seconds tick
        // in full; then, for a quarter hour, only the ticks the station reads the clock on
        // (each auto-connect tick, the seconds around each quarter hour), so that a long pause
        // still crosses a slot and the link windows. Every tick of that quarter hour made the
        // target several times slower, and every tick of years made single inputs hang.
        rig_.pause.tickingLimitMs = 5000;
        rig_.pause.momentsLimitMs = 15 * 60 * 1000;
        rig_.host.onCall = [this](const std::string&) {
            // Nothing here reads the fake host's record of calls, and an input that has the
            // station wait simulated hours (a long auto-connect delay) would keep every call of
            // them in it: hundreds of MiB for one input.
            rig_.host.ClearCalls();
            Nested(Place::HostCall);
        };
    }

    // Runs the operations armed for this place, if any, inside it.
    void Nested(Place place) {
        int& count = armed_[static_cast<int>(place)];
        if (count == 0 || depth_ >= kMaxDepth) {
            return;
        }
        const int n = count;
        count = 0;
        ++depth_;
        struct Leave {
            int& d;
            ~Leave() { --d; }
        } leave{depth_};
        for (int i = 0; i < n && !in_.Done(); ++i) {
            Operation();
        }
    }

    // Between two outermost operations nothing may still wait to be delivered.
    void CheckQuiet() {
        if (depth_ == 0 && (rig_.station.dispatcher().QueuedCount() != 0 ||
                            rig_.station.dispatcher().HostCallPending())) {
            Broken("events left waiting after every entry point returned");
        }
    }

    void Operation() {
        Station& s = rig_.station;
        FakeHost& host = rig_.host;
        switch (in_.Byte() % 16) {
            case 0: {
                const std::uint8_t how = in_.Byte();
                s.HostDTMFString(how < 200 ? std::string(in_.Pick(kDtmf)) : in_.Text(6));
                break;
            }
            case 1:
                s.HostConnected(Callsign(), in_.Text(4), "44.0.0.1");
                break;
            case 2:
                s.HostDisconnected(Callsign());
                break;
            case 3:
                s.Tick(static_cast<Timer>(in_.Byte() % 4));
                break;
            case 4:
                s.HostStationListReceived();
                break;
            case 5:
                // Time passes with the timers running.
                rig_.RunFor(in_.Byte() * 8);
                break;
            case 6: {
                // The wall clock is set (summer time, the operator): the timers do not notice.
                const std::int64_t seconds = static_cast<std::int16_t>(in_.Word());
                rig_.clock.wallOffsetMs += seconds * 1000;
                break;
            }
            case 7: {
                // Straight to just before the next quarter hour, where the slots are, as if the
                // thread had been held up; each timer then fires once and keeps its pace again.
                const std::int64_t quarter = 15 * 60 * 1000;
                const std::int64_t wall = rig_.clock.nowMs + rig_.clock.wallOffsetMs;
                const std::int64_t before = in_.Byte() % 8 * 250;
                rig_.clock.nowMs += (wall / quarter + 1) * quarter - wall - before;
                rig_.RunFor(before + 1500);
                break;
            }
            case 8: {
                const std::uint8_t bits = in_.Byte();
                host.transmitting = (bits & 1) != 0;
                host.busyA = (bits & 2) != 0;
                host.busyB = (bits & 4) != 0;
                const std::string call = Callsign();
                if ((bits & 8) != 0) {
                    host.linked.insert(call);
                } else {
                    host.linked.erase(call);
                }
                break;
            }
            case 9: {
                const std::uint8_t how = in_.Byte();
                const std::string op = in_.Pick(kOperations);
                if ((how & 1) != 0) {
                    host.Fail(op, in_.Text(8));
                } else {
                    host.Succeed(op);
                }
                break;
            }
            case 10: {
                const std::uint8_t bits = in_.Byte();
                rig_.files.failRead = (bits & 1) != 0;
                rig_.files.failAppend = (bits & 2) != 0;
                rig_.files.failReplace = (bits & 4) != 0;
                rig_.files.failCopy = (bits & 8) != 0;
                break;
            }
            case 11: {
                const std::uint8_t how = in_.Byte();
                armed_[how % static_cast<int>(Place::Count)] = 1 + (how >> 4) % 4;
                break;
            }
            case 12: {
                const std::uint8_t how = in_.Byte();
                const int buttons[] = {kLeftButton, kRightButton, kMiddleButton, 0};
                s.NodeButtonMouseUp(how % 9, buttons[(how >> 4) % 4]);
                break;
            }
            case 13:
                s.Click(in_.Pick(kClickable));
                break;
            case 14:
                DialogAction();
                break;
            case 15: {
                const std::uint8_t how = in_.Byte();
                if (how == 0) {
                    s.HostClosing();
                } else if (how == 1) {
                    s.Close();
                } else if (how < 40) {
                    s.TrayCallback(in_.Pick(kTrayCodes));
                } else if (how < 60) {
                    s.Activated();
                } else {
                    rig_.window.state =
                        (how & 1) != 0 ? WindowState::Minimised : WindowState::Normal;
                    s.Resized();
                }
                break;
            }
        }
    }

    // What the operator does in whichever dialog is open.
    void DialogAction() {
        Station& s = rig_.station;
        const std::uint8_t how = in_.Byte();
        if (frmNodeSetup* d = s.NodeSetup()) {
            NodeSetupRow& row = d->rows[how % kNodeCount];
            switch ((how >> 3) % 4) {
                case 0:
                    row.tbRemoteNode = in_.Text(10);
                    row.cbAuto = static_cast<std::int16_t>(in_.Byte() % 2);
                    break;
                case 1:
                    row.tbTimeStart = in_.Text(6);
                    row.tbTimeStop = in_.Text(6);
                    row.tbDelay = in_.Text(8);
                    break;
                case 2:
                    s.DialogInput([&s] {
                        if (frmNodeSetup* open = s.NodeSetup()) {
                            open->Command2_Click();
                        }
                    });
                    break;
                default:
                    s.DialogInput([&s] {
                        if (frmNodeSetup* open = s.NodeSetup()) {
                            open->Command1_Click();
                        }
                    });
                    break;
            }
        } else if (frmSelect* p = s.WavPicker()) {
            switch ((how >> 3) % 4) {
                case 0:
                    s.DialogInput([&s, dir = std::string((how & 1) != 0 ? "C:\\wav" : "C:\\")] {
                        if (frmSelect* open = s.WavPicker()) {
                            open->SetDirPath(dir);
                        }
                    });
                    break;
                case 1:
                    p->highlighted = static_cast<int>(how % 4) - 1;
                    break;
                case 2:
                    s.DialogInput([&s] {
                        if (frmSelect* open = s.WavPicker()) {
                            open->Command1_Click();
                        }
                    });
                    break;
                default:
                    s.CloseWavPicker();
                    break;
            }
        }
    }

    std::string Callsign() {
        const std::uint8_t how = in_.Byte();
        return how < 220 ? std::string(kCalls[how % std::size(kCalls)]) : in_.Text(9);
    }

    Bytes& in_;
    Rig rig_;
    int armed_[static_cast<int>(Place::Count)] = {};
    int depth_ = 0;
    int openErrorReports_ = 0;
};

}  // namespace
}  // namespace hourmark::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    hourmark::test::Bytes in(data, size);
    hourmark::test::Session(in).Run();
    return 0;
}
