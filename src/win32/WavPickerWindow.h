// frmSelect on the screen: the drive, directory and file lists drawn from the picker's model
// whenever it changes, the operator's choices handed to the model's handlers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "console/Station.h"
#include "win32/Accessible.h"
#include "win32/Fonts.h"
#include "win32/StationInput.h"
#include "win32/Twips.h"
#include "win32/WinApi.h"

namespace hourmark::win32 {

class WavPickerWindow : private Speaker {
public:
    static constexpr wchar_t kClassName[] = L"HourMarkSelect";
    static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr int kClientWidthTwips = 6495;
    static constexpr int kClientHeightTwips = 3060;
    static constexpr int kDriveListId = 300;
    static constexpr int kDirListId = 301;
    static constexpr int kFileListId = 302;
    static constexpr int kSelectId = 303;

    // closeBox: what the window's close box does.
    WavPickerWindow(HINSTANCE instance, const Fonts& fonts, Dpi dpi, HICON bigIcon, HICON smallIcon,
                    Station& station, StationInput& input, std::function<void()> closeBox);
    ~WavPickerWindow();
    WavPickerWindow(const WavPickerWindow&) = delete;
    WavPickerWindow& operator=(const WavPickerWindow&) = delete;

    HWND Create(HWND owner);
    HWND hwnd() const { return hwnd_; }
    // The full path each line of the directory list stands for.
    const std::vector<std::string>& DirectoryLines() const { return dirPaths_; }

    void Redraw();

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, TwipRect rect,
             int id);
    void Run(std::function<void(frmSelect&)> handler);
    // A double click, or Enter, on the directory list opens the line's directory; on the file
    // list it chooses the file.
    void OpenDirectory(HWND list);
    void ChooseFile(frmSelect& model, HWND list, bool confirm);
    void Read(UINT_PTR id, HWND control, Reading& reading) override;
    // Shows the lines in a list box or drop-down list, with one of them selected (-1: none).
    static void Fill(HWND list, bool combo, const std::vector<std::string>& items, int selected);

    HINSTANCE instance_;
    const Fonts& fonts_;
    Dpi dpi_;
    HICON bigIcon_;
    HICON smallIcon_;
    Station& station_;
    StationInput& input_;
    std::function<void()> closeBox_;
    HWND hwnd_ = nullptr;
    std::vector<std::string> dirPaths_;
};

}  // namespace hourmark::win32
