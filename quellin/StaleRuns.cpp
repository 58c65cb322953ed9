#include "quellin/StaleRuns.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>

namespace quellin {

namespace {

// Whether a document format already has a colour: merging the colour changes nothing.
class ColourCheck {
public:
    ColourCheck(const QTextDocument& document, const ColourFormats& formats)
        : known_(document.allFormats()), formats_(formats)
    {
    }

    bool has(int formatIndex, TagColour colour)
    {
        const int key = formatIndex * 3 + static_cast<int>(colour);
        const auto found = answers_.constFind(key);
        if (found != answers_.cend())
            return *found;
        const QTextFormat& now = known_.at(formatIndex);
        QTextFormat merged = now;
        merged.merge(formats_[static_cast<std::size_t>(colour)]);
        const bool answer = merged == now;
        answers_.insert(key, answer);
        return answer;
    }

    // Whether any character format the document knows has one of the colours; when none has,
    // every run is stale and the document need not be read.
    bool anyColourKnown()
    {
        for (int index = 0; index < known_.size(); ++index)
            if (known_.at(index).isCharFormat())
                for (const TagColour colour : {TagColour::Blue, TagColour::Green, TagColour::Black})
                    if (has(index, colour))
                        return true;
        return false;
    }

private:
    const QList<QTextFormat> known_;
    const ColourFormats& formats_;
    QHash<int, bool> answers_;
};

} // namespace

std::vector<ColourRun> StaleRuns(const QTextDocument& document, std::vector<ColourRun> runs,
                                 const ColourFormats& formats)
{
    ColourCheck check(document, formats);
    if (!check.anyColourKnown())
        return runs;
    std::vector<bool> stale(runs.size(), false);
    std::size_t first = 0; // the first run that may still meet a later stretch
    const auto stretch = [&](qsizetype start, qsizetype end, int formatIndex) {
        while (first < runs.size() && runs[first].start + runs[first].length <= start)
            ++first;
        for (std::size_t r = first; r < runs.size() && runs[r].start < end; ++r)
            if (!stale[r] && !check.has(formatIndex, runs[r].colour))
                stale[r] = true;
    };
    // Positions are counted along, since asking a fragment or block for its position climbs
    // the document's tree.
    qsizetype position = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            stretch(position, position + fragment.length(), fragment.charFormatIndex());
            position += fragment.length();
        }
        const QTextBlock next = block.next();
        if (next.isValid())
            stretch(position, position + 1, next.charFormatIndex());
        ++position;
    }
    std::size_t kept = 0;
    for (std::size_t r = 0; r < runs.size(); ++r)
        if (stale[r])
            runs[kept++] = runs[r];
    runs.resize(kept);
    return runs;
}

} // namespace quellin
