#pragma once
// Which of the HTML check's runs the document does not already show in their colours. Painting
// only those makes a second check after a small edit nearly free: every format change costs a
// search in the document's tree of fragments, reading the formats in order does not.
//
// A run is stale when merging its colour's format into any of its characters would change
// that character's format (line breaks count: a break carries the format of the line after
// it). Linear in the document's size.
#include "quellin/HtmlCheck.h"

#include <QTextCharFormat>
#include <array>
#include <vector>

class QTextDocument;

namespace quellin {

// Indexed by TagColour.
using ColourFormats = std::array<QTextCharFormat, 3>;

// runs: in text order, not overlapping, in document positions (HtmlCheckRuns of toRawText).
// The document holds plain lines (no frames or tables), as the editor's does. The stale runs
// come back in the same order.
std::vector<ColourRun> StaleRuns(const QTextDocument& document, std::vector<ColourRun> runs,
                                 const ColourFormats& formats);

} // namespace quellin
