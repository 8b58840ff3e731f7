// hourmark.exe's own wiring, on the fake host instead of EchoLink: the tests end it through its
// close box and the end of the session, and the screenshot script brings it up in a scene.
//   (no argument)  start as the station does and wait, like hourmark.exe
//   unattended     the same, with nobody there: every message box is closed as it shows, and a
//                  file "started" beside the program tells a script that start-up is over
//   main           unattended, then show the main window through the tray icon
//   setup          main, then open the node setup dialog over it
//   picker         main, then open the WAV picker over it
// The dialog scenes put sample content in where the dialog opens empty, for the picture.
#include <functional>
#include <string>

#include "fakes/FakeHost.h"
#include "schedule/WavPicker.h"
#include "settings/NodeSetupDialog.h"
#include "win32/Program.h"

namespace {

using namespace hourmark;
using namespace hourmark::win32;

class SharedHost : public HostFactory {
public:
    explicit SharedHost(test::FakeHost& host) : host_(host) {}
    std::shared_ptr<HostApp> CreateMainObject() override { return host_.CreateMainObject(); }
    std::shared_ptr<SetupConfig> CreateSetupConfig() override { return host_.CreateSetupConfig(); }

private:
    test::FakeHost& host_;
};

// One job at a time, run from the message loop once its test passes (tried every 100 ms).
struct Job {
    std::function<bool()> ready;
    std::function<void()> run;
};

Job& Pending() {
    static Job pending;
    return pending;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
    if (Pending().ready && !Pending().ready()) {
        return;
    }
    KillTimer(nullptr, id);
    Job job = std::move(Pending());
    Pending() = Job{};
    if (job.run) {
        job.run();
    }
}

void When(std::function<bool()> ready, std::function<void()> run) {
    Pending() = Job{std::move(ready), std::move(run)};
    SetTimer(nullptr, 0, 100, RunPending);
}

BOOL CALLBACK CloseIfMessageBox(HWND h, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (IsWindowVisible(h) && std::wstring(cls) == L"#32770") {
        PostMessageW(h, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}

void CALLBACK CloseMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseIfMessageBox, 0);
}

bool EndsWithWav(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return ext == ".wav";
}

void FillPickerIfEmpty(RunningProgram& p) {
    frmSelect* picker = p.station.WavPicker();
    if (!picker || !picker->drives.empty()) {
        return;
    }
    const std::string dir = p.files.ProgramDirectory();
    picker->drives = p.files.ListDrives();
    picker->drive = dir.substr(0, 2);
    picker->dirPath = dir;
    picker->filPath = dir;
    if (auto listing = p.files.ListDirectory(dir)) {
        picker->subdirectories = listing->directories;
        for (const auto& f : listing->files) {
            if (EndsWithWav(f)) {
                picker->files.push_back(f);
            }
        }
    }
    picker->highlighted = picker->files.empty() ? -1 : 0;
    if (picker->changed) {
        picker->changed();
    }
}

void FillNodeSetupIfEmpty(RunningProgram& p) {
    HWND dialog = p.window.NodeSetupWindowHandle();
    if (!dialog || GetWindowTextLengthW(GetDlgItem(dialog, NodeSetupWindow::kCallId)) > 0) {
        return;
    }
    struct Sample {
        bool autoLink;
        const wchar_t* call;
        const wchar_t* start;
        const wchar_t* stop;
        const wchar_t* delay;
    };
    const Sample samples[] = {{true, L"QX2CD-L", L"07:00", L"22:00", L"10"},
                              {true, L"QX3EF-R", L"22:00", L"06:00", L"30"},
                              {false, L"*QXNET*", L"19:30", L"20:30", L"15"}};
    for (int i = 0; i < 3; ++i) {
        const Sample& s = samples[i];
        SetWindowTextW(GetDlgItem(dialog, NodeSetupWindow::kCallId + i), s.call);
        SetWindowTextW(GetDlgItem(dialog, NodeSetupWindow::kStartId + i), s.start);
        SetWindowTextW(GetDlgItem(dialog, NodeSetupWindow::kStopId + i), s.stop);
        SetWindowTextW(GetDlgItem(dialog, NodeSetupWindow::kDelayId + i), s.delay);
        if (s.autoLink) {
            SendMessageW(GetDlgItem(dialog, NodeSetupWindow::kAutoId + i), BM_CLICK, 0, 0);
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    static test::FakeHost host;
    const std::wstring scene = commandLine ? commandLine : L"";
    return RunProgram(
        instance,
        [&scene](HostEventTarget&) {
            if (!scene.empty()) {
                // Before start-up, whose own messages would otherwise wait for an operator.
                SetTimer(nullptr, 0, 100, CloseMessageBoxes);
            }
            if (scene == L"main" || scene == L"setup" || scene == L"picker") {
                host.linked = {"QX3EF-L"};  // a link up before start-up, for the picture
            }
            return std::make_unique<SharedHost>(host);
        },
        [scene](RunningProgram& p) {
            if (scene.empty()) {
                return;
            }
            p.files.ReplaceText(p.files.ProgramDirectory() + "\\started", "");
            if (scene == L"unattended") {
                return;
            }
            PostMessageW(p.window.Tray().window(), TrayIcon::kCallbackMessage, 0, 0x202);
            static RunningProgram* running = nullptr;
            running = new RunningProgram(p);
            const auto shown = [] { return IsWindowVisible(running->window.Main().hwnd()) != 0; };
            if (scene == L"setup") {
                When(shown, [] {
                    When([] { return running->window.NodeSetupWindowHandle() != nullptr; },
                         [] { FillNodeSetupIfEmpty(*running); });
                    running->station.DialogInput([] { running->station.OpenNodeSetup(); });
                });
            } else if (scene == L"picker") {
                When(shown, [] {
                    When([] { return running->window.WavPickerWindowHandle() != nullptr; },
                         [] { FillPickerIfEmpty(*running); });
                    running->station.DialogInput([] { running->station.OpenWavPicker(); });
                });
            }
        });
}
