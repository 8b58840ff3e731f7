// The whole program: the ports made, the station built on them, started, and the message loop
// run until the station ends the process. hourmark.exe runs it with the COM host; a test
// program may run it with another host.
#pragma once

#include <functional>
#include <memory>

#include "console/Station.h"
#include "win32/DiskFiles.h"
#include "win32/StationInput.h"
#include "win32/WinApi.h"
#include "win32/WindowPort.h"
#include "win32/com/ComHost.h"

namespace hourmark::win32 {

using HostFactoryMaker = std::function<std::unique_ptr<HostFactory>(HostEventTarget& events)>;

struct RunningProgram {
    Station& station;
    WindowPort& window;
    StationInput& input;
    DiskFiles& files;
};

// afterStart runs once the station has started, before the message loop.
int RunProgram(HINSTANCE instance, const HostFactoryMaker& makeHost,
               const std::function<void(RunningProgram&)>& afterStart = {});

}  // namespace hourmark::win32
