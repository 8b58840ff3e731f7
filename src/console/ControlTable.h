// The main window's controls, each described once: the member of the station that models it and
// the handler the operator's click runs. The station binds and clicks its controls through this
// table; the Windows layer draws them through it.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <type_traits>

#include "console/Controls.h"
#include "console/Station.h"

namespace hourmark {

struct ControlEntry {
    Control control;
    // The member that models the control: a check box, or a push button, label or text box.
    // Neither for the caption and XMIT_LED, which the station keeps as plain values.
    CheckBox Station::*checkBox = nullptr;
    TextControl Station::*text = nullptr;
    // A node button: its index in Station::cmdRemoteNode, or -1.
    int node = -1;
    // A check box's click handler (it runs too when code changes the value), or the handler of
    // an enabled push button's click. None: the control takes no click (the node buttons react
    // to the mouse button's release, through their own entry point).
    void (Station::*click)() = nullptr;

    // The member in a station, const or not; null when the control is not of that kind.
    template <typename S>
    requires std::same_as<std::remove_const_t<S>, Station>
    auto* CheckBoxIn(S& s) const { return checkBox != nullptr ? &(s.*checkBox) : nullptr; }
    template <typename S>
    requires std::same_as<std::remove_const_t<S>, Station>
    auto* TextIn(S& s) const {
        if (text != nullptr) {
            return &(s.*text);
        }
        return node >= 0 ? &s.cmdRemoteNode[static_cast<std::size_t>(node)] : nullptr;
    }
};

constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::cbRecordPlayback) + 1;

// In the order of Control, so that a control's entry is found by its value.
inline constexpr std::array<ControlEntry, kControlCount> kControls{{
    {.control = Control::Caption},
    {.control = Control::Label1, .text = &Station::Label1},
    {.control = Control::cbHour, .checkBox = &Station::cbHour, .click = &Station::cbHour_Click},
    {.control = Control::cbHalfHour,
     .checkBox = &Station::cbHalfHour,
     .click = &Station::cbHalfHour_Click},
    {.control = Control::cbQuarterHour,
     .checkBox = &Station::cbQuarterHour,
     .click = &Station::cbQuarterHour_Click},
    {.control = Control::cbFileHour,
     .checkBox = &Station::cbFileHour,
     .click = &Station::cbFileHour_Click},
    {.control = Control::cbFileHalfHour,
     .checkBox = &Station::cbFileHalfHour,
     .click = &Station::cbFileHalfHour_Click},
    {.control = Control::cbFileQuarterHour,
     .checkBox = &Station::cbFileQuarterHour,
     .click = &Station::cbFileQuarterHour_Click},
    {.control = Control::FanRTS, .checkBox = &Station::FanRTS, .click = &Station::FanRTS_Click},
    {.control = Control::FanDTR, .checkBox = &Station::FanDTR, .click = &Station::FanDTR_Click},
    {.control = Control::CMDFile, .text = &Station::CMDFile, .click = &Station::CMDFile_Click},
    {.control = Control::CMDTime, .text = &Station::CMDTime, .click = &Station::CMDTime_Click},
    {.control = Control::XMIT_LED},
    {.control = Control::tbFileName, .text = &Station::tbFileName},
    {.control = Control::cmdFileSelect,
     .text = &Station::cmdFileSelect,
     .click = &Station::cmdFileSelect_Click},
    {.control = Control::cmdRemoteNode0, .node = 0},
    {.control = Control::cmdRemoteNode1, .node = 1},
    {.control = Control::cmdRemoteNode2, .node = 2},
    {.control = Control::cmdRemoteNode3, .node = 3},
    {.control = Control::cmdRemoteNode4, .node = 4},
    {.control = Control::cmdRemoteNode5, .node = 5},
    {.control = Control::cmdRemoteNode6, .node = 6},
    {.control = Control::cmdRemoteNode7, .node = 7},
    {.control = Control::cbAutoOverride,
     .checkBox = &Station::cbAutoOverride,
     .click = &Station::cbAutoOverride_Click},
    {.control = Control::lblTime, .text = &Station::lblTime},
    {.control = Control::cbRecordStart,
     .text = &Station::cbRecordStart,
     .click = &Station::cbRecordStart_Click},
    {.control = Control::cbRecordStop,
     .text = &Station::cbRecordStop,
     .click = &Station::cbRecordStop_Click},
    {.control = Control::cbRecordPlayback,
     .text = &Station::cbRecordPlayback,
     .click = &Station::cbRecordPlayback_Click},
}};

constexpr bool ControlsInOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlEntry& e = kControls[i];
        if (static_cast<std::size_t>(e.control) != i) {
            return false;
        }
        // One member each at most, and a node button is one of the eight.
        const int members =
            (e.checkBox != nullptr ? 1 : 0) + (e.text != nullptr ? 1 : 0) + (e.node >= 0 ? 1 : 0);
        if (members > 1 || e.node >= kNodeCount) {
            return false;
        }
    }
    return true;
}
static_assert(ControlsInOrder(), "kControls lists every control once, in the order of Control");

// The entry of a control, or null for a value Control does not name.
constexpr const ControlEntry* DescribeControl(Control control) {
    const auto i = static_cast<std::size_t>(control);
    return i < kControls.size() ? &kControls[i] : nullptr;
}

inline const CheckBox* CheckBoxOf(const Station& s, Control control) {
    const ControlEntry* e = DescribeControl(control);
    return e != nullptr ? e->CheckBoxIn(s) : nullptr;
}

inline const TextControl* TextOf(const Station& s, Control control) {
    const ControlEntry* e = DescribeControl(control);
    return e != nullptr ? e->TextIn(s) : nullptr;
}

// The index in cmdRemoteNode of a node button, or -1 for any other control.
constexpr int NodeIndex(Control control) {
    const ControlEntry* e = DescribeControl(control);
    return e != nullptr ? e->node : -1;
}

}  // namespace hourmark
