// What the windows hand to the station: every timer tick, click, mouse-up, tray callback and
// window event, named as the station's entry points. The program passes them straight on; the
// tests put a recorder in between.
#pragma once

#include <functional>

#include "console/Station.h"

namespace hourmark::win32 {

class StationInput {
public:
    virtual ~StationInput() = default;
    virtual void Tick(Timer timer) = 0;
    virtual void Click(Control control) = 0;
    virtual void NodeButtonMouseUp(int index, int mouseButton) = 0;
    virtual void TrayCallback(int eventCode) = 0;
    virtual void Activated() = 0;
    virtual void Resized() = 0;
    virtual void Close() = 0;
    virtual void EndSession() = 0;
    virtual void DialogInput(const std::function<void()>& handler) = 0;
};

class StationEntryPoints : public StationInput {
public:
    explicit StationEntryPoints(Station& station) : station_(station) {}
    void Tick(Timer timer) override { station_.Tick(timer); }
    void Click(Control control) override { station_.Click(control); }
    void NodeButtonMouseUp(int index, int mouseButton) override {
        station_.NodeButtonMouseUp(index, mouseButton);
    }
    void TrayCallback(int eventCode) override { station_.TrayCallback(eventCode); }
    void Activated() override { station_.Activated(); }
    void Resized() override { station_.Resized(); }
    void Close() override { station_.Close(); }
    void EndSession() override { station_.EndSession(); }
    void DialogInput(const std::function<void()>& handler) override {
        station_.DialogInput(handler);
    }

private:
    Station& station_;
};

}  // namespace hourmark::win32
