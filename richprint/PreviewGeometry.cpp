#include "richprint/PreviewGeometry.h"

#include <cmath>

namespace richprint {

namespace {

// The window frame around the client area, and the panel's height under the page box.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;
constexpr int kPanelHeight = 71;
constexpr int kPanelMinWidth = 395;

int Round(double value)
{
    return int(std::lround(value));
}

} // namespace

PreviewGeometry PreviewGeometryFor(const QRect& screen, double aspect)
{
    int windowHeight = screen.height();
    int clientHeight = windowHeight - kFrameHeight;
    const double boxHeight = clientHeight * 0.98 - kPanelHeight;
    const int imageWidth = aspect > 0 ? Round(boxHeight / aspect) : Round(boxHeight * 0.707);
    int windowWidth = Round(imageWidth * 1.0204);
    int clientWidth = windowWidth - kFrameWidth;
    if (clientWidth < Round(clientWidth * 0.02) + kPanelMinWidth) {
        windowWidth = Round((clientWidth * 0.02 + kPanelMinWidth) * 1.0204);
        clientWidth = windowWidth - kFrameWidth;
    }
    if (windowWidth > screen.width() && aspect > 0) {
        windowWidth = screen.width();
        clientWidth = windowWidth - kFrameWidth;
        const int fittedImageHeight = Round(Round(clientWidth * 0.98) * aspect);
        clientHeight = Round((fittedImageHeight + kPanelHeight) / 0.98);
        windowHeight = clientHeight + kFrameHeight;
    }
    PreviewGeometry g;
    g.client = QSize(clientWidth, clientHeight);
    g.position = QPoint(screen.x() + (screen.width() - windowWidth) / 2,
                        screen.y() + (screen.height() - windowHeight) / 2);
    g.pageBox = QRect(Round(clientWidth * 0.01), Round(clientHeight * 0.01),
                      Round(clientWidth * 0.98), Round(clientHeight * 0.98) - kPanelHeight);
    g.panel = QRect(g.pageBox.left(), g.pageBox.bottom() + 1, g.pageBox.width(),
                    clientHeight - g.pageBox.bottom() - 1);
    return g;
}

} // namespace richprint
