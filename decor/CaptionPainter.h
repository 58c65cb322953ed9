#pragma once
// Painting of the caption bar and the window frame from their state alone, so that every look
// can be rendered into an image and checked pixel by pixel.
#include "decor/CaptionGeometry.h"
#include "decor/Colors.h"

#include <QFont>
#include <QIcon>
#include <QString>
#include <array>

class QPainter;
class QStyle;

namespace decor {

struct CaptionLook {
    CaptionLayout layout;
    QColor beginColor;
    QColor endColor;
    QColor fontColor;
    int numColors = 64;
    QString applicationName;
    QString caption;
    QFont applicationNameFont;
    QFont captionFont;
    QIcon icon;
    bool iconic = false;
    bool zoomed = false;
    std::array<bool, 4> pressed{};
};

// The gradient of `count` solid bands over the whole rectangle; nothing for count <= 0.
void PaintGradient(QPainter& painter, const QRect& rect, const QColor& begin, const QColor& end, int count);

// Gradient, icon, application name and caption text, then the shown buttons.
void PaintCaption(QPainter& painter, const CaptionLook& look, const QStyle& style);

// One caption button in the style's caption-button look (pressed sunk, disabled greyed).
void PaintCaptionButton(QPainter& painter, const QRect& rect, QIcon glyph, bool pressed, bool enabled,
                        const QStyle& style);

// The glyph a caption button shows: restore in place of minimize for an iconic window and in
// place of maximize for a zoomed one.
QIcon CaptionButtonGlyph(int kind, bool iconic, bool zoomed, const QStyle& style);

// The raised frame around a window of the given size, in its frame width and height.
void PaintWindowFrame(QPainter& painter, QSize window, const CaptionLayout& layout, const SystemColors& colors);

} // namespace decor
