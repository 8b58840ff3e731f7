#include "win32/Fonts.h"

#include <cwchar>

namespace hourmark::win32 {

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

HFONT Make(const std::wstring& face, int height) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

}  // namespace

std::wstring Fonts::ChooseFace() {
    // DejaVu Sans grew out of the same wide, open shapes as Verdana and keeps the captions at
    // about the width the layout was made for; Tahoma is narrower but always there on Windows.
    for (const wchar_t* face : {L"Verdana", L"DejaVu Sans", L"Tahoma", L"MS Sans Serif"}) {
        if (FaceInstalled(face)) {
            return face;
        }
    }
    return L"MS Shell Dlg";
}

int Fonts::HeightFor(int centiPoints, int dpiY) {
    return -MulDiv(centiPoints, dpiY, 7200);
}

Fonts::Fonts(int dpiY)
    : face_(ChooseFace()),
      normal_(Make(face_, HeightFor(825, dpiY))),
      small_(Make(face_, HeightFor(675, dpiY))) {}

HFONT Fonts::Get(FontSize size) const {
    switch (size) {
        case FontSize::Normal:
            return normal_.get();
        case FontSize::Small:
            return small_.get();
        case FontSize::System:
            break;
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace hourmark::win32
