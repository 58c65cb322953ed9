#pragma once
// One line of a macro: what kind of command it is, and its arguments.
// Keywords are recognised only at the very start of the line, without regard to case, and
// only in the form "KEYWORD: " (colon and exactly one blank); anything else is key text.
#include <string>
#include <string_view>

namespace makro {

enum class LineKind { Window, Wait, Start, Comment, Sleep, Repeat, ExitOnError, Keys };

// Lines are handled as at most this many characters; the rest is cut off first. Characters
// are counted as the line is typed: UTF-8 characters when the kept part is valid UTF-8, else
// one per byte.
constexpr std::size_t maxLineLength = 255;

std::string CutLine(std::string_view line);

// The kind of a line already cut to maxLineLength.
LineKind ClassifyLine(std::string_view line);

// The text after a keyword ("Window: " title, "Start: " command line).
std::string TextAfterKeyword(std::string_view line, LineKind kind);

// "KEYWORD: number,rest" of Wait, Sleep and Repeat: the number is the text between the keyword
// and the first comma (the whole rest of the line when there is none), the rest everything
// after the comma, unchanged.
struct NumberAndRest {
    int number = 0;
    std::string rest;
};
NumberAndRest SplitNumberAndRest(std::string_view line, LineKind kind);

// The text as a whole as a signed 32-bit integer: leading blanks, one sign, decimal digits or
// "$" and hexadecimal digits. Anything else (empty, trailing blanks, letters, overflow) is 0.
int ToIntegerOrZero(std::string_view text);

} // namespace makro
