// hourmark.exe: the station's program, talking to EchoLink through its automation objects.
#include "win32/OneInstance.h"
#include "win32/Program.h"
#include "win32/com/ComHost.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Decided before anything else: a second copy must not reach the host, the settings or the
    // log at all.
    if (!hourmark::win32::ClaimProgramFolder()) {
        hourmark::win32::BringUpRunningCopy();
        return 0;
    }
    return hourmark::win32::RunProgram(instance, [](hourmark::win32::HostEventTarget& events) {
        return hourmark::win32::MakeComHostFactory(events);
    });
}
