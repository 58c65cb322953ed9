#pragma once
// Painting of a transparent button from its state alone, so that every look can be rendered
// into an image and checked pixel by pixel.
#include "decor/ButtonGeometry.h"
#include "decor/Colors.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QString>

class QPainter;

namespace decor {

struct ButtonLook {
    QSize size{40, 40};
    TFrameStyle frameStyle = TFrameStyle::fsExplorer;
    TTextAlign textAlign = TTextAlign::ttaCenter;
    bool transparent = true;
    bool enabled = true;
    bool pressedLook = false;
    bool mouseOver = false;
    bool down = false;
    bool showPressed = true;
    bool autoGray = true;
    bool wordWrap = false;
    int borderWidth = 1;
    int spacing = 2;
    QString caption;
    QFont font;
    QColor fontColor{Qt::black};
    QList<QImage> images; // the image list: frames, gray, disabled
    int numGlyphs = 1;
};

// Steps 1 to 3: the base and the frame for the style.
void PaintButtonFrame(QPainter& painter, const ButtonLook& look, const SystemColors& colors);

// The whole button: base, frame, glyph and caption.
void PaintButton(QPainter& painter, const ButtonLook& look, const SystemColors& colors);

// Flags the caption is measured and drawn with: the accelerator letter underlined, trailing
// blanks kept (captions pad themselves with them), wrapped or on one line.
int CaptionTextFlags(bool wordWrap);

} // namespace decor
