#pragma once
// Where the preview window and its parts go on a screen. The window is as tall as the screen
// for a portrait page; a landscape page that would make it wider than the screen is fitted to
// the screen's width instead, its height following the page's shape. The page box keeps the
// page's shape (up to the window frame's few pixels) unless the window must be widened for its
// button panel, which needs about 400 pixels.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace richprint {

struct PreviewGeometry {
    QSize client;     // the window's inside
    QPoint position;  // the window's top left corner, frame included
    QRect pageBox;    // the scrolling page area, in client coordinates
    QRect panel;      // the buttons below it, in client coordinates
};

// aspect: the page's height over its width; 0 when unknown (a portrait A4 shape is taken).
PreviewGeometry PreviewGeometryFor(const QRect& screen, double aspect);

} // namespace richprint
