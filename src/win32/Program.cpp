#include "win32/Program.h"

#include <objbase.h>

#include "win32/LocalClock.h"
#include "win32/MessagePump.h"
#include "win32/StationEvents.h"
#include "win32/Text.h"
#include "win32/WaitTimerPause.h"

namespace hourmark::win32 {

int RunProgram(HINSTANCE instance, const HostFactoryMaker& makeHost,
               const std::function<void(RunningProgram&)>& afterStart) {
    // A drive with no medium fails quietly instead of Windows asking for a disk.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    // DPI awareness comes from the manifest (the layout is in twips at the real resolution):
    // declared there, it holds before the first window, where no call made here could.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com)) {
        MessageBoxW(nullptr, L"HourMark cannot start: COM is not available.", L"HourMark",
                    MB_OK | MB_ICONHAND);
        return 1;
    }
    int exitCode = 1;
    {
        LocalClock clock;
        DiskFiles files;
        WaitTimerPause pause;
        WindowPort window(instance);
        StationEvents events;
        std::unique_ptr<HostFactory> host = makeHost(events);
        Station station(Ports{*host, clock, window, pause, files});
        StationEntryPoints input(station);
        events.Attach(&station);
        if (!window.Create(station, input)) {
            MessageBoxW(nullptr, L"HourMark cannot make its window.", L"HourMark",
                        MB_OK | MB_ICONHAND);
        } else {
            station.Start();
            if (afterStart) {
                RunningProgram running{station, window, input, files};
                afterStart(running);
            }
            exitCode = RunMessageLoop();
        }
        events.Attach(nullptr);
        window.Destroy();
    }
    CoUninitialize();
    return exitCode;
}

}  // namespace hourmark::win32
