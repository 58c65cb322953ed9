#pragma once
// Conversions between the pane's two ways of counting characters: document positions, where a
// line break is one character, and string positions in the whole text, where it is two
// (CR LF). Both are 0-based and count UTF-16 units.
class QTextDocument;

namespace platform::gui {

int StringToDocumentPosition(const QTextDocument& document, int stringPosition);
int DocumentToStringPosition(const QTextDocument& document, int documentPosition);

} // namespace platform::gui
