#include "win32/WavPickerWindow.h"

#include <oleacc.h>

#include "console/SpokenNames.h"
#include "schedule/WavPicker.h"
#include "win32/ChildControl.h"
#include "win32/Text.h"
#include "win32/WindowClass.h"

namespace hourmark::win32 {

namespace {

constexpr int kDropDownPixels = 160;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameDrive(const std::string& a, const std::string& b) {
    return a.size() >= 2 && b.size() >= 2 && a[1] == ':' && b[1] == ':' &&
           Lower(a[0]) == Lower(b[0]);
}

// "C:\Radio\Wav" -> "C:\", "C:\Radio", "C:\Radio\Wav".
std::vector<std::string> PathsDownTo(const std::string& path) {
    std::vector<std::string> out;
    if (path.empty()) {
        return out;
    }
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        out.push_back(path.substr(0, 2) + "\\");
        start = path.size() > 2 && path[2] == '\\' ? 3 : 2;
    } else if (path.rfind("\\\\", 0) == 0) {
        // \\server\share counts as the root
        const std::size_t share = path.find('\\', 2);
        const std::size_t end =
            share == std::string::npos ? std::string::npos : path.find('\\', share + 1);
        out.push_back(path.substr(0, end));
        if (end == std::string::npos) {
            return out;
        }
        start = end + 1;
    }
    while (start < path.size()) {
        std::size_t next = path.find('\\', start);
        if (next == std::string::npos) {
            next = path.size();
        }
        if (next > start) {
            const std::string& parent = out.empty() ? std::string() : out.back();
            const bool rooted = !parent.empty() && parent.back() == '\\';
            out.push_back(parent + (rooted || parent.empty() ? "" : "\\") +
                          path.substr(start, next - start));
        }
        start = next + 1;
    }
    return out;
}

std::string Below(const std::string& dir, const std::string& name) {
    return !dir.empty() && dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

std::string LastPart(const std::string& path) {
    if (path.size() <= 3 && path.size() >= 2 && path[1] == ':') {
        return path;
    }
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

WavPickerWindow::WavPickerWindow(HINSTANCE instance, const Fonts& fonts, Dpi dpi, HICON bigIcon,
                                 HICON smallIcon, Station& station, StationInput& input,
                                 std::function<void()> closeBox)
    : instance_(instance),
      fonts_(fonts),
      dpi_(dpi),
      bigIcon_(bigIcon),
      smallIcon_(smallIcon),
      station_(station),
      input_(input),
      closeBox_(std::move(closeBox)) {}

WavPickerWindow::~WavPickerWindow() {
    if (frmSelect* model = station_.WavPicker()) {
        model->changed = nullptr;
    }
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

HWND WavPickerWindow::Add(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                          TwipRect rect, int id) {
    return MakeChildControl(hwnd_, instance_, dpi_,
                            {cls, text, WS_CHILD | WS_VISIBLE | style, exStyle, rect, id},
                            fonts_.Get(FontSize::Normal));
}

HWND WavPickerWindow::Create(HWND owner) {
    frmSelect* model = station_.WavPicker();
    if (!model || !RegisterClassOnce(instance_, kClassName, ObjectWindowProc<WavPickerWindow>,
                                     bigIcon_, smallIcon_)) {
        return nullptr;
    }
    hwnd_ = MakeDialogWindow(
        instance_, dpi_,
        {kClassName, L"HourMark - Select WAV File", kStyle, kClientWidthTwips, kClientHeightTwips},
        owner, this, bigIcon_, smallIcon_);
    if (!hwnd_) {
        return nullptr;
    }

    // The height given to a drop-down list includes the list that drops; the box itself is
    // then made as high as it was laid out by its field height.
    const int boxHeight = PixelsFromTwips(315, dpi_.y);
    HWND drives = Add(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                      {120, 120, 2775, 315}, kDriveListId);
    SetWindowPos(drives, nullptr, 0, 0, PixelsFromTwips(2775, dpi_.x), boxHeight + kDropDownPixels,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT box;
    GetWindowRect(drives, &box);
    const LRESULT field = SendMessageW(drives, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (field > 0 && box.bottom - box.top != boxHeight) {
        SendMessageW(drives, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     field + boxHeight - (box.bottom - box.top));
    }
    const DWORD list = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
    HWND dirs = Add(L"ListBox", L"", list, WS_EX_CLIENTEDGE, {120, 600, 2775, 2340}, kDirListId);
    HWND files = Add(L"ListBox", L"", list, WS_EX_CLIENTEDGE, {3120, 120, 3255, 2430}, kFileListId);
    SpeakThrough(drives, *this, kDriveListId);
    SpeakThrough(dirs, *this, kDirListId);
    SpeakThrough(files, *this, kFileListId);
    Add(L"Button", L"Select", BS_PUSHBUTTON | WS_TABSTOP, 0, {5280, 2640, 1095, 375}, kSelectId);

    model->changed = [this] { Redraw(); };
    Redraw();
    CentreOver(hwnd_, owner);
    return hwnd_;
}

void WavPickerWindow::Redraw() {
    frmSelect* model = station_.WavPicker();
    if (!model || !IsWindow(hwnd_)) {
        return;
    }
    int driveIndex = -1;
    for (std::size_t i = 0; i < model->drives.size() && driveIndex < 0; ++i) {
        if (SameDrive(model->drives[i], model->drive)) {
            driveIndex = static_cast<int>(i);
        }
    }
    Fill(GetDlgItem(hwnd_, kDriveListId), true, model->drives, driveIndex);

    // The directory list: the path from its root down, one level further in per line, with the
    // directories below the current one under it.
    std::vector<std::string> lines;
    dirPaths_.clear();
    const std::vector<std::string> down = PathsDownTo(model->dirPath);
    for (std::size_t level = 0; level < down.size(); ++level) {
        lines.push_back(std::string(level * 2, ' ') + LastPart(down[level]));
        dirPaths_.push_back(down[level]);
    }
    for (const std::string& sub : model->subdirectories) {
        lines.push_back(std::string(down.size() * 2, ' ') + sub);
        dirPaths_.push_back(Below(model->dirPath, sub));
    }
    Fill(GetDlgItem(hwnd_, kDirListId), false, lines, static_cast<int>(down.size()) - 1);

    Fill(GetDlgItem(hwnd_, kFileListId), false, model->files, model->highlighted);
}

void WavPickerWindow::Fill(HWND list, bool combo, const std::vector<std::string>& items,
                           int selected) {
    const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT getLength = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
    // The model tells of every change; a list that shows the same lines is left alone, so that a
    // choice the operator is making in it is not disturbed.
    bool same = SendMessageW(list, count, 0, 0) == static_cast<LRESULT>(items.size());
    for (std::size_t i = 0; same && i < items.size(); ++i) {
        const LRESULT n = SendMessageW(list, getLength, i, 0);
        std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
        SendMessageW(list, getText, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
        same = text == WideFromUtf8(items[i]);
    }
    if (!same) {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
        for (const std::string& item : items) {
            SendMessageW(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(WideFromUtf8(item).c_str()));
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    const UINT getSel = combo ? CB_GETCURSEL : LB_GETCURSEL;
    if (SendMessageW(list, getSel, 0, 0) != selected) {
        SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
}

void WavPickerWindow::Run(std::function<void(frmSelect&)> handler) {
    // The handler holds the operator's choice by value: the picker may be gone by the time the
    // station runs it, and is looked up then.
    Station& station = station_;
    input_.DialogInput([&station, handler] {
        if (frmSelect* picker = station.WavPicker()) {
            handler(*picker);
        }
    });
}

void WavPickerWindow::OpenDirectory(HWND list) {
    const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (sel >= 0 && static_cast<std::size_t>(sel) < dirPaths_.size()) {
        const std::string path = dirPaths_[static_cast<std::size_t>(sel)];
        Run([path](frmSelect& p) { p.SetDirPath(path); });
    }
}

void WavPickerWindow::ChooseFile(frmSelect& model, HWND list, bool confirm) {
    const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const int highlighted = sel >= 0 ? static_cast<int>(sel) : -1;
    confirm = confirm && sel >= 0;
    // The choice belongs to the list as it was shown: one that a change of directory held
    // before it has replaced takes none of it.
    Run([path = model.filPath, highlighted, confirm](frmSelect& p) {
        if (p.filPath != path) {
            return;
        }
        p.highlighted = highlighted;
        if (confirm) {
            p.filList_DblClick();
        }
    });
}

void WavPickerWindow::Read(UINT_PTR id, HWND control, Reading& reading) {
    switch (id) {
        case kDriveListId: {
            reading.name = WideFromUtf8(kDriveListName);
            reading.role = ROLE_SYSTEM_COMBOBOX;
            // The closed list says which drive it shows.
            const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
            const LRESULT n =
                sel >= 0 ? SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0) : -1;
            if (n > 0) {
                std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
                SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(sel),
                             reinterpret_cast<LPARAM>(text.data()));
                text.resize(static_cast<std::size_t>(n));
                reading.value = text;
            }
            break;
        }
        case kDirListId:
            reading.name = WideFromUtf8(kFolderListName);
            reading.role = ROLE_SYSTEM_LIST;
            break;
        case kFileListId:
            reading.name = WideFromUtf8(kFileListName);
            reading.role = ROLE_SYSTEM_LIST;
            break;
        default:
            break;
    }
}

LRESULT WavPickerWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            frmSelect* model = station_.WavPicker();
            if (model && id == IDOK && !control) {
                // Enter, as the dialog manager hands it over. In the two lists it does what a
                // double click there does; elsewhere nothing.
                HWND focus = GetFocus();
                if (focus == GetDlgItem(hwnd, kDirListId)) {
                    OpenDirectory(focus);
                } else if (focus == GetDlgItem(hwnd, kFileListId)) {
                    ChooseFile(*model, focus, true);
                }
                return 0;
            }
            if (!model || !control) {
                return 0;
            }
            if (id == kDriveListId && code == CBN_SELCHANGE) {
                const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
                if (sel >= 0 && static_cast<std::size_t>(sel) < model->drives.size()) {
                    const std::string drive = model->drives[static_cast<std::size_t>(sel)];
                    Run([drive](frmSelect& p) { p.SetDrive(drive); });
                }
            } else if (id == kDirListId && code == LBN_DBLCLK) {
                OpenDirectory(control);
            } else if (id == kFileListId && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
                ChooseFile(*model, control, code == LBN_DBLCLK);
            } else if (id == kSelectId && code == BN_CLICKED) {
                Run([](frmSelect& p) { p.Command1_Click(); });
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return FaceColour(reinterpret_cast<HDC>(wParam));
        case WM_CLOSE:
            if (closeBox_) {
                closeBox_();
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace hourmark::win32
