#pragma once
// Geometry of the gradient caption bar, free of widgets so that it can be checked headless:
// the colour bands, the frame and caption sizes per border style, and the rectangles of the
// icon, the text, the button strip and the four caption buttons. All rectangles are in window
// coordinates (the top-left corner of the whole window, frame included, is 0, 0).
#include <QRect>
#include <QSize>
#include <array>
#include <vector>

namespace decor {

// The platform operation: a * b / c rounded to the nearest integer, halves away from zero,
// computed in 64 bits so the product cannot overflow. c == 0 gives -1, as the platform does.
int MulDiv(int a, int b, int c);

struct BandColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const BandColor&) const = default;
};

struct GradientBand {
    int x0 = 0; // first column
    int x1 = 0; // one past the last column
    BandColor color;
};

// Exactly max(count, 0) bands covering [left, left + width) without gaps; the first band has the
// begin colour and the last the end colour. Each channel is kept to its low 8 bits.
std::vector<GradientBand> GradientBands(int left, int width, BandColor begin, BandColor end, int count);

enum class TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// Border icons as a set: system menu 1, minimize 2, maximize 4, help 8.
enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = int;

// Caption button kinds, also the index into every per-button array.
enum TCaptionButtonKind { cbClose = 0, cbMinimize = 1, cbMaximize = 2, cbHelp = 3 };

// The system metrics the layout is written in, under their platform names.
struct CaptionMetrics {
    int cxFrame = 4, cyFrame = 4;       // sizeable frame
    int cxDlgFrame = 3, cyDlgFrame = 3; // fixed frame
    int cyCaption = 19;                 // caption of ordinary windows
    int cySmCaption = 16;               // caption of tool windows
    int cxSize = 18, cySize = 18;       // caption button cell
    int cxSmSize = 12;                  // tool-window button cell
};

struct CaptionLayout {
    int frameWidth = 0;
    int frameHeight = 0;
    int captionHeight = 0; // 0 for windows without a border: they get no caption at all
    QRect caption;
    QRect icon;            // zero width when the window shows no icon
    QRect strip;           // zero width at the caption's right edge when no button is shown
    QRect text;
    std::array<bool, 4> shown{};
    std::array<bool, 4> enabled{};
    std::array<QRect, 4> buttons{}; // empty for buttons not shown

    // The area in which a press on a button still counts: 2 pixels more above and below,
    // the close button also 2 pixels more to the right.
    QRect trackingRect(int kind) const;
    // The button shown under a window point, or -1.
    int buttonAt(QPoint windowPoint) const;
    // The left edge of the strip and everything right of it belong to the buttons.
    bool leftOfStrip(QPoint windowPoint) const { return windowPoint.x() < strip.left(); }
};

CaptionLayout ComputeCaptionLayout(TBorderStyle style, TBorderIcons icons, bool iconic, QSize window,
                                   const CaptionMetrics& metrics);

// Rectangle from left, top, right, bottom with right and bottom exclusive, as the layout rules
// are written.
inline QRect RectLTRB(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

} // namespace decor
