#include "fakes/FakePorts.h"

#include <algorithm>
#include <chrono>

namespace hourmark::test {

namespace {

const char* DialogName(Dialog d) {
    return d == Dialog::NodeSetup ? "NodeSetup" : "WavPicker";
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

}  // namespace

// ---- FakeClock -----------------------------------------------------------------------------

std::int64_t FakeClock::ToMs(int year, int month, int day, int hour, int minute, int second,
                             int ms) {
    using namespace std::chrono;
    const sys_days d =
        year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                       std::chrono::day{static_cast<unsigned>(day)}};
    const auto days = d.time_since_epoch().count();
    return ((static_cast<std::int64_t>(days) * 24 + hour) * 60 + minute) * 60000LL +
           second * 1000LL + ms;
}

LocalTime FakeClock::FromMs(std::int64_t ms) {
    using namespace std::chrono;
    std::int64_t days = ms / 86400000;
    std::int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        days -= 1;
    }
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    LocalTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second, int ms) {
    nowMs = ToMs(year, month, day, hour, minute, second, ms);
}

LocalTime FakeClock::Now() {
    if (onRead) {
        onRead();
    }
    return FromMs(nowMs + wallOffsetMs);
}

// ---- FakeWindow ----------------------------------------------------------------------------

void FakeWindow::ControlChanged(Control control) {
    changed.push_back(control);
}

void FakeWindow::ShowDialog(Dialog d) {
    log.push_back(std::string("ShowDialog(") + DialogName(d) + ")");
    showing.insert(d);
    ++openModals;
    // Closed however the script leaves it, also when the program ends inside it.
    struct Close {
        FakeWindow& w;
        Dialog d;
        ~Close() {
            w.showing.erase(d);
            --w.openModals;
        }
    } close{*this, d};
    if (onDialog) {
        onDialog(d);
    }
}

void FakeWindow::CloseDialog(Dialog d) {
    log.push_back(std::string("CloseDialog(") + DialogName(d) + ")");
    showing.erase(d);
}

void FakeWindow::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
    messages.push_back({text, title, icon});
    log.push_back("Message(" + title + "): " + text);
    ++openModals;
    struct Close {
        int& n;
        ~Close() { --n; }
    } close{openModals};
    if (onMessage) {
        onMessage(messages.back());
    }
}

void FakeWindow::SetWindowState(WindowState s) {
    state = s;
    log.push_back(s == WindowState::Normal ? "SetWindowState(Normal)"
                                           : "SetWindowState(Minimised)");
}

void FakeWindow::SetVisible(bool visible) {
    shown = visible;
    log.push_back(visible ? "SetVisible(true)" : "SetVisible(false)");
}

void FakeWindow::ShowModeless() {
    shown = true;
    log.push_back("ShowModeless");
}

void FakeWindow::SetTop(std::int32_t twips) {
    top = twips;
    log.push_back("SetTop(" + std::to_string(twips) + ")");
}

void FakeWindow::SetLeft(std::int32_t twips) {
    left = twips;
    log.push_back("SetLeft(" + std::to_string(twips) + ")");
}

void FakeWindow::AddTrayIcon() {
    trayIcon = true;
    log.push_back("AddTrayIcon");
}

void FakeWindow::SetTrayTip(const std::string& tip) {
    trayTip = tip;
    log.push_back("SetTrayTip(" + tip + ")");
}

void FakeWindow::DeleteTrayIcon() {
    trayIcon = false;
    log.push_back("DeleteTrayIcon");
}

void FakeWindow::EndProgram(int exitCode) {
    log.push_back("EndProgram(" + std::to_string(exitCode) + ")");
    throw ProgramEnded{exitCode};
}

std::size_t FakeWindow::Count(const std::string& entry) const {
    return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
}

// ---- FakeFiles -----------------------------------------------------------------------------

std::optional<std::string> FakeFiles::ReadText(const std::string& path, std::size_t maxBytes) {
    auto it = files.find(path);
    if (failRead || it == files.end()) {
        return std::nullopt;
    }
    return it->second.substr(0, maxBytes);
}

bool FakeFiles::WriteFails(const std::string& path, const std::string& text) {
    ++writes;
    return failWrite && failWrite(writes, path, text);
}

bool FakeFiles::AppendText(const std::string& path, const std::string& text) {
    if (WriteFails(path, text) || failAppend) {
        return false;
    }
    files[path] += text;
    return true;
}

bool FakeFiles::ReplaceText(const std::string& path, const std::string& text) {
    if (WriteFails(path, text) || failReplace) {
        return false;
    }
    ++replaceCount;
    files[path] = text;
    return true;
}

bool FakeFiles::CopyFile(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end() || WriteFails(to, it->second) || failCopy) {
        return false;
    }
    files[to] = it->second;
    return true;
}

bool FakeFiles::IsDirectory(const std::string& path) {
    return directories.count(path) != 0;
}

std::optional<std::string> FakeFiles::DriveDirectory(const std::string& drive) {
    auto it = driveDirectory.find(drive);
    if (it == driveDirectory.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<DirectoryListing> FakeFiles::ListDirectory(const std::string& path) {
    if (!IsDirectory(path)) {
        return std::nullopt;
    }
    std::string prefix = path;
    if (prefix.empty() || prefix.back() != '\\') {
        prefix += '\\';
    }
    DirectoryListing out;
    for (const auto& d : directories) {
        if (d.size() > prefix.size() && d.rfind(prefix, 0) == 0 &&
            d.find('\\', prefix.size()) == std::string::npos) {
            out.directories.push_back(d.substr(prefix.size()));
        }
    }
    for (const auto& [p, text] : files) {
        if (p.size() > prefix.size() && p.rfind(prefix, 0) == 0 &&
            p.find('\\', prefix.size()) == std::string::npos) {
            out.files.push_back(p.substr(prefix.size()));
        }
    }
    return out;
}

std::string FakeFiles::UpperCase(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 'a' && c <= 'z') {
            out += static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < text.size()) {
            // U+00E0 to U+00FE, less the division sign, move down by 0x20: the second byte of
            // their UTF-8 form goes from 0xA0-0xBE to 0x80-0x9E.
            const auto next = static_cast<unsigned char>(text[++i]);
            out += static_cast<char>(c);
            out += static_cast<char>(next >= 0xA0 && next <= 0xBE && next != 0xB7 ? next - 0x20
                                                                                  : next);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string FakeFiles::Text(const std::string& path) const {
    auto it = files.find(path);
    return it == files.end() ? std::string() : it->second;
}

// ---- FakePause and Rig ---------------------------------------------------------------------

std::int64_t FakePause::WaitUpTo(std::int64_t ms, const Over& over) {
    waits.push_back(ms);
    const std::int64_t start = rig_.clock.nowMs;
    if (onWait) {
        onWait(ms);
    }
    std::function<bool()> stop;
    if (over) {
        stop = [this, &over, start] { return over(rig_.clock.nowMs - start); };
    }
    const std::int64_t total = std::max<std::int64_t>(ms, 0);
    const std::int64_t ticking = std::min(total, tickingLimitMs);
    rig_.RunUntil(start + ticking, stop);
    const std::int64_t moments = total - ticking > momentsLimitMs
                                     ? ticking + std::max<std::int64_t>(momentsLimitMs, 0)
                                     : total;
    const auto ended = [&stop] { return stop && stop(); };
    if (ticking < total && rig_.clock.nowMs - start >= ticking && !ended()) {
        RunMoments(start + moments, stop);
    }
    if (moments < total && rig_.clock.nowMs - start >= moments && !ended()) {
        rig_.clock.nowMs = start + total;
        rig_.RunUntil(rig_.clock.nowMs, stop);
    }
    return rig_.clock.nowMs - start;
}

void FakePause::RunMoments(std::int64_t endMs, const std::function<bool()>& stop) {
    constexpr std::int64_t kQuarterMs = 15 * 60 * 1000;
    constexpr std::int64_t kAroundMs = 1000;
    FakeClock& clock = rig_.clock;
    while (clock.nowMs < endMs) {
        // The first quarter hour whose second after has not passed yet; read again every time,
        // since the wall clock may be set by what runs inside the pause.
        const std::int64_t wall = clock.nowMs + clock.wallOffsetMs - kAroundMs;
        const std::int64_t quarter =
            (FloorDiv(wall, kQuarterMs) + 1) * kQuarterMs - clock.wallOffsetMs;
        const std::int64_t aroundQuarter = quarter - kAroundMs;
        const std::int64_t next =
            std::min({endMs, aroundQuarter, rig_.NextDue(Timer::tAutoConnect)});
        clock.nowMs = std::max(clock.nowMs, next);
        const std::int64_t until =
            next == aroundQuarter ? std::min(endMs, quarter + kAroundMs) : clock.nowMs;
        rig_.RunUntil(until, stop);
        if (next == endMs || (stop && stop())) {
            return;
        }
    }
}

Rig::Rig() : station(Ports{host, clock, window, pause, files}) {
    clock.Set(2026, 12, 7, 10, 0, 10);
}

std::optional<int> Rig::Start() {
    try {
        station.Start();
    } catch (const ProgramEnded& e) {
        return e.exitCode;
    }
    if (!timersStarted_) {
        timersStarted_ = true;
        for (Timer t : {Timer::tTime, Timer::Timer1, Timer::FanTimer, Timer::tAutoConnect}) {
            nextDue_[t] = clock.nowMs + TimerIntervalMs(t);
        }
    }
    return std::nullopt;
}

std::int64_t Rig::NextDue(Timer timer) const {
    auto it = nextDue_.find(timer);
    return it == nextDue_.end() ? INT64_MAX : it->second;
}

void Rig::RunFor(std::int64_t ms) {
    RunUntil(clock.nowMs + ms);
}

void Rig::RunUntil(std::int64_t endMs, const std::function<bool()>& stop) {
    while (true) {
        Timer next = Timer::tTime;
        std::int64_t due = INT64_MAX;
        for (Timer t : {Timer::tTime, Timer::Timer1, Timer::FanTimer, Timer::tAutoConnect}) {
            auto it = nextDue_.find(t);
            if (it != nextDue_.end() && it->second < due) {
                due = it->second;
                next = t;
            }
        }
        if (due > endMs) {
            clock.nowMs = std::max(clock.nowMs, endMs);
            return;
        }
        clock.nowMs = std::max(clock.nowMs, due);
        const std::int64_t interval = TimerIntervalMs(next);
        nextDue_[next] = due + interval;
        if (enabledTimers.count(next) != 0) {
            station.Tick(next);
        }
        // A timer that came due again while the handler ran fires once, like WM_TIMER.
        if (nextDue_[next] <= clock.nowMs) {
            nextDue_[next] = clock.nowMs + interval;
        }
        if (stop && stop()) {
            return;
        }
    }
}

void Rig::ShowWindow() {
    station.TrayCallback(kTrayLeftUp);
}

}  // namespace hourmark::test
