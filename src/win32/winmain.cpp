// hourmark.exe: the station's program, talking to EchoLink through its automation objects.
#include "win32/OneInstance.h"
#include "win32/Program.h"
#include "win32/com/ComHost.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // A DLL dropped beside the program is never loaded: later loads search System32 only. The
    // program imports only DLLs Windows always takes from System32 (tests/win32/known-dlls.sh).
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Decided before anything else: a second copy must not reach the host, the settings or the
    // log at all.
    if (!hourmark::win32::ClaimProgramFolder()) {
        if (hourmark::win32::BringUpRunningCopy()) {
            return 0;
        }
        hourmark::win32::ReportClaimWithoutCopy();
        return 1;
    }
    return hourmark::win32::RunProgram(instance, [](hourmark::win32::HostEventTarget& events) {
        return hourmark::win32::MakeComHostFactory(events);
    });
}
