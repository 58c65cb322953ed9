#pragma once
// Forward text search for Find and Replace, without a window. Positions are character offsets
// from 0. A whole-word match has no letter, digit or underscore right before or after it.
#include <QStringView>
#include <vector>

namespace quellin {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// The first match that starts at or after from, or -1. An empty search text matches nothing.
qsizetype FindForward(QStringView text, QStringView what, qsizetype from, SearchOptions options);

// Every match from from to the end, in order and not overlapping: each search goes on after the
// end of the match before, as replacing them one after another would.
std::vector<qsizetype> FindAllForward(QStringView text, QStringView what, qsizetype from,
                                      SearchOptions options);

} // namespace quellin
