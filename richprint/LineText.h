#pragma once
// Fitting one output line to the text width: tab expansion, the widest prefix that fits, and
// word wrap. Widths come from a measuring function in device pixels (0 when measuring fails),
// so the rules hold for plain and formatted text alike.
#include <QString>
#include <functional>
#include <vector>

namespace richprint {

// Width in device pixels of the first `length` characters of the line being fitted.
using MeasurePrefix = std::function<int(int length)>;

// Each tab becomes blanks up to the next multiple of tabSize in the output so far (1 to tabSize
// blanks). A tabSize of 0 is taken as 1: every tab becomes one blank. sourceIndex, when given,
// receives for each output character the index of the input character it came from.
QString ExpandTabs(const QString& text, unsigned tabSize, std::vector<int>* sourceIndex = nullptr);

// Length of the widest prefix of a text of `length` characters that is not wider than width,
// found by bisection; at least 1 for a non-empty text, even when that character is wider.
int FitText(int length, int width, const MeasurePrefix& measure);

// One output part of a wrapped line: `length` characters from `start`; `skipped` characters
// after them (a blank at the break) are consumed without being printed.
struct WrapPart {
    int start = 0;
    int length = 0;
    int skipped = 0;
};

// Breaks a line wider than width: at the last blank or control character that fits (that
// character stays printed), or after the fitting prefix when the character right after it is
// blank (that one is consumed), or inside a word wider than the line. measureFrom(start) gives
// the measuring function for the rest of the line from start.
std::vector<WrapPart> WrapLine(const QString& text, int width,
                               const std::function<MeasurePrefix(int start)>& measureFrom);

} // namespace richprint
