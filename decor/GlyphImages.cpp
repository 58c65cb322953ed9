#include "decor/GlyphImages.h"

#include "decor/ButtonGeometry.h"

namespace decor {

namespace {

QImage Argb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool IsWhite(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qRed(pixel) == 255 && qGreen(pixel) == 255 && qBlue(pixel) == 255;
}

} // namespace

QImage GrayImage(const QImage& image)
{
    QImage gray = Argb(image);
    for (int y = 0; y < gray.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(gray.scanLine(y));
        for (int x = 0; x < gray.width(); ++x) {
            const QRgb p = line[x];
            const int g = (30 * qRed(p) + 59 * qGreen(p) + 11 * qBlue(p)) / 100;
            line[x] = qRgba(g, g, g, qAlpha(p));
        }
    }
    return gray;
}

QImage DisabledMask(const QImage& image)
{
    QImage mask = Argb(image);
    if (mask.isNull())
        return mask;
    const QRgb background = mask.pixel(0, 0);
    for (int y = 0; y < mask.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            line[x] = (IsWhite(line[x]) || line[x] == background) ? background : qRgb(0, 0, 0);
    }
    return mask;
}

QImage EtchedImage(const QImage& mask, const SystemColors& colors)
{
    QImage etched(mask.size(), QImage::Format_ARGB32);
    etched.setDevicePixelRatio(mask.devicePixelRatio());
    etched.fill(colors.btnFace);
    if (mask.isNull())
        return etched;
    const QImage source = Argb(mask);
    const QRgb background = source.pixel(0, 0);
    auto stamp = [&](int dx, int dy, QRgb colour) {
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                if (source.pixel(x, y) != background && etched.rect().contains(x + dx, y + dy))
                    etched.setPixel(x + dx, y + dy, colour);
    };
    stamp(1, 1, colors.btnHighlight.rgba());
    stamp(0, 0, colors.btnShadow.rgba());
    return etched;
}

QImage MaskedWithBottomLeft(const QImage& image)
{
    QImage masked = Argb(image);
    if (masked.isNull())
        return masked;
    const QRgb transparent = masked.pixel(0, masked.height() - 1);
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if (line[x] == transparent)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return masked;
}

QList<QImage> BuildGlyphImages(const QImage& glyph, int numGlyphs, const SystemColors& colors)
{
    QList<QImage> images;
    if (glyph.isNull() || glyph.width() == 0 || glyph.height() == 0)
        return images;
    const int frameWidth = FrameWidth(glyph.width(), numGlyphs);
    QImage first;
    for (int i = 0; i < numGlyphs; ++i) {
        QImage frame = glyph.copy(i * frameWidth, 0, frameWidth, glyph.height());
        frame.setDevicePixelRatio(glyph.devicePixelRatio());
        if (i == 0)
            first = frame;
        images.append(MaskedWithBottomLeft(frame));
    }
    images.append(MaskedWithBottomLeft(GrayImage(first)));
    images.append(MaskedWithBottomLeft(EtchedImage(DisabledMask(first), colors)));
    return images;
}

} // namespace decor
