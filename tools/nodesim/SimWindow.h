// The simulator's small window: the node's state above, and below it a scrolling list of what
// went on the air. It is shown without taking the activation, so that it never steals the
// keyboard from the program under test.
#pragma once

#include <windows.h>

#include <string>

namespace nodesim {

class SimWindow {
public:
    static constexpr const wchar_t* kClassName = L"NodeSimWindow";
    static constexpr UINT kPostedEvents = WM_APP + 1;
    static constexpr UINT kEnd = WM_APP + 2;
    static constexpr UINT_PTR kClockTimer = 1;
    static constexpr int kKeptLines = 1000;

    bool Create(HINSTANCE instance);
    void Show();
    HWND hwnd() const { return hwnd_; }

    void ShowState(const std::wstring& title, const std::wstring& text);
    void AddOnAir(const std::wstring& line);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();

    HWND hwnd_ = nullptr;
    HWND state_ = nullptr;
    HWND air_ = nullptr;
    std::wstring shownTitle_;
    std::wstring shownState_;
};

}  // namespace nodesim
