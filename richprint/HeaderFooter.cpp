// TRichPrinter: header and footer columns, the placeholders and the logo.
#include "richprint/richprint.h"

#include "richprint/LineText.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <cmath>

namespace richprint {

QString TRichPrinter::ExpandPlaceholders(const QString& text) const
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    PlaceholderValues values;
    values.line = lineCounter_;
    values.page = pageNumber_;
    values.date = locale.toString(now.date(), QLocale::ShortFormat);
    values.time = locale.toString(now.time(), QLocale::LongFormat);
    values.title = CurrentTitle();
    return richprint::ExpandPlaceholders(text, values);
}

void TRichPrinter::WriteColumns(const QString& templ, const QString& format)
{
    const QStringList items = SplitItems(templ);
    const QStringList formats = SplitItems(format);
    const TextArea area = Area();
    const QFontMetricsF& metrics = *fontMetricsF_;
    auto width = [&](const QString& text) { return qRound(metrics.horizontalAdvance(text)); };
    int x = area.left;
    for (qsizetype k = 0; k < formats.size(); ++k) {
        const ColumnFormat column = ParseColumnFormat(formats[k], layout_.DefaultColumnWidth());
        const int columnWidth = layout_.ToDeviceX(column.width);
        QString text = k < items.size() ? items[k] : QString();
        if (text.contains(QLatin1String("{$")))
            text = ExpandPlaceholders(text);
        text.truncate(FitText(int(text.size()), columnWidth,
                              [&](int length) { return width(text.left(length)); }));
        const int offset = ColumnTextOffset(column.align, columnWidth, width(text),
                                            layout_.ResolutionX());
        DrawText(x + offset, area.top + y_, text);
        x += columnWidth;
    }
    if (y_ >= 0 && y_ < area.height)
        NewLine();
}

void TRichPrinter::DrawLogo(const TextArea& area)
{
    // The box scales with the text area's share of the paper, not to its physical size.
    const int y0 = (area.top - lineHeight_) / 2;
    const int x0 = area.left;
    auto scaled = [](double length, double paper, int pixels) {
        return int(std::lround(length / paper * pixels));
    };
    const int top = scaled(LogoTop(), layout_.PaperHeight(), area.height) + y0;
    const int left = scaled(LogoLeft(), layout_.PaperWidth(), area.width) + x0;
    const int right = left + scaled(LogoWidth(), layout_.PaperWidth(), area.width);
    const int bottom = top + scaled(LogoHeight(), layout_.PaperHeight(), area.height);
    painter_->drawImage(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), logo_);
}

} // namespace richprint
