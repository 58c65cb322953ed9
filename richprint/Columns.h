#pragma once
// Header and footer lines: templates and column formats split on "|", the alignment and width
// of a column format item, the placeholders, and where a text sits in its column.
#include <QString>
#include <QStringList>

namespace richprint {

// Each "|" ends an item and the text after the last one is always an item: "" gives one empty
// item, "a|" gives "a" and "".
QStringList SplitItems(const QString& text);

enum class TColumnAlign { Left, Right, Center };

struct ColumnFormat {
    TColumnAlign align = TColumnAlign::Left;
    double width = 0; // measure unit
};

// "<", ">" or "^" followed by a decimal width; no alignment character means left-aligned with
// the whole item as the width. An empty width, or one that is not a number, is defaultWidth.
ColumnFormat ParseColumnFormat(const QString& item, double defaultWidth);

struct PlaceholderValues {
    int line = 0;
    int page = 0;
    QString date;
    QString time;
    QString title;
};

// Replaces "{$LINE}", "{$PAGE}", "{$DATE}", "{$TIME}", "{$TITLE}" (exact case) in that order,
// each at every occurrence, except a placeholder whose replacement contains it: that one stays.
QString ExpandPlaceholders(const QString& text, const PlaceholderValues& values);

// Left edge of a text `textWidth` wide in a column `columnWidth` wide, from the column's left,
// with the padding of (dpiX div 600) x 6 pixels when the text is narrower than the column
// minus that padding (left and right alignment only).
int ColumnTextOffset(TColumnAlign align, int columnWidth, int textWidth, int dpiX);

} // namespace richprint
