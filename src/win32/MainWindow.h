// frmmain: the station's one permanent window. It is drawn from the station's model of its
// controls and hands every click, mouse-up, timer tick and window event to the station. It
// tells the operator's minimise and restore apart from the ones the station asks for itself.
#pragma once

#include <array>
#include <map>
#include <string>

#include "console/Station.h"
#include "win32/Accessible.h"
#include "win32/Fonts.h"
#include "win32/MainWindowLayout.h"
#include "win32/StationInput.h"
#include "win32/Twips.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

struct Images {
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HBITMAP greenLed = nullptr;
    HBITMAP redLed = nullptr;
};

class MainWindow : private Speaker {
public:
    static constexpr wchar_t kClassName[] = L"HourMarkMain";
    static constexpr DWORD kStyle =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

    MainWindow(HINSTANCE instance, const Fonts& fonts, Dpi dpi, Images images);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Makes the window hidden, with the four timers running. Its controls are made, drawn from
    // the model, as it is first shown: a program that lives in the tray for months and is
    // opened now and then does not carry them, nor the common controls library they load,
    // while nobody looks.
    bool Create(const Station& station, StationInput& input);
    // Makes the controls now if the window has not been shown yet; false if one could not be
    // made (there are none then).
    bool MakeControls();
    HWND hwnd() const { return hwnd_; }
    // A control by its name in the layout ("cbHour", "fraFan", "GREEN_LED", ...); null before
    // the controls are made.
    HWND Child(const std::wstring& name) const;
    HWND ControlWindow(Control control) const;

    // Shows the model's state of the control (the clock label only once the window is shown).
    void Draw(Control control);

    WindowState State() const { return state_; }
    void SetState(WindowState state);
    void SetVisible(bool visible);
    void ShowModeless();
    void SetForeground();
    double TopTwips() const;
    double LeftTwips() const;
    void SetTopTwips(std::int32_t twips);
    void SetLeftTwips(std::int32_t twips);
    bool CanFocusIndicator() const;
    void FocusIndicator();

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    HWND MakeControl(const LaidOutControl& item);
    void Unsubclass();
    void DestroyControls();
    void DrawNow(Control control);
    void ApplyState();
    RECT NormalRect() const;
    void MoveTo(int x, int y);
    // What a screen reader reads of the controls the window text does not say all of.
    void Read(UINT_PTR id, HWND control, Reading& reading) override;
    static LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK NodeButtonProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HINSTANCE instance_;
    const Fonts& fonts_;
    Dpi dpi_;
    Images images_;
    const Station* station_ = nullptr;
    StationInput* input_ = nullptr;
    HWND hwnd_ = nullptr;
    bool controlsMade_ = false;
    std::map<std::wstring, HWND> byName_;
    std::array<HWND, static_cast<std::size_t>(Control::cbRecordPlayback) + 1> byControl_{};
    // The state as the station last set it or the operator last made it; the window itself
    // follows whenever it is on the screen.
    WindowState state_ = WindowState::Normal;
    bool applyingState_ = false;
    // The clock label is behind the model while the window is hidden.
    bool clockBehind_ = false;
};

}  // namespace hourmark::win32
