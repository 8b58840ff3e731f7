// The COM client for the host: creates EchoLink's objects, binds late through IDispatch by the
// member names the host publishes, and delivers the host's events to the target on the
// user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/Host.h"

namespace hourmark::win32 {

class HostEventTarget {
public:
    virtual ~HostEventTarget() = default;
    virtual void StationListReceived() = 0;
    virtual void Closing() = 0;
    virtual void Connected(const std::string& sCall, const std::string& sName,
                           const std::string& sAddr) = 0;
    virtual void Disconnected(const std::string& sCall) = 0;
    virtual void DTMFString(const std::string& sDigits) = 0;
    // The host raised an event whose id the description of its events does not declare.
    virtual void UnknownEvent(std::int32_t id) = 0;
};

// COM must be initialised (apartment-threaded) on the calling thread before the factory is
// used, and stay so for as long as any object it made lives.
std::unique_ptr<HostFactory> MakeComHostFactory(HostEventTarget& events);

}  // namespace hourmark::win32
