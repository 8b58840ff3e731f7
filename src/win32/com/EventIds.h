// The member ids of the host's five events, read from the type information of its source
// interface. That type information may be the host's own, reached through the host object (a
// proxy): a proxy does not answer ITypeInfo::GetIDsOfNames, so the ids are read member by member
// (GetFuncDesc and GetDocumentation), which works for a local and a remote one alike.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace hourmark::win32::com {

enum class HostEvent { StationListReceived, Closing, Connected, Disconnected, DTMFString };

struct EventIds {
    std::map<DISPID, HostEvent> byId;
    // Names of the events the type information does not declare, in the order above.
    std::vector<std::string> missing;
    // Every member id the type information declares, the host's other events included: an id
    // outside it is one this description does not know.
    std::set<DISPID> declared;
};

EventIds FindEventIds(ITypeInfo* events);

const wchar_t* EventName(HostEvent event);

// "Connected", "Connected and DTMFString", "Closing, Connected and DTMFString".
std::string JoinNames(const std::vector<std::string>& names);

}  // namespace hourmark::win32::com
