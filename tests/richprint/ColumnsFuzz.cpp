// Any bytes as a column format and a header template: parsing never fails, widths are finite
// or the default, and placeholder expansion ends, keeping the text outside the placeholders.
#include "richprint/Columns.h"
#include "richprint/LineText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList items = richprint::SplitItems(text);
    if (items.join(QLatin1Char('|')) != text)
        std::abort();
    for (const QString& item : items) {
        const richprint::ColumnFormat f = richprint::ParseColumnFormat(item, 7);
        if (std::isnan(f.width))
            std::abort();
    }
    const richprint::PlaceholderValues values{1, 2, QStringLiteral("d"), QStringLiteral("t"), text};
    (void)richprint::ExpandPlaceholders(text, values);
    std::vector<int> source;
    const QString expanded = richprint::ExpandTabs(text, unsigned(size % 9), &source);
    if (source.size() != std::size_t(expanded.size()))
        std::abort();
    return 0;
}
