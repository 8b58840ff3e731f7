// The host's events, as the COM client raises them, become the station's host entry points.
#pragma once

#include "console/Station.h"
#include "win32/com/ComHost.h"

namespace hourmark::win32 {

class StationEvents : public HostEventTarget {
public:
    // The station is made after the host factory, which needs this target first.
    void Attach(Station* station) { station_ = station; }

    void StationListReceived() override {
        if (station_) {
            station_->HostStationListReceived();
        }
    }
    void Closing() override {
        if (station_) {
            station_->HostClosing();
        }
    }
    void Connected(const std::string& sCall, const std::string& sName,
                   const std::string& sAddr) override {
        if (station_) {
            station_->HostConnected(sCall, sName, sAddr);
        }
    }
    void Disconnected(const std::string& sCall) override {
        if (station_) {
            station_->HostDisconnected(sCall);
        }
    }
    void DTMFString(const std::string& sDigits) override {
        if (station_) {
            station_->HostDTMFString(sDigits);
        }
    }
    void UnknownEvent(std::int32_t id) override {
        if (station_) {
            station_->HostUnknownEvent(id);
        }
    }

private:
    Station* station_ = nullptr;
};

}  // namespace hourmark::win32
