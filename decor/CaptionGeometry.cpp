#include "decor/CaptionGeometry.h"

#include <cstdint>
#include <cstdlib>

namespace decor {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(std::int64_t(c)) / 2) / std::llabs(std::int64_t(c));
    return int(((product < 0) != (c < 0)) ? -magnitude : magnitude);
}

std::vector<GradientBand> GradientBands(int left, int width, BandColor begin, BandColor end, int count)
{
    std::vector<GradientBand> bands;
    if (count <= 0)
        return bands;
    bands.reserve(std::size_t(count));
    auto channel = [count](int from, int to, int i) {
        return count == 1 ? from : (from + MulDiv(i, to - from, count - 1)) & 0xFF;
    };
    for (int i = 0; i < count; ++i) {
        GradientBand band;
        band.x0 = left + MulDiv(i, width, count);
        band.x1 = left + MulDiv(i + 1, width, count);
        band.color = {channel(begin.red, end.red, i), channel(begin.green, end.green, i),
                      channel(begin.blue, end.blue, i)};
        bands.push_back(band);
    }
    return bands;
}

namespace {

bool IsTool(TBorderStyle style)
{
    return style == TBorderStyle::bsToolWindow || style == TBorderStyle::bsSizeToolWin;
}

QSize FrameSize(TBorderStyle style, bool iconic, const CaptionMetrics& m)
{
    if (iconic)
        return {m.cxDlgFrame, m.cyDlgFrame};
    switch (style) {
    case TBorderStyle::bsSizeable:
    case TBorderStyle::bsSizeToolWin:
        return {m.cxFrame, m.cyFrame};
    case TBorderStyle::bsSingle:
    case TBorderStyle::bsDialog:
    case TBorderStyle::bsToolWindow:
        return {m.cxDlgFrame, m.cyDlgFrame};
    case TBorderStyle::bsNone:
        break;
    }
    return {0, 0};
}

std::array<bool, 4> ShownButtons(TBorderStyle style, TBorderIcons icons)
{
    std::array<bool, 4> shown{};
    if (style == TBorderStyle::bsNone || !(icons & biSystemMenu))
        return shown;
    shown[cbClose] = true;
    if (IsTool(style))
        return shown;
    shown[cbMinimize] = icons & biMinimize;
    shown[cbMaximize] = icons & biMaximize;
    shown[cbHelp] = icons & biHelp;
    if (style == TBorderStyle::bsSingle || style == TBorderStyle::bsSizeable)
        shown[cbHelp] = false;
    if (style == TBorderStyle::bsDialog)
        shown[cbMinimize] = shown[cbMaximize] = false;
    if (shown[cbMinimize] || shown[cbMaximize])
        shown[cbMinimize] = shown[cbMaximize] = true;
    return shown;
}

} // namespace

QRect CaptionLayout::trackingRect(int kind) const
{
    return buttons[std::size_t(kind)].adjusted(0, -2, kind == cbClose ? 2 : 0, 2);
}

int CaptionLayout::buttonAt(QPoint windowPoint) const
{
    for (int kind = cbClose; kind <= cbHelp; ++kind)
        if (shown[std::size_t(kind)] && trackingRect(kind).contains(windowPoint))
            return kind;
    return -1;
}

CaptionLayout ComputeCaptionLayout(TBorderStyle style, TBorderIcons icons, bool iconic, QSize window,
                                   const CaptionMetrics& m)
{
    CaptionLayout layout;
    const QSize frame = FrameSize(style, iconic, m);
    layout.frameWidth = frame.width();
    layout.frameHeight = frame.height();
    if (style == TBorderStyle::bsNone)
        return layout;
    const bool tool = IsTool(style);
    layout.captionHeight = (tool ? m.cySmCaption : m.cyCaption) - 1;

    const int left = layout.frameWidth;
    const int top = layout.frameHeight;
    const int right = window.width() - layout.frameWidth;
    const int bottom = top + layout.captionHeight;
    layout.caption = RectLTRB(left, top, right, bottom);

    layout.shown = ShownButtons(style, icons);
    layout.enabled = {true, bool(icons & biMinimize), bool(icons & biMaximize), true};

    const bool hasIcon = (style == TBorderStyle::bsSingle || style == TBorderStyle::bsSizeable) && (icons & biSystemMenu);
    layout.icon = RectLTRB(left, top, hasIcon ? left + m.cxSize : left, bottom);

    const bool anyButton = layout.shown[cbClose];
    int stripLeft = right;
    if (anyButton) {
        const int d = tool ? m.cxSmSize
                           : (1 + layout.shown[cbMinimize] + layout.shown[cbMaximize] + layout.shown[cbHelp]) * (m.cxSize - 2);
        stripLeft = right - d - 2;
    }
    layout.strip = RectLTRB(stripLeft, top + 2, right, bottom - 2);
    layout.text = RectLTRB(layout.icon.x() + layout.icon.width() + 2, top + 2, layout.strip.x() - 2, bottom - 2);

    if (!anyButton)
        return layout;
    if (tool) {
        layout.buttons[cbClose] = QRect(layout.strip.x() + 2, layout.strip.y(), layout.strip.width() - 4, layout.strip.height());
        return layout;
    }
    const int w = m.cxSize - 2;
    const int h = m.cySize - 4;
    const int y = layout.strip.y();
    int x = right - m.cxSize;
    layout.buttons[cbClose] = QRect(x, y, w, h);
    for (int kind : {cbMaximize, cbMinimize, cbHelp}) {
        if (!layout.shown[std::size_t(kind)])
            continue;
        x -= w + (kind == cbMaximize ? 2 : 0);
        layout.buttons[std::size_t(kind)] = QRect(x, y, w, h);
    }
    return layout;
}

} // namespace decor
