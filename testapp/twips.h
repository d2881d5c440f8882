// Form positions are kept in twips (1/1440 inch) and turned into pixels with the screen's
// pixels per inch, as the form designer's coordinates mean on any screen.
#pragma once

#include <windows.h>

namespace kaptor::kapshot {

constexpr int TWIPS_PER_INCH = 1440;

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
};

inline int twipsToPixels(int twips, int pixelsPerInch) {
    return MulDiv(twips, pixelsPerInch, TWIPS_PER_INCH);
}

inline PixelRect toPixels(const TwipsRect& r, int dpiX, int dpiY) {
    return {twipsToPixels(r.left, dpiX), twipsToPixels(r.top, dpiY), twipsToPixels(r.width, dpiX),
            twipsToPixels(r.height, dpiY)};
}

// The screen's pixels per inch, across and down.
inline void screenPixelsPerInch(int& dpiX, int& dpiY) {
    const HDC screen = GetDC(nullptr);
    dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
}

}  // namespace kaptor::kapshot
