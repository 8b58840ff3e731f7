#include "win32/Twips.h"

#include "win32/WinApi.h"

namespace hourmark::win32 {

Dpi ScreenDpi() {
    Dpi dpi;
    if (HDC dc = GetDC(nullptr)) {
        dpi.x = GetDeviceCaps(dc, LOGPIXELSX);
        dpi.y = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
    }
    if (dpi.x <= 0) {
        dpi.x = 96;
    }
    if (dpi.y <= 0) {
        dpi.y = 96;
    }
    return dpi;
}

int PixelsFromTwips(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

double TwipsFromPixels(int pixels, int dpi) {
    return static_cast<double>(pixels) * 1440.0 / static_cast<double>(dpi);
}

}  // namespace hourmark::win32
