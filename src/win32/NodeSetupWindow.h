// frmNodeSetup on the screen: the eight rows of the node table, drawn from the dialog's model.
// The operator's texts and Auto marks stay in the window until a button is pressed; they go into
// the model's rows, through the station's dispatcher, just before the button's handler runs.
// Enter and Esc neither confirm nor discard.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "console/Station.h"
#include "settings/NodeSetupDialog.h"
#include "win32/Accessible.h"
#include "win32/Fonts.h"
#include "win32/StationInput.h"
#include "win32/Twips.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

class NodeSetupWindow : private Speaker {
public:
    static constexpr wchar_t kClassName[] = L"HourMarkNodeSetup";
    static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr int kClientWidthTwips = 5325;
    static constexpr int kClientHeightTwips = 3900;

    // Child ids: the headings, then one id per row and column, then the two buttons.
    static constexpr int kHeadingId = 100;  // to 103
    static constexpr int kAutoId = 200;     // cbAuto(i) is kAutoId + i
    static constexpr int kCallId = 210;     // tbRemoteNode(i)
    static constexpr int kStartId = 220;    // tbTimeStart(i)
    static constexpr int kStopId = 230;     // tbTimeStop(i)
    static constexpr int kDelayId = 240;    // tbDelay(i)
    static constexpr int kOkId = 250;       // Command2
    static constexpr int kCancelId = 251;   // Command1

    NodeSetupWindow(HINSTANCE instance, const Fonts& fonts, Dpi dpi, HICON bigIcon, HICON smallIcon,
                    Station& station, StationInput& input);
    ~NodeSetupWindow();
    NodeSetupWindow(const NodeSetupWindow&) = delete;
    NodeSetupWindow& operator=(const NodeSetupWindow&) = delete;

    // Makes the dialog, hidden, filled from the open dialog's rows, centred over the owner.
    HWND Create(HWND owner);
    HWND hwnd() const { return hwnd_; }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, TwipRect rect,
             int id, FontSize font);
    // Every box is named by its row and column: the headings above name only the first row.
    void Read(UINT_PTR id, HWND control, Reading& reading) override;
    using Rows = std::array<NodeSetupRow, kNodeCount>;
    // The rows as the operator has left them on the screen; none once the window is gone.
    std::optional<Rows> ReadRows() const;
    // Hands the rows and the handler to the station, which puts the one into the dialog and then
    // runs the other.
    void Run(void (frmNodeSetup::*handler)());

    HINSTANCE instance_;
    const Fonts& fonts_;
    Dpi dpi_;
    HICON bigIcon_;
    HICON smallIcon_;
    Station& station_;
    StationInput& input_;
    HWND hwnd_ = nullptr;
};

}  // namespace hourmark::win32
