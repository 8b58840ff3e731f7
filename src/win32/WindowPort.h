// The windows as the station sees them: frmmain, the hidden frmTrayIcon, the two modal dialogs
// and the message boxes, behind the core's Window port.
#pragma once

#include <functional>
#include <memory>

#include "console/Window.h"
#include "win32/Fonts.h"
#include "win32/MainWindow.h"
#include "win32/ModalSession.h"
#include "win32/NodeSetupWindow.h"
#include "win32/ScopedHandles.h"
#include "win32/StationInput.h"
#include "win32/TrayIcon.h"
#include "win32/WavPickerWindow.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

struct WindowPortOptions {
    TrayIcon::Notify notify = Shell_NotifyIconA;
    // Runs in place of ending the process (the tests end the program by throwing); null ends
    // the process.
    std::function<void(int exitCode)> endProgram;
};

class WindowPort : public Window {
public:
    explicit WindowPort(HINSTANCE instance, WindowPortOptions options = {});
    ~WindowPort() override;
    WindowPort(const WindowPort&) = delete;
    WindowPort& operator=(const WindowPort&) = delete;

    // Makes frmmain (hidden) and frmTrayIcon; false if Windows refused either.
    bool Create(Station& station, StationInput& input);
    // Takes every window down (the tray icon too) before the station and its input go.
    void Destroy();

    MainWindow& Main() { return *main_; }
    TrayIcon& Tray() { return *tray_; }
    HWND NodeSetupWindowHandle() const { return nodeSetup_ ? nodeSetup_->hwnd() : nullptr; }
    HWND WavPickerWindowHandle() const { return picker_ ? picker_->hwnd() : nullptr; }
    WavPickerWindow* Picker() { return picker_.get(); }
    const Images& images() const { return images_; }

    // Window
    void ControlChanged(Control control) override;
    bool CanFocusIndicator() override;
    void FocusIndicator() override;
    bool IsDialogShowing(Dialog dialog) override;
    void ShowDialog(Dialog dialog) override;
    void CloseDialog(Dialog dialog) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    WindowState GetWindowState() override;
    void SetWindowState(WindowState state) override;
    void SetVisible(bool visible) override;
    void ShowModeless() override;
    void SetForeground() override;
    double Top() override;
    double Left() override;
    void SetTop(std::int32_t twips) override;
    void SetLeft(std::int32_t twips) override;
    void AddTrayIcon() override;
    void SetTrayTip(const std::string& tip) override;
    void DeleteTrayIcon() override;
    [[noreturn]] void EndProgram(int exitCode) override;

private:
    // The window a new message box or dialog belongs to: the open dialog, else frmmain.
    HWND TopOwner() const;

    HINSTANCE instance_;
    WindowPortOptions options_;
    Dpi dpi_;
    Fonts fonts_;
    // The icons and indicator bitmaps, owned here; images_ lends them to the windows.
    struct OwnedImages {
        explicit OwnedImages(HINSTANCE instance);
        Images View() const;
        UniqueIcon bigIcon, smallIcon;
        UniqueBitmap greenLed, redLed;
    } ownedImages_;
    Images images_;
    Station* station_ = nullptr;
    StationInput* input_ = nullptr;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<NodeSetupWindow> nodeSetup_;
    std::unique_ptr<ModalSession> nodeSetupSession_;
    std::unique_ptr<WavPickerWindow> picker_;
    std::unique_ptr<ModalSession> pickerSession_;
    int openMessages_ = 0;
};

}  // namespace hourmark::win32
