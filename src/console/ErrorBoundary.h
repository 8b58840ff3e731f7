// Around every entry point: an untrapped failure is reported in one message box that names the
// failing operation and the host's own text, and the program goes on. At most one report is
// open at a time, and a failure of the same operation is not reported again until that
// operation has succeeded in between, so a dead host cannot raise a box every half second.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace hourmark {

class ErrorBoundary {
public:
    using Report = std::function<void(const std::string& text)>;

    explicit ErrorBoundary(Report report) : report_(std::move(report)) {}

    // A failure because the host is gone is not reported here: the station tells an outage
    // once, through Tell.
    void Run(const std::function<void()>& handler);

    // Reports under that key, by the same rules as a failed operation: not while another report
    // is open, and not again until Succeeded(key).
    void Tell(const std::string& key, const std::string& text) { Raise(key, text); }

    // The host operation went through; its next failure is worth a report again. Called on
    // every host call, so it makes no string of the name.
    void Succeeded(std::string_view operation) {
        if (reported_.empty()) {
            return;
        }
        const auto found = reported_.find(operation);
        if (found != reported_.end()) {
            reported_.erase(found);
        }
    }

private:
    void Raise(const std::string& key, const std::string& text);

    Report report_;
    bool reportOpen_ = false;
    std::set<std::string, std::less<>> reported_;
};

}  // namespace hourmark
