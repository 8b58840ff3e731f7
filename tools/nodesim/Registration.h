// nodesim.exe /RegServer and /UnregServer. The simulator must never take the real host's place
// by accident: it refuses to register over a registration of its ProgIDs that is not its own,
// wherever activation would find one, and it removes only its own entries.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace nodesim {

struct RegistrationOutcome {
    int exitCode;
    std::string message;  // one line
};

// Whether the classes name their type library. A host may leave that out; a client then has to
// reach the library through an instance's own type information.
enum class TypeLibKey { Written, Omitted };

// Registers in the program's own registry view (a 32-bit simulator in the 32-bit view, as a
// 32-bit host does): for the current user where activation sees per-user classes (Windows), else
// for the machine (Wine, whose activation reads only the machine's classes).
// A stale library is another version of the simulator's library, with other event ids,
// registered beside its own as the higher version (as an older or newer install of a host leaves
// one); without it, a stale one registered earlier is removed.
RegistrationOutcome RegisterServer(const std::wstring& exePath,
                                   TypeLibKey typeLibKey = TypeLibKey::Written,
                                   bool staleLibrary = false);
RegistrationOutcome UnregisterServer();

// The server registered for a class, as written (quoted or not): in this program's own registry
// view first, then wherever else a registration may be found; none when it is nowhere.
std::optional<std::wstring> RegisteredServer(const CLSID& clsid);

// A registration of one of the simulator's ProgIDs that belongs to another program, described;
// none when there is none.
std::optional<std::string> ForeignRegistration();

}  // namespace nodesim
