// The host publishes its main object under no name that a client could know in advance. It is
// found as the creatable class, in the type library that the setup configuration's class belongs
// to, whose default source interface raises the host's events.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <optional>

#include "win32/com/EventIds.h"

namespace hourmark::win32::com {

struct MainObjectClass {
    CLSID clsid{};
    // The default source dispinterface and its IID, for the event sink.
    Microsoft::WRL::ComPtr<ITypeInfo> events;
    IID eventsIid{};
    // The events' ids in that dispinterface, and the events it does not declare.
    EventIds ids;
};

// Throws HostError when the ProgID is not registered, its type library cannot be found, or the
// library has no such class.
MainObjectClass FindMainObjectClass(const wchar_t* progId);

// The created object's own word on its events, from its class information (IProvideClassInfo):
// a library found through the registry may be another version than the running host's, with
// other ids. Replaces the class's events and returns true when the object offers them.
bool TakeEventsFromObject(IUnknown* object, MainObjectClass& mainClass);

// The type library of a registered class: from the class's TypeLib registration, else from an
// instance's own type information. Null when neither is to be had.
Microsoft::WRL::ComPtr<ITypeLib> TypeLibraryOfClass(const CLSID& clsid);

// Among the library's creatable classes, the one whose default source interface declares most of
// the host's events (the first such class on a tie); none when no class has a default source.
std::optional<MainObjectClass> FindEventRaisingClass(ITypeLib* library);

}  // namespace hourmark::win32::com
