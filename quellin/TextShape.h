#pragma once
// What the editor's pane does not keep of a file and Save needs to write it back byte for
// byte: the line break the file uses and whether a text without a final break gets one. The
// pane itself keeps the encoding (UTF-8 or Windows-1252, a byte order mark as a character) and
// whether the last line ends with a break. A file that mixes line breaks comes back with the
// first one it uses throughout.
#include <string>
#include <string_view>

namespace quellin {

struct TextShape {
    std::string lineBreak = "\r\n";
    // A new text is written as lines each followed by a break; an opened file as it was.
    bool addFinalBreak = true;
};

// The shape of a file's bytes as read.
TextShape ShapeOf(std::string_view bytes);

// What the editor's pane gives back (RichEdit::text()) after it was given bytes: every line
// break as CR LF. The document also breaks lines at U+2029 and at its two frame marks U+FDD0
// and U+FDD1; in UTF-8 text they come back as CR LF too. Worked out from the bytes, without
// asking a pane of many megabytes for its whole text.
std::string PaneTextOf(std::string_view bytes);

// The pane's text (lines separated by CR LF) in the given shape.
std::string ApplyShape(std::string_view crlfText, const TextShape& shape);

} // namespace quellin
