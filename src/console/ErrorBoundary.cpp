#include "console/ErrorBoundary.h"

#include <exception>

#include "host/HostLink.h"

namespace hourmark {

void ErrorBoundary::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const HostFailure& failure) {
        if (failure.cause() == HostFailure::Cause::Gone) {
            return;
        }
        Raise(failure.operation(),
              "EchoLink reported an error in " + failure.operation() + ":\r\n" + failure.text());
    } catch (const std::exception& e) {
        Raise(std::string("internal:") + e.what(),
              std::string("HourMark met an unexpected error:\r\n") + e.what());
    }
}

void ErrorBoundary::Raise(const std::string& key, const std::string& text) {
    if (reportOpen_ || reported_.count(key) != 0) {
        return;
    }
    reported_.insert(key);
    reportOpen_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{reportOpen_};
    report_(text);
}

}  // namespace hourmark
