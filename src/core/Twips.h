#pragma once

// Window and page geometry is laid out in twips, 1440 to the inch, which at
// 96 dpi is 15 to the pixel. Every conversion between the two is here; the
// windows keep the rounding their sizes were laid out with.
namespace Twips {

constexpr int PerInch = 1440;
constexpr int PerPixel = 15;

// To the nearest pixel (halves up), as the main window and the directory's
// stored column widths use.
constexpr int ToPixelsRounded(int twips) {
    return (twips + PerPixel / 2) / PerPixel;
}
// To whole pixels, the remainder dropped, as the imbalance window, the cash
// order and the directory's grid margins use.
constexpr int ToPixelsTruncated(int twips) {
    return twips / PerPixel;
}
// Exactly, for painting.
constexpr double ToPixels(double twips) {
    return twips / PerPixel;
}
constexpr int FromPixels(int pixels) {
    return pixels * PerPixel;
}

} // namespace Twips
