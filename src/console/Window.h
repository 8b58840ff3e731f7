// What the core asks of the windows: the main window's state and focus, the two modal dialogs,
// message boxes, the tray icon and the end of the program. The Windows layer implements it; the
// tests fake it. ShowDialog and ShowMessage run other events while they wait.
#pragma once

#include <cstdint>
#include <string>

#include "console/Controls.h"

namespace hourmark {

enum class Dialog { NodeSetup, WavPicker };
enum class MessageIcon { Stop, Exclamation, Information };
enum class WindowState { Normal, Minimised };

class Window {
public:
    virtual ~Window() = default;

    // The model of a control (value, caption, enabled flag, picture) or the caption of the main
    // window changed; the window shows the new state.
    virtual void ControlChanged(Control control) = 0;

    // True while the main window is shown, XMIT_LED is visible and nothing modal covers the
    // window: only then can the keyboard focus move.
    virtual bool CanFocusIndicator() = 0;
    virtual void FocusIndicator() = 0;

    virtual bool IsDialogShowing(Dialog dialog) = 0;
    // Shows the dialog modally, owned by the main window, and returns once it has closed.
    virtual void ShowDialog(Dialog dialog) = 0;
    // Closes a dialog that ShowDialog is showing.
    virtual void CloseDialog(Dialog dialog) = 0;

    // A modal message box with an OK button, owned so that it shows while the main window is
    // hidden; returns when the operator closes it.
    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;

    virtual WindowState GetWindowState() = 0;
    // The core runs Form_Resize itself after a change it makes; the window reports through
    // Station::Resized only the changes the operator makes.
    virtual void SetWindowState(WindowState state) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void ShowModeless() = 0;
    virtual void SetForeground() = 0;
    // Edges of the main window in twips.
    virtual double Top() = 0;
    virtual double Left() = 0;
    virtual void SetTop(std::int32_t twips) = 0;
    virtual void SetLeft(std::int32_t twips) = 0;

    // The notification-area icon (ID 1 on the hidden tray window). Add sets the icon and the
    // callback; SetTrayTip sets the tip.
    virtual void AddTrayIcon() = 0;
    virtual void SetTrayTip(const std::string& tip) = 0;
    virtual void DeleteTrayIcon() = 0;

    // Ends the process at once; never returns.
    [[noreturn]] virtual void EndProgram(int exitCode) = 0;
};

}  // namespace hourmark
