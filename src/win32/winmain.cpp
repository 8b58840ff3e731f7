// hourmark.exe: the station's program, talking to EchoLink through its automation objects.
#include "win32/Program.h"
#include "win32/com/ComHost.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return hourmark::win32::RunProgram(instance, [](hourmark::win32::HostEventTarget& events) {
        return hourmark::win32::MakeComHostFactory(events);
    });
}
