#pragma once
// The named colours the decorations are configured with, and the 3-D colours they draw with.
#include <QColor>
#include <QPalette>
#include <QRgb>

namespace decor {

// Standard RGB values of the colour names the windows are configured with.
constexpr QRgb clBlack = 0xFF000000;
constexpr QRgb clNavy = 0xFF000080;
constexpr QRgb clBlue = 0xFF0000FF;
constexpr QRgb clGray = 0xFF808080;
constexpr QRgb clSilver = 0xFFC0C0C0;
constexpr QRgb clWhite = 0xFFFFFFFF;

// The system colours of button faces and 3-D edges, taken from a palette:
// clBtnFace = Button, clBtnHighlight = Light, clBtnShadow = Dark, cl3DDkShadow = Shadow.
struct SystemColors {
    QColor btnFace;
    QColor btnHighlight;
    QColor btnShadow;
    QColor dkShadow3D;

    static SystemColors FromPalette(const QPalette& palette);
};

} // namespace decor
