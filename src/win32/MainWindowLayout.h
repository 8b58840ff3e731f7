// frmmain as it is laid out: every control with its kind, container, place and size in twips
// (relative to its container), font and, where the station does not model it, its caption.
// The order is the tab order.
#pragma once

#include <optional>
#include <vector>

#include "console/Controls.h"
#include "win32/Fonts.h"
#include "win32/Twips.h"

namespace hourmark::win32 {

enum class ControlKind { Label, Frame, CheckBox, Button, TextBox, Picture };

struct LaidOutControl {
    const wchar_t* name;
    ControlKind kind;
    const wchar_t* container;  // the frame's name, or null for the window itself
    TwipRect rect;
    FontSize font;
    std::optional<Control> control;  // the station's model of it, if it has one
    const wchar_t* caption;          // frames
    bool visible;
    int id;  // child window id
};

constexpr int kMainClientWidthTwips = 5655;
constexpr int kMainClientHeightTwips = 3195;

const std::vector<LaidOutControl>& MainWindowControls();

// The child window id of a modelled control.
constexpr int ControlId(Control c) {
    return 100 + static_cast<int>(c);
}

}  // namespace hourmark::win32
