#include "win32/WindowPort.h"

#include "win32/Resources.h"
#include "win32/Text.h"

namespace hourmark::win32 {

namespace {

template <typename Holder>
Holder Load(HINSTANCE instance, WORD id, UINT type, int size) {
    return Holder(static_cast<typename Holder::pointer>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), type, size, size, 0)));
}

}  // namespace

WindowPort::OwnedImages::OwnedImages(HINSTANCE instance)
    : bigIcon(Load<UniqueIcon>(instance, IDI_HOURMARK, IMAGE_ICON, 32)),
      smallIcon(Load<UniqueIcon>(instance, IDI_HOURMARK, IMAGE_ICON, 16)),
      greenLed(Load<UniqueBitmap>(instance, IDB_GREEN_LED, IMAGE_BITMAP, 0)),
      redLed(Load<UniqueBitmap>(instance, IDB_RED_LED, IMAGE_BITMAP, 0)) {}

Images WindowPort::OwnedImages::View() const {
    return {bigIcon.get(), smallIcon.get(), greenLed.get(), redLed.get()};
}

namespace {

UINT IconFlag(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop:
            return MB_ICONHAND;
        case MessageIcon::Exclamation:
            return MB_ICONEXCLAMATION;
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
    }
    return 0;
}

}  // namespace

WindowPort::WindowPort(HINSTANCE instance, WindowPortOptions options)
    : instance_(instance),
      options_(std::move(options)),
      dpi_(ScreenDpi()),
      fonts_(dpi_.y),
      ownedImages_(instance),
      images_(ownedImages_.View()) {}

void WindowPort::Destroy() {
    pickerSession_.reset();
    picker_.reset();
    nodeSetupSession_.reset();
    nodeSetup_.reset();
    tray_.reset();
    main_.reset();
}

WindowPort::~WindowPort() {
    // The windows go before the images and fonts they draw with.
    Destroy();
}

bool WindowPort::Create(Station& station, StationInput& input) {
    station_ = &station;
    input_ = &input;
    main_ = std::make_unique<MainWindow>(instance_, fonts_, dpi_, images_);
    tray_ = std::make_unique<TrayIcon>(instance_, images_.smallIcon, options_.notify);
    return main_->Create(station, input) && tray_->Create(input);
}

void WindowPort::ControlChanged(Control control) {
    main_->Draw(control);
}

bool WindowPort::CanFocusIndicator() {
    return openMessages_ == 0 && main_->CanFocusIndicator();
}

void WindowPort::FocusIndicator() {
    if (openMessages_ == 0) {
        main_->FocusIndicator();
    }
}

bool WindowPort::IsDialogShowing(Dialog dialog) {
    const ModalSession* s =
        dialog == Dialog::NodeSetup ? nodeSetupSession_.get() : pickerSession_.get();
    return s && s->IsOpen();
}

void WindowPort::ShowDialog(Dialog dialog) {
    if (IsDialogShowing(dialog)) {
        return;
    }
    HWND owner = main_->hwnd();
    if (dialog == Dialog::NodeSetup) {
        auto window = std::make_unique<NodeSetupWindow>(instance_, fonts_, dpi_, images_.bigIcon,
                                                        images_.smallIcon, *station_, *input_);
        HWND hwnd = window->Create(owner);
        if (!hwnd) {
            return;
        }
        nodeSetup_ = std::move(window);
        nodeSetupSession_ = std::make_unique<ModalSession>(owner, hwnd);
        nodeSetupSession_->Run();
        nodeSetupSession_.reset();
        nodeSetup_.reset();
    } else {
        auto window = std::make_unique<WavPickerWindow>(instance_, fonts_, dpi_, images_.bigIcon,
                                                        images_.smallIcon, *station_, *input_,
                                                        [this] { CloseDialog(Dialog::WavPicker); });
        HWND hwnd = window->Create(owner);
        if (!hwnd) {
            return;
        }
        picker_ = std::move(window);
        pickerSession_ = std::make_unique<ModalSession>(owner, hwnd);
        pickerSession_->Run();
        pickerSession_.reset();
        picker_.reset();
    }
}

void WindowPort::CloseDialog(Dialog dialog) {
    ModalSession* s = dialog == Dialog::NodeSetup ? nodeSetupSession_.get() : pickerSession_.get();
    if (s) {
        s->Close();
    }
}

HWND WindowPort::TopOwner() const {
    if (nodeSetupSession_ && nodeSetupSession_->IsOpen() && nodeSetup_) {
        return nodeSetup_->hwnd();
    }
    if (pickerSession_ && pickerSession_->IsOpen() && picker_) {
        return picker_->hwnd();
    }
    return main_ ? main_->hwnd() : nullptr;
}

void WindowPort::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
    ++openMessages_;
    // Owned by a window even while that window is hidden: the box still shows, and the owner
    // takes no input until it is closed.
    MessageBoxW(TopOwner(), WideFromUtf8(text).c_str(), WideFromUtf8(title).c_str(),
                MB_OK | IconFlag(icon) | MB_SETFOREGROUND);
    --openMessages_;
}

WindowState WindowPort::GetWindowState() {
    return main_->State();
}

void WindowPort::SetWindowState(WindowState state) {
    main_->SetState(state);
}

void WindowPort::SetVisible(bool visible) {
    main_->SetVisible(visible);
}

void WindowPort::ShowModeless() {
    main_->ShowModeless();
}

void WindowPort::SetForeground() {
    main_->SetForeground();
}

double WindowPort::Top() {
    return main_->TopTwips();
}

double WindowPort::Left() {
    return main_->LeftTwips();
}

void WindowPort::SetTop(std::int32_t twips) {
    main_->SetTopTwips(twips);
}

void WindowPort::SetLeft(std::int32_t twips) {
    main_->SetLeftTwips(twips);
}

void WindowPort::AddTrayIcon() {
    tray_->Add();
}

void WindowPort::SetTrayTip(const std::string& tip) {
    tray_->SetTip(tip);
}

void WindowPort::DeleteTrayIcon() {
    tray_->Delete();
}

void WindowPort::EndProgram(int exitCode) {
    if (options_.endProgram) {
        options_.endProgram(exitCode);
    }
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace hourmark::win32
