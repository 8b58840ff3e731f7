// The program lays its windows out in twips (1/1440 inch); Windows counts pixels. The screen's
// real resolution decides how many pixels a twip is: 15 twips make a pixel at 96 dpi.
#pragma once

namespace hourmark::win32 {

struct Dpi {
    int x = 96;
    int y = 96;
};

// The screen's resolution, read once the process has declared itself dpi-aware.
Dpi ScreenDpi();

int PixelsFromTwips(int twips, int dpi);
double TwipsFromPixels(int pixels, int dpi);

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

}  // namespace hourmark::win32
