// Timer1: the transmit indicator follows the node, and the chosen minutes press "Xmit Time" and
// "Xmit File". A slot is served by the ticks that fall into its second 0; each button is pressed
// at most once per slot, however many idle ticks that second holds.
#include <array>

#include "console/Station.h"

namespace hourmark {

namespace {

struct Slot {
    int minute;
    CheckBox Station::*timeBox;
    CheckBox Station::*fileBox;
};

// The order in which the slots are checked on every tick.
constexpr std::array<Slot, 4> kSlots{{
    {0, &Station::cbHour, &Station::cbFileHour},
    {30, &Station::cbHalfHour, &Station::cbFileHalfHour},
    {15, &Station::cbQuarterHour, &Station::cbFileQuarterHour},
    {45, &Station::cbQuarterHour, &Station::cbFileQuarterHour},
}};

int MinuteOfDay(const LocalTime& t) {
    return t.hour * 60 + t.minute;
}

}  // namespace

bool Station::NodeBusy() {
    // All three are asked every time, whatever the first one says.
    const bool transmitting = host().IsTransmitting();
    const bool busyA = host().IsBusyA();
    const bool busyB = host().IsBusyB();
    return transmitting || busyA || busyB;
}

void Station::Timer1_Timer() {
    const bool busy = NodeBusy();
    // One reading serves the whole tick: two readings could straddle a minute and match the hour
    // check at hh:01:00.
    const LocalTime now = Now();
    const int slotKey = now.second == 0 ? MinuteOfDay(now) : -1;
    // A mark lasts only while the ticks stay inside second 0 of its minute, so a minute that
    // comes round again (the repeated hour at the end of summer time) is served again.
    if (timeSlotPressed != slotKey) {
        timeSlotPressed = -1;
    }
    if (fileSlotPressed != slotKey) {
        fileSlotPressed = -1;
    }

    if (busy) {
        SetLed(Led::Red);
        CMDTime.SetEnabled(false);
        CMDFile.SetEnabled(false);
        return;
    }
    SetLed(Led::Green);
    CMDTime.SetEnabled(true);
    CMDFile.SetEnabled(true);

    if (slotKey < 0) {
        return;
    }
    for (const Slot& slot : kSlots) {
        if (now.minute != slot.minute) {
            continue;
        }
        // The mark goes on before the press: a tick that runs nested inside the press (under
        // its message box) must not press again.
        if ((this->*slot.timeBox).ticked() && timeSlotPressed != slotKey) {
            timeSlotPressed = slotKey;
            CMDTime_Click();
        }
        // Read only now: the announcement has been handed to the host by this point.
        if ((this->*slot.fileBox).ticked() && fileSlotPressed != slotKey) {
            fileSlotPressed = slotKey;
            CMDFile_Click();
        }
    }
}

void Station::cbHour_Click() {
    FocusStep();
}
void Station::cbHalfHour_Click() {
    FocusStep();
}
void Station::cbQuarterHour_Click() {
    FocusStep();
}
void Station::cbFileHour_Click() {
    FocusStep();
}
void Station::cbFileHalfHour_Click() {
    FocusStep();
}
void Station::cbFileQuarterHour_Click() {
    FocusStep();
}

}  // namespace hourmark
