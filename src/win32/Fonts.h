// The two text sizes of the station's windows, in Verdana where the system has it and in the
// closest face it does have otherwise, plus the system's own dialog font.
#pragma once

#include "win32/ScopedHandles.h"
#include "win32/WinApi.h"

#include <string>

namespace hourmark::win32 {

enum class FontSize {
    Normal,  // 8.25 pt
    Small,   // 6.75 pt
    System,  // the system's default dialog font
};

class Fonts {
public:
    explicit Fonts(int dpiY);
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    HFONT Get(FontSize size) const;
    const std::wstring& Face() const { return face_; }
    // The first of Verdana and its stand-ins that is installed.
    static std::wstring ChooseFace();
    // The font height (negative: character height) for a size in hundredths of a point.
    static int HeightFor(int centiPoints, int dpiY);

private:
    std::wstring face_;
    UniqueFont normal_;
    UniqueFont small_;
};

}  // namespace hourmark::win32
