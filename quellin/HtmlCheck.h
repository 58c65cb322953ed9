#pragma once
// The HTML check's colouring, computed without a window: which ranges of a text turn blue,
// green and black. Positions are character offsets from 0.
//
// Walk: from p, b is the next "<" and g the next ">" at or after b (the walk ends when either
// is missing, so text after a "<" without a later ">" keeps its colours). s is the next blank
// (character 32 only: a tab or a line break does not end a tag name) at or after b. With s
// before g, b..s (the "<", the name and the blank) is blue and s+1..g green; otherwise b..g is
// blue. Then the text from g+1 up to the next "<" after b is black (to the end of the text when
// there is none), and the walk goes on at g+1. Text before the first "<" keeps its colours.
//
// Every search only moves forward, so the whole walk is linear in the text's length.
#include <QStringView>
#include <vector>

namespace quellin {

enum class TagColour { Blue, Green, Black };

struct ColourRun {
    qsizetype start = 0;
    qsizetype length = 0; // always > 0
    TagColour colour = TagColour::Black;

    friend bool operator==(const ColourRun&, const ColourRun&) = default;
};

// Runs in text order, never overlapping; neighbouring runs of one colour are joined.
std::vector<ColourRun> HtmlCheckRuns(QStringView text);

} // namespace quellin
