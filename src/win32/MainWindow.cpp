#include "win32/MainWindow.h"

#include <oleacc.h>

#include "console/ControlTable.h"
#include "console/SpokenNames.h"
#include "win32/ChildControl.h"
#include "win32/MessagePump.h"
#include "win32/Picture.h"
#include "win32/Subclass.h"
#include "win32/Text.h"
#include "win32/WindowClass.h"

namespace hourmark::win32 {

namespace {

enum TimerId : UINT_PTR { kTimeTimer = 1, kTimer1, kFanTimer, kAutoConnectTimer };

std::wstring TextOfWindow(HWND h) {
    const int n = GetWindowTextLengthW(h);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(h, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

bool SetTextIfChanged(HWND h, const std::wstring& text) {
    if (TextOfWindow(h) == text) {
        return false;
    }
    SetWindowTextW(h, text.c_str());
    return true;
}

bool SetTextIfChanged(HWND h, const std::string& utf8) {
    return SetTextIfChanged(h, WideFromUtf8(utf8));
}

// A push button has no style that shows "&" as itself. A node button's caption is a callsign,
// and an "&" in it must neither vanish nor make the next letter a key that links the node.
std::wstring WithoutAccessKey(const std::string& utf8) {
    std::wstring out;
    for (wchar_t c : WideFromUtf8(utf8)) {
        out += c;
        if (c == L'&') {
            out += L'&';
        }
    }
    return out;
}

WPARAM CheckState(std::int16_t value) {
    switch (value) {
        case 0:
            return BST_UNCHECKED;
        case 1:
            return BST_CHECKED;
        default:
            return BST_INDETERMINATE;
    }
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, const Fonts& fonts, Dpi dpi, Images images)
    : instance_(instance), fonts_(fonts), dpi_(dpi), images_(images) {}

MainWindow::~MainWindow() {
    if (hwnd_) {
        RemoveKeyboardNavigation(hwnd_);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        Unsubclass();
        DestroyWindow(hwnd_);
    }
}

bool MainWindow::Create(const Station& station, StationInput& input) {
    station_ = &station;
    input_ = &input;
    if (!RegisterClassOnce(instance_, kClassName, ObjectWindowProc<MainWindow>, images_.bigIcon,
                           images_.smallIcon) ||
        !RegisterPictureClass(instance_)) {
        return false;
    }
    const SIZE outer = OuterSizeFor(PixelsFromTwips(kMainClientWidthTwips, dpi_.x),
                                    PixelsFromTwips(kMainClientHeightTwips, dpi_.y), kStyle, 0);
    hwnd_ = CreateWindowExW(0, kClassName, WideFromUtf8(station.caption).c_str(), kStyle, 0, 0,
                            outer.cx, outer.cy, nullptr, nullptr, instance_, this);
    if (!hwnd_) {
        return false;
    }
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(images_.bigIcon));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(images_.smallIcon));
    AddKeyboardNavigation(hwnd_);
    SetTimer(hwnd_, kTimeTimer, TimerIntervalMs(Timer::tTime), nullptr);
    SetTimer(hwnd_, kTimer1, TimerIntervalMs(Timer::Timer1), nullptr);
    SetTimer(hwnd_, kFanTimer, TimerIntervalMs(Timer::FanTimer), nullptr);
    SetTimer(hwnd_, kAutoConnectTimer, TimerIntervalMs(Timer::tAutoConnect), nullptr);
    return true;
}

bool MainWindow::MakeControls() {
    if (controlsMade_) {
        return true;
    }
    for (const LaidOutControl& item : MainWindowControls()) {
        HWND child = MakeControl(item);
        if (!child) {
            // Half a window is no window: the next showing tries again from nothing.
            DestroyControls();
            return false;
        }
        byName_[item.name] = child;
        if (item.control) {
            byControl_[static_cast<std::size_t>(*item.control)] = child;
        }
    }
    SendMessageW(Child(L"GREEN_LED"), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(images_.greenLed));
    SendMessageW(Child(L"RED_LED"), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(images_.redLed));
    controlsMade_ = true;
    clockBehind_ = false;
    for (std::size_t i = 0; i < byControl_.size(); ++i) {
        DrawNow(static_cast<Control>(i));
    }
    return true;
}

void MainWindow::Unsubclass() {
    for (const auto& [name, child] : byName_) {
        RemoveWindowSubclass(child, ContainerProc, 0);
        for (UINT_PTR i = 0; i < static_cast<UINT_PTR>(kNodeCount); ++i) {
            RemoveWindowSubclass(child, NodeButtonProc, i);
        }
    }
    for (std::size_t i = 0; i < byControl_.size(); ++i) {
        if (byControl_[i] != nullptr) {
            StopSpeaking(byControl_[i], i);
        }
    }
}

void MainWindow::DestroyControls() {
    Unsubclass();
    // A frame takes the controls inside it along.
    for (const auto& [name, child] : byName_) {
        if (GetParent(child) == hwnd_) {
            DestroyWindow(child);
        }
    }
    byName_.clear();
    byControl_.fill(nullptr);
    controlsMade_ = false;
}

HWND MainWindow::MakeControl(const LaidOutControl& item) {
    HWND parent = item.container ? Child(item.container) : hwnd_;
    const wchar_t* cls = L"Button";
    DWORD style = WS_CHILD | (item.visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    switch (item.kind) {
        case ControlKind::Label:
            // One line, as laid out: a text that is too long is cut at the right, not wrapped
            // onto a second line the label has no room for.
            cls = L"Static";
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
            break;
        case ControlKind::Frame:
            style |= BS_GROUPBOX | WS_CLIPCHILDREN;
            exStyle |= WS_EX_CONTROLPARENT;
            break;
        case ControlKind::CheckBox:
            // Not an automatic box: the station decides the value and the box shows it.
            style |= BS_3STATE | WS_TABSTOP;
            break;
        case ControlKind::Button:
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::TextBox:
            cls = L"Edit";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Picture:
            cls = kPictureClass;
            if (item.visible) {
                style |= WS_TABSTOP;  // the parking place of the keyboard focus
            }
            break;
    }
    std::wstring caption;
    if (item.caption) {
        caption = item.caption;
    } else if (item.control) {
        if (const CheckBox* cb = CheckBoxOf(*station_, *item.control)) {
            caption = WideFromUtf8(cb->caption());
        } else if (const TextControl* t = TextOf(*station_, *item.control)) {
            caption = NodeIndex(*item.control) >= 0 ? WithoutAccessKey(t->text())
                                                    : WideFromUtf8(t->text());
        }
    }
    HWND child = MakeChildControl(parent, instance_, dpi_,
                                  {cls, caption.c_str(), style, exStyle, item.rect, item.id},
                                  fonts_.Get(item.font));
    if (!child) {
        return nullptr;
    }
    if (item.kind == ControlKind::Frame) {
        SetWindowSubclass(child, ContainerProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    if (item.control && NodeIndex(*item.control) >= 0) {
        SetWindowSubclass(child, NodeButtonProc, static_cast<UINT_PTR>(NodeIndex(*item.control)),
                          reinterpret_cast<DWORD_PTR>(this));
    } else if (item.control && kSpokenNames[static_cast<std::size_t>(*item.control)] != nullptr) {
        SpeakThrough(child, *this, static_cast<UINT_PTR>(*item.control));
    }
    return child;
}

HWND MainWindow::Child(const std::wstring& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

HWND MainWindow::ControlWindow(Control control) const {
    return byControl_[static_cast<std::size_t>(control)];
}

void MainWindow::Draw(Control control) {
    if (!hwnd_ || !station_) {
        return;
    }
    // Until the window is first shown it has no controls: they are made from the model then.
    if (!controlsMade_ && control != Control::Caption) {
        return;
    }
    // The clock changes every second, and a hidden window shows nothing: its label is brought up
    // to date as the window is about to be shown (WM_WINDOWPOSCHANGING), not sixty times a minute
    // for nobody.
    if (control == Control::lblTime && !IsWindowVisible(hwnd_)) {
        clockBehind_ = true;
        return;
    }
    DrawNow(control);
}

void MainWindow::DrawNow(Control control) {
    if (control == Control::Caption) {
        SetTextIfChanged(hwnd_, station_->caption);
        return;
    }
    HWND h = ControlWindow(control);
    if (!h) {
        return;
    }
    if (control == Control::XMIT_LED) {
        HBITMAP image = station_->XMIT_LED == Led::Green ? images_.greenLed : images_.redLed;
        if (reinterpret_cast<HBITMAP>(SendMessageW(h, STM_SETIMAGE, IMAGE_BITMAP,
                                                   reinterpret_cast<LPARAM>(image))) != image) {
            TellValueChanged(h);  // busy or idle
        }
        return;
    }
    if (const CheckBox* cb = CheckBoxOf(*station_, control)) {
        const WPARAM check = CheckState(cb->value());
        if (static_cast<WPARAM>(SendMessageW(h, BM_GETCHECK, 0, 0)) != check) {
            SendMessageW(h, BM_SETCHECK, check, 0);
            TellStateChanged(h);
        }
        EnableWindow(h, cb->enabled());
        return;
    }
    if (const TextControl* t = TextOf(*station_, control)) {
        if (NodeIndex(control) >= 0) {
            if (SetTextIfChanged(h, WithoutAccessKey(t->text()))) {
                TellNameChanged(h);  // linked, not linked or empty, in words
            }
        } else {
            SetTextIfChanged(h, t->text());
        }
        EnableWindow(h, t->enabled());
    }
}

// ---- State, visibility and place ------------------------------------------------------------

void MainWindow::ApplyState() {
    applyingState_ = true;
    if (state_ == WindowState::Minimised && !IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_MINIMIZE);
    } else if (state_ == WindowState::Normal && IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
    applyingState_ = false;
}

void MainWindow::SetState(WindowState state) {
    state_ = state;
    // A hidden window keeps the state until it is shown again.
    if (IsWindowVisible(hwnd_)) {
        ApplyState();
    }
}

void MainWindow::SetVisible(bool visible) {
    if (!visible) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    if (IsWindowVisible(hwnd_)) {
        return;
    }
    applyingState_ = true;
    if (state_ == WindowState::Minimised) {
        ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
    } else {
        ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    }
    applyingState_ = false;
}

void MainWindow::ShowModeless() {
    SetVisible(true);
    BringWindowToTop(hwnd_);
}

void MainWindow::SetForeground() {
    SetForegroundWindow(hwnd_);
}

RECT MainWindow::NormalRect() const {
    RECT r{};
    if (IsIconic(hwnd_)) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(hwnd_, &wp);
        return wp.rcNormalPosition;
    }
    GetWindowRect(hwnd_, &r);
    return r;
}

double MainWindow::TopTwips() const {
    return TwipsFromPixels(NormalRect().top, dpi_.y);
}

double MainWindow::LeftTwips() const {
    return TwipsFromPixels(NormalRect().left, dpi_.x);
}

void MainWindow::MoveTo(int x, int y) {
    if (IsIconic(hwnd_)) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(hwnd_, &wp);
        OffsetRect(&wp.rcNormalPosition, x - wp.rcNormalPosition.left, y - wp.rcNormalPosition.top);
        wp.showCmd = IsWindowVisible(hwnd_) ? SW_SHOWMINNOACTIVE : SW_HIDE;
        SetWindowPlacement(hwnd_, &wp);
        return;
    }
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetTopTwips(std::int32_t twips) {
    MoveTo(NormalRect().left, PixelsFromTwips(twips, dpi_.y));
}

void MainWindow::SetLeftTwips(std::int32_t twips) {
    MoveTo(PixelsFromTwips(twips, dpi_.x), NormalRect().top);
}

bool MainWindow::CanFocusIndicator() const {
    HWND led = ControlWindow(Control::XMIT_LED);
    return IsWindowVisible(hwnd_) && !IsIconic(hwnd_) && IsWindowEnabled(hwnd_) &&
           IsWindowVisible(led);
}

void MainWindow::FocusIndicator() {
    if (IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_)) {
        SetFocus(ControlWindow(Control::XMIT_LED));
    }
}

void MainWindow::Read(UINT_PTR id, HWND control, Reading& reading) {
    const auto c = static_cast<Control>(id);
    const Spoken spoken = SpokenControl(*station_, c);
    reading.name = WideFromUtf8(spoken.name);
    reading.value = WideFromUtf8(spoken.value);
    // Wine's own objects call every button and picture a "client"; Windows' agree with these.
    if (CheckBoxOf(*station_, c) != nullptr) {
        ReadCheckBox(control, reading);
    } else if (c == Control::XMIT_LED) {
        reading.role = ROLE_SYSTEM_INDICATOR;
    } else if (c == Control::cmdFileSelect || NodeIndex(c) >= 0) {
        reading.role = ROLE_SYSTEM_PUSHBUTTON;
    }
}

// ---- Messages -------------------------------------------------------------------------------

LRESULT CALLBACK MainWindow::ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            // A frame holds controls but does not handle them: the window does.
            return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_PRINTCLIENT: {
            // A themed check box has its frame paint the background into the box's own device
            // context; the frame's font must not stay selected there for the box's caption.
            const HDC dc = reinterpret_cast<HDC>(wParam);
            const int saved = SaveDC(dc);
            const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
            RestoreDC(dc, saved);
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainWindow::NodeButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR index, DWORD_PTR self) {
    auto* window = reinterpret_cast<MainWindow*>(self);
    const int node = static_cast<int>(index);
    if (const auto answer = AnswerReader(hwnd, msg, wParam, lParam, *window,
                                         static_cast<UINT_PTR>(RemoteNodeControl(node)))) {
        return *answer;
    }
    switch (msg) {
        case WM_LBUTTONUP: {
            const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
            window->input_->NodeButtonMouseUp(node, kLeftButton);
            return r;
        }
        case WM_RBUTTONUP:
            window->input_->NodeButtonMouseUp(node, kRightButton);
            return 0;
        case WM_MBUTTONUP:
            window->input_->NodeButtonMouseUp(node, kMiddleButton);
            return 0;
        case BM_CLICK:
            // The button's own click is a left press and release made up by the button: an
            // access key or another program would link or unlink a node on the air with it.
            // Only the mouse does that.
            return 0;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND: {
            if (HIWORD(wParam) != BN_CLICKED || lParam == 0) {
                break;
            }
            const int id = LOWORD(wParam);
            const int index = id - ControlId(Control::Caption);
            if (index < 0 || index >= static_cast<int>(byControl_.size())) {
                return 0;  // Enter and Esc arrive as IDOK and IDCANCEL: nothing to do
            }
            const auto control = static_cast<Control>(index);
            // The node buttons react to the mouse button's release alone, not to Space or Enter.
            if (NodeIndex(control) < 0 && control != Control::XMIT_LED) {
                input_->Click(control);
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return FaceColour(reinterpret_cast<HDC>(wParam));
        case WM_TIMER:
            switch (wParam) {
                case kTimeTimer:
                    input_->Tick(Timer::tTime);
                    return 0;
                case kTimer1:
                    input_->Tick(Timer::Timer1);
                    return 0;
                case kFanTimer:
                    input_->Tick(Timer::FanTimer);
                    return 0;
                case kAutoConnectTimer:
                    input_->Tick(Timer::tAutoConnect);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_SIZE:
            // The station runs its own resize handling after it sets the state; only a change
            // the operator made (system button or menu) is news to it.
            if (applyingState_) {
                break;
            }
            if (wParam == SIZE_MINIMIZED && state_ == WindowState::Normal) {
                state_ = WindowState::Minimised;
                input_->Resized();
            } else if (wParam == SIZE_RESTORED && state_ == WindowState::Minimised) {
                state_ = WindowState::Normal;
                input_->Resized();
            }
            return 0;
        case WM_ACTIVATE: {
            const LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
            if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
                input_->Activated();
            }
            return r;
        }
        case WM_WINDOWPOSCHANGING: {
            // Every way of showing the window (normal or minimised, from code or by Windows)
            // comes through here first; WM_SHOWWINDOW does not come with every one.
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (pos == nullptr || (pos->flags & SWP_SHOWWINDOW) == 0) {
                break;
            }
            MakeControls();
            if (clockBehind_) {
                clockBehind_ = false;
                DrawNow(Control::lblTime);
            }
            break;
        }
        case WM_CLOSE:
            input_->Close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) {
                input_->EndSession();
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace hourmark::win32
