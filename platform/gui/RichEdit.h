#pragma once
// The rich-edit pane: a QPlainTextEdit (fast line layout even for pages of many megabytes)
// whose document still carries character formats, seen by the programs through a plain-text
// model of 8-bit strings.
//
// Text model. The whole text is one byte string whose lines are separated by CR LF; setting it
// also accepts bare CR and bare LF as line breaks. The bytes are decoded as UTF-8 when they
// are valid UTF-8, otherwise as Windows-1252 (see platform/core/TextCodec.h), and text() writes
// them back the same way, so setText(x) then text() gives x again whenever x uses CR LF.
// A line is the text between two breaks; lineCount() does not count an empty last line after a
// final break, so "" has 0 lines, "a" and "a\r\n" 1, "a\r\n\r\n" 2.
//
// A line set or appended keeps its bytes too: bytes that are not UTF-8 turn a UTF-8 pane into a
// Windows-1252 one (its whole text read again byte by byte, like a text set at once).
//
// Positions. Line indices are 0-based. Selection and find positions are 0-based string
// positions in the whole text: characters (UTF-16 units) with a line break counting as two,
// so for ASCII text they are byte offsets into text().
#include "platform/core/TextCodec.h"

#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <string>
#include <string_view>

class QPrinter;

namespace platform::gui {

struct CharFormat {
    QString fontName;
    double pointSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor colour;
};

// The format of a selection: the values at its first character and whether each is the same
// over all of it. An empty selection reports the format that typing would use, uniform.
struct SelectionFormat {
    CharFormat format;
    bool uniformName = true;
    bool uniformSize = true;
    bool uniformStyle = true; // bold, italic, underline and strike-out together
    bool uniformColour = true;
};

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

class RichEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichEdit(QWidget* parent = nullptr);

    // Whole text. setText puts a new document in place of the old one (far faster for big
    // texts) and clears the undo history; whatever attaches to document() (a highlighter, a
    // signal connection) attaches again on documentReplaced().
    std::string text() const;
    void setText(std::string_view bytes);
    core::TextEncoding encoding() const { return encoding_; }
    // The text as characters, lines separated by CR LF.
    QString wholeText() const;

    // Lines. Indices out of range throw std::out_of_range.
    int lineCount() const;
    std::string line(int index) const;
    QString lineText(int index) const;
    void setLine(int index, std::string_view bytes);
    // The following lines move up.
    void deleteLine(int index);
    // Adds a line at the end and leaves the text ending with a line break.
    void appendLine(std::string_view bytes);
    // String position of a line's first character.
    int lineStart(int index) const;

    // Selection (string positions).
    int selStart() const;
    int selLength() const;
    void setSelection(int start, int length);
    // Lines separated by CR LF.
    QString selectedText() const;
    void replaceSelection(const QString& text);
    // The 0-based line and column of the selection start.
    int caretLine() const;
    int caretColumn() const;

    SelectionFormat selectionFormat() const;
    // The same answers for a range given in string positions, without touching the selection;
    // read from the document's format runs.
    SelectionFormat rangeFormat(int start, int length) const;
    // Merges the set properties of format into the selection.
    void setSelectionFormat(const QTextCharFormat& format);
    void setRangeFormat(int start, int length, const QTextCharFormat& format);

    // Forward search from start over at most length characters; the string position of the
    // first match that lies wholly in that range, or -1. A match never spans a line break.
    int findText(const QString& what, int start, int length, FindOptions options = {}) const;

    // Pane colours: text and background.
    QColor textColour() const;
    void setTextColour(const QColor& colour);
    QColor backgroundColour() const;
    void setBackgroundColour(const QColor& colour);

    bool wordWrap() const;
    void setWordWrap(bool on);

    bool modified() const;
    void setModified(bool modified);

    // Files; both throw base::EFileError naming the file. Saving replaces the file atomically.
    void loadFromFile(const std::string& path);
    // Each line followed by CR LF, in the encoding the text was read in.
    void savePlainText(const std::string& path) const;
    void saveRtf(const std::string& path) const;
    std::string rtf() const;

    void printTo(QPrinter& printer) const;

signals:
    void documentReplaced();

private:
    void watchDocument();
    // The characters of a line about to enter the pane; may turn the pane to Windows-1252.
    QString decodeLine(std::string_view bytes);
    // A new document holding bytes decoded in encoding.
    void replaceDocument(std::string_view bytes, core::TextEncoding encoding);
    QTextBlock blockAt(int index) const;
    // Document positions [start, end); typingFormat answers an empty range.
    SelectionFormat documentRangeFormat(int start, int end,
                                        const QTextCharFormat& typingFormat) const;

    core::TextEncoding encoding_ = core::TextEncoding::Utf8;
};

} // namespace platform::gui
