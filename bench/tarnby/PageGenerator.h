#pragma once
// Generated link pages for the benchmark: realistic ones (about one link per 200 bytes, as
// loaded: lower-cased, CR LF) and pathological ones that would make a careless pass quadratic.
#include <cstddef>
#include <string>

namespace bench {

std::string LinkPage(std::size_t bytes, unsigned seed);

std::string UnclosedAnchors(std::size_t count);      // "<a href=..." without any ">"
std::string UnclosedComment(std::size_t bytes);      // "<!--" never closed, tags after it
std::string NoTagAtAll(std::size_t bytes);           // text lines without a single "<"
std::string LinkWithLongText(std::size_t lines);     // one link whose text runs over many lines
std::string BinaryBytes(std::size_t bytes);          // any bytes, NUL included, 1 MB lines
std::string MisnestedBolds(std::size_t count);       // count "<b>", count "<div>", count "</b>"
std::string TableSoup(std::size_t count);            // nested tables with text and links in the wrong place

} // namespace bench
