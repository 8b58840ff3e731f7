#include "win32/NodeSetupWindow.h"

#include <optional>
#include <string>

#include "console/SpokenNames.h"
#include "settings/NodeSetupDialog.h"
#include "win32/ChildControl.h"
#include "win32/Text.h"
#include "win32/WindowClass.h"

namespace hourmark::win32 {

namespace {

int RowTop(int row) {
    return 360 + 360 * row;
}

std::string WindowText(HWND h) {
    const int n = GetWindowTextLengthW(h);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(h, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return Utf8FromWide(text);
}

WPARAM CheckState(std::int16_t value) {
    return value == 0 ? BST_UNCHECKED : value == 1 ? BST_CHECKED : BST_INDETERMINATE;
}

// A greyed box the operator did not touch gives back its 2.
std::int16_t CheckValue(LRESULT state) {
    return state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
}

}  // namespace

NodeSetupWindow::NodeSetupWindow(HINSTANCE instance, const Fonts& fonts, Dpi dpi, HICON bigIcon,
                                 HICON smallIcon, Station& station, StationInput& input)
    : instance_(instance),
      fonts_(fonts),
      dpi_(dpi),
      bigIcon_(bigIcon),
      smallIcon_(smallIcon),
      station_(station),
      input_(input) {}

NodeSetupWindow::~NodeSetupWindow() {
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

HWND NodeSetupWindow::Add(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                          TwipRect rect, int id, FontSize font) {
    return MakeChildControl(hwnd_, instance_, dpi_,
                            {cls, text, WS_CHILD | WS_VISIBLE | style, exStyle, rect, id},
                            fonts_.Get(font));
}

HWND NodeSetupWindow::Create(HWND owner) {
    frmNodeSetup* model = station_.NodeSetup();
    if (!model || !RegisterClassOnce(instance_, kClassName, ObjectWindowProc<NodeSetupWindow>,
                                     bigIcon_, smallIcon_)) {
        return nullptr;
    }
    hwnd_ = MakeDialogWindow(instance_, dpi_,
                             {kClassName, L"HourMark - Remote Node Setup", kStyle,
                              kClientWidthTwips, kClientHeightTwips},
                             owner, this, bigIcon_, smallIcon_);
    if (!hwnd_) {
        return nullptr;
    }

    const DWORD label = SS_LEFT | SS_NOPREFIX;
    Add(L"Static", L"Node Call", label, 0, {1080, 120, 975, 255}, kHeadingId, FontSize::Small);
    Add(L"Static", L"Start", label, 0, {2400, 120, 615, 255}, kHeadingId + 1, FontSize::Small);
    Add(L"Static", L"Stop", label, 0, {3360, 120, 615, 255}, kHeadingId + 2, FontSize::Small);
    Add(L"Static", L"Delay", label, 0, {4320, 120, 615, 255}, kHeadingId + 3, FontSize::Small);

    // Created in the tab order: row by row the four boxes, then OK and CANCEL, then the eight
    // Auto boxes.
    const DWORD edit = ES_AUTOHSCROLL | WS_TABSTOP;
    for (int i = 0; i < kNodeCount; ++i) {
        const NodeSetupRow& row = model->rows[static_cast<std::size_t>(i)];
        const int top = RowTop(i);
        const HWND boxes[] = {
            Add(L"Edit", WideFromUtf8(row.tbRemoteNode).c_str(), edit, WS_EX_CLIENTEDGE,
                {1080, top, 1095, 285}, kCallId + i, FontSize::Normal),
            Add(L"Edit", WideFromUtf8(row.tbTimeStart).c_str(), edit, WS_EX_CLIENTEDGE,
                {2400, top, 735, 285}, kStartId + i, FontSize::Normal),
            Add(L"Edit", WideFromUtf8(row.tbTimeStop).c_str(), edit, WS_EX_CLIENTEDGE,
                {3360, top, 735, 285}, kStopId + i, FontSize::Normal),
            Add(L"Edit", WideFromUtf8(row.tbDelay).c_str(), edit, WS_EX_CLIENTEDGE,
                {4320, top, 495, 285}, kDelayId + i, FontSize::System)};
        for (HWND box : boxes) {
            SpeakThrough(box, *this, static_cast<UINT_PTR>(GetDlgCtrlID(box)));
        }
    }
    // Neither is the default or the cancel button.
    Add(L"Button", L"OK", BS_PUSHBUTTON | WS_TABSTOP, 0, {3120, 3360, 975, 375}, kOkId,
        FontSize::Normal);
    Add(L"Button", L"CANCEL", BS_PUSHBUTTON | WS_TABSTOP, 0, {2040, 3360, 975, 375}, kCancelId,
        FontSize::Normal);
    for (int i = 0; i < kNodeCount; ++i) {
        HWND box = Add(L"Button", L"Auto", BS_3STATE | WS_TABSTOP, 0, {240, RowTop(i), 735, 255},
                       kAutoId + i, FontSize::Normal);
        SendMessageW(box, BM_SETCHECK, CheckState(model->rows[static_cast<std::size_t>(i)].cbAuto),
                     0);
        SpeakThrough(box, *this, static_cast<UINT_PTR>(kAutoId + i));
    }
    CentreOver(hwnd_, owner);
    return hwnd_;
}

void NodeSetupWindow::Read(UINT_PTR id, HWND control, Reading& reading) {
    static_assert(kCallId == kAutoId + 10 && kStartId == kAutoId + 20 && kStopId == kAutoId + 30 &&
                  kDelayId == kAutoId + 40);
    const int at = static_cast<int>(id);
    const int row = (at - kAutoId) % 10;
    NodeSetupColumn column = NodeSetupColumn::Auto;
    switch ((at - kAutoId) / 10) {
        case 1:
            column = NodeSetupColumn::Call;
            break;
        case 2:
            column = NodeSetupColumn::Start;
            break;
        case 3:
            column = NodeSetupColumn::Stop;
            break;
        case 4:
            column = NodeSetupColumn::Delay;
            break;
        default:
            ReadCheckBox(control, reading);
            break;
    }
    reading.name = WideFromUtf8(NodeSetupBoxName(row, column));
}

std::optional<NodeSetupWindow::Rows> NodeSetupWindow::ReadRows() const {
    if (!IsWindow(hwnd_)) {
        return std::nullopt;
    }
    Rows rows{};
    for (int i = 0; i < kNodeCount; ++i) {
        NodeSetupRow& row = rows[static_cast<std::size_t>(i)];
        row.cbAuto = CheckValue(SendDlgItemMessageW(hwnd_, kAutoId + i, BM_GETCHECK, 0, 0));
        row.tbRemoteNode = WindowText(GetDlgItem(hwnd_, kCallId + i));
        row.tbTimeStart = WindowText(GetDlgItem(hwnd_, kStartId + i));
        row.tbTimeStop = WindowText(GetDlgItem(hwnd_, kStopId + i));
        row.tbDelay = WindowText(GetDlgItem(hwnd_, kDelayId + i));
    }
    return rows;
}

void NodeSetupWindow::Run(void (frmNodeSetup::*handler)()) {
    // The rows are taken as the window shows them now, and go into the dialog only when the
    // station runs the handler. The dialog may be gone by then; it is looked up then.
    Station& station = station_;
    input_.DialogInput([&station, handler, rows = ReadRows()] {
        if (frmNodeSetup* dialog = station.NodeSetup()) {
            if (rows) {
                dialog->rows = *rows;
            }
            (dialog->*handler)();
        }
    });
}

LRESULT NodeSetupWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED) {
                break;
            }
            if (id == kOkId) {
                Run(&frmNodeSetup::Command2_Click);
            } else if (id == kCancelId) {
                Run(&frmNodeSetup::Command1_Click);
            } else if (id >= kAutoId && id < kAutoId + kNodeCount) {
                // The mark is the operator's edit, as the texts are: it reaches the dialog's
                // rows with them, when one of its buttons is pressed.
                const bool ticked = SendDlgItemMessageW(hwnd, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
                SendDlgItemMessageW(hwnd, id, BM_SETCHECK, ticked ? BST_UNCHECKED : BST_CHECKED, 0);
            }
            // IDOK and IDCANCEL (Enter and Esc) fall through here and do nothing.
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return FaceColour(reinterpret_cast<HDC>(wParam));
        case WM_CLOSE:
            Run(&frmNodeSetup::CloseBox);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace hourmark::win32
