#include "richprint/Columns.h"

#include <QLocale>
#include <cmath>

namespace richprint {

QStringList SplitItems(const QString& text)
{
    return text.split(QLatin1Char('|'), Qt::KeepEmptyParts);
}

ColumnFormat ParseColumnFormat(const QString& item, double defaultWidth)
{
    ColumnFormat format;
    QString width = item;
    if (!item.isEmpty()) {
        switch (item[0].unicode()) {
        case '<':
            width = item.mid(1);
            break;
        case '>':
            format.align = TColumnAlign::Right;
            width = item.mid(1);
            break;
        case '^':
            format.align = TColumnAlign::Center;
            width = item.mid(1);
            break;
        default:
            break;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(width.trimmed(), &ok);
    format.width = ok && std::isfinite(value) ? value : defaultWidth;
    return format;
}

QString ExpandPlaceholders(const QString& text, const PlaceholderValues& values)
{
    const std::pair<QString, QString> table[] = {
        {QStringLiteral("{$LINE}"), QString::number(values.line)},
        {QStringLiteral("{$PAGE}"), QString::number(values.page)},
        {QStringLiteral("{$DATE}"), values.date},
        {QStringLiteral("{$TIME}"), values.time},
        {QStringLiteral("{$TITLE}"), values.title},
    };
    QString out = text;
    for (const auto& [placeholder, replacement] : table) {
        // A replacement holding its own placeholder would never end.
        if (!replacement.contains(placeholder))
            out.replace(placeholder, replacement, Qt::CaseSensitive);
    }
    return out;
}

int ColumnTextOffset(TColumnAlign align, int columnWidth, int textWidth, int dpiX)
{
    const int padding = (dpiX / 600) * 6;
    const bool padded = textWidth < columnWidth - padding;
    switch (align) {
    case TColumnAlign::Right:
        return columnWidth - textWidth - (padded ? padding : 0);
    case TColumnAlign::Center:
        return (columnWidth - textWidth) / 2;
    case TColumnAlign::Left:
        break;
    }
    return padded ? padding : 0;
}

} // namespace richprint
