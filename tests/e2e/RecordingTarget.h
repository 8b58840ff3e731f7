// A HostEventTarget that writes down every event and the thread it came on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/com/ComHost.h"

namespace e2e {

class RecordingTarget : public hourmark::win32::HostEventTarget {
public:
    std::vector<std::string> events;
    bool offThread = false;

    void StationListReceived() override { Note("StationListReceived"); }
    void Closing() override { Note("Closing"); }
    void Connected(const std::string& sCall, const std::string& sName,
                   const std::string& sAddr) override {
        Note("Connected " + sCall + "|" + sName + "|" + sAddr);
    }
    void Disconnected(const std::string& sCall) override { Note("Disconnected " + sCall); }
    void DTMFString(const std::string& sDigits) override { Note("DTMFString " + sDigits); }
    void UnknownEvent(std::int32_t id) override { Note("UnknownEvent " + std::to_string(id)); }

private:
    void Note(const std::string& event) {
        offThread = offThread || GetCurrentThreadId() != thread_;
        events.push_back(event);
    }
    DWORD thread_ = GetCurrentThreadId();
};

}  // namespace e2e
