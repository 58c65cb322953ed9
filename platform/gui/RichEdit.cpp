#include "platform/gui/RichEdit.h"

#include "base/Streams.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RtfWriter.h"
#include "platform/gui/RichEditPositions.h"

#include <QFile>
#include <QPlainTextDocumentLayout>
#include <QPrinter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstring>
#include <stdexcept>

namespace platform::gui {

using core::TextEncoding;

namespace {

const QChar kParagraph = QChar::ParagraphSeparator;

// CR LF, bare CR and bare LF all become the document's one line break. Linear: texts of many
// megabytes with hundreds of thousands of breaks pass through here.
QString toDocumentBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString out(text.size(), Qt::Uninitialized);
    QChar* o = out.data();
    const QChar* p = text.constData();
    const QChar* end = p + text.size();
    while (p < end) {
        if (*p == QLatin1Char('\r')) {
            *o++ = QLatin1Char('\n');
            if (++p < end && *p == QLatin1Char('\n'))
                ++p;
        } else {
            *o++ = *p++;
        }
    }
    out.truncate(o - out.constData());
    return out;
}

// Where the piece of bytes from `from` ends that fills the document next: after a line feed
// within kFillPiece bytes where there is one, and never between the CR and LF of a pair.
std::size_t fillPieceEnd(std::string_view bytes, std::size_t from)
{
    constexpr std::size_t kFillPiece = std::size_t{ 1 } << 20;
    if (bytes.size() - from <= kFillPiece)
        return bytes.size();
    const void* lineFeed = ::memrchr(bytes.data() + from, '\n', kFillPiece);
    if (lineFeed != nullptr)
        return static_cast<std::size_t>(static_cast<const char*>(lineFeed) - bytes.data()) + 1;
    const std::size_t end = from + kFillPiece;
    return bytes[end - 1] == '\r' ? end - 1 : end;
}

// The document's paragraph separators become CR LF.
QString withCrLf(const QString& raw)
{
    const qsizetype breaks = raw.count(kParagraph);
    if (breaks == 0)
        return raw;
    QString out(raw.size() + breaks, Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar c : raw) {
        if (c == kParagraph) {
            *o++ = QLatin1Char('\r');
            *o++ = QLatin1Char('\n');
        } else {
            *o++ = c;
        }
    }
    return out;
}

CharFormat charFormatOf(const QTextCharFormat& format, const QFont& defaultFont,
                        const QColor& defaultColour)
{
    const QFont font = format.font().resolve(defaultFont);
    CharFormat result;
    result.fontName = font.family();
    result.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    result.bold = font.bold();
    result.italic = font.italic();
    result.underline = font.underline();
    result.strikeOut = font.strikeOut();
    result.colour = format.foreground().style() == Qt::NoBrush ? defaultColour
                                                               : format.foreground().color();
    return result;
}

bool sameStyle(const CharFormat& a, const CharFormat& b)
{
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline
        && a.strikeOut == b.strikeOut;
}

core::RtfFormat rtfFormatOf(const CharFormat& f)
{
    const QRgb rgb = f.colour.rgb();
    return {f.fontName, f.pointSize, f.bold, f.italic, f.underline, f.strikeOut,
            static_cast<std::uint32_t>(rgb & 0xFFFFFF)};
}

} // namespace

RichEdit::RichEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    watchDocument();
}

void RichEdit::watchDocument()
{
    // An emptied pane starts afresh: what is typed into it next is UTF-8.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (document()->isEmpty())
            encoding_ = TextEncoding::Utf8;
    });
}

std::string RichEdit::text() const
{
    return core::EncodeText(wholeText(), encoding_);
}

QString RichEdit::wholeText() const
{
    // toRawText keeps non-breaking spaces (toPlainText would turn them into blanks).
    return withCrLf(document()->toRawText());
}

void RichEdit::setText(std::string_view bytes)
{
    replaceDocument(bytes, core::EncodingOf(bytes));
}

void RichEdit::replaceDocument(std::string_view bytes, TextEncoding encoding)
{
    // Filling a fresh document that has no layout yet and then handing it to the pane takes
    // half the time of refilling the pane's own (three seconds for 50 MB instead of six).
    auto* fresh = new QTextDocument(this);
    fresh->setDefaultFont(document()->defaultFont());
    fresh->setDefaultTextOption(document()->defaultTextOption());
    fresh->setUndoRedoEnabled(false);
    {
        // Decoded a piece at a time, as setPlainText would insert the whole: the text as
        // characters (twice its bytes) never exists beside the document's own copy.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        QTextCursor cursor(fresh);
        cursor.beginEditBlock();
        for (std::size_t from = 0; from < bytes.size();) {
            const std::size_t end = fillPieceEnd(bytes, from);
            const std::string_view piece = bytes.substr(from, end - from);
            cursor.insertText(toDocumentBreaks(
                encoding == TextEncoding::Utf8 ? utf8.decode(QByteArrayView(piece.data(), static_cast<qsizetype>(piece.size())))
                                               : core::DecodeWindows1252(piece)));
            from = end;
        }
        cursor.endEditBlock();
    }
    fresh->setUndoRedoEnabled(true);
    fresh->setModified(false);
    fresh->setDocumentLayout(new QPlainTextDocumentLayout(fresh));
    // The pane's first document belongs to its text control, which frees it on replacement;
    // the later ones are ours.
    QTextDocument* old = document()->parent() == this ? document() : nullptr;
    setDocument(fresh);
    delete old;
    encoding_ = encoding;
    watchDocument();
    emit documentReplaced();
}

QString RichEdit::decodeLine(std::string_view bytes)
{
    if (encoding_ == TextEncoding::Utf8) {
        core::DecodedText decoded = core::DecodeText(bytes);
        if (decoded.encoding == TextEncoding::Utf8)
            return std::move(decoded.text);
        // Bytes that are not UTF-8 make the whole text Windows-1252, as if it had been set at
        // once: the bytes already in the pane are read again one per character, so that none
        // of them, old or new, changes on the way out.
        replaceDocument(text(), TextEncoding::Windows1252);
    }
    return core::DecodeWindows1252(bytes);
}

int RichEdit::lineCount() const
{
    const QTextDocument* doc = document();
    const int blocks = doc->blockCount();
    return doc->lastBlock().length() == 1 ? blocks - 1 : blocks;
}

QTextBlock RichEdit::blockAt(int index) const
{
    if (index < 0 || index >= lineCount())
        throw std::out_of_range("line index out of range");
    return document()->findBlockByNumber(index);
}

QString RichEdit::lineText(int index) const
{
    return blockAt(index).text();
}

std::string RichEdit::line(int index) const
{
    return core::EncodeText(lineText(index), encoding_);
}

void RichEdit::setLine(int index, std::string_view bytes)
{
    blockAt(index); // checks the index before anything changes
    const QString text = toDocumentBreaks(decodeLine(bytes));
    QTextCursor cursor(blockAt(index));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void RichEdit::deleteLine(int index)
{
    const QTextBlock block = blockAt(index);
    QTextCursor cursor(block);
    const QTextBlock next = block.next();
    if (next.isValid()) {
        cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
    } else if (block.previous().isValid()) {
        // The last line has no break after it: take the one before it.
        cursor.setPosition(block.previous().position() + block.previous().length() - 1);
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

void RichEdit::appendLine(std::string_view bytes)
{
    QString text = toDocumentBreaks(decodeLine(bytes)) + QLatin1Char('\n');
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (document()->lastBlock().length() > 1)
        text.prepend(QLatin1Char('\n'));
    cursor.insertText(text);
}

int RichEdit::lineStart(int index) const
{
    if (index == lineCount() && index >= 0)
        return DocumentToStringPosition(*document(), document()->characterCount() - 1);
    const QTextBlock block = blockAt(index);
    return block.position() + block.blockNumber();
}

int RichEdit::selStart() const
{
    return DocumentToStringPosition(*document(), textCursor().selectionStart());
}

int RichEdit::selLength() const
{
    const QTextCursor c = textCursor();
    return DocumentToStringPosition(*document(), c.selectionEnd())
        - DocumentToStringPosition(*document(), c.selectionStart());
}

void RichEdit::setSelection(int start, int length)
{
    QTextCursor c(document());
    c.setPosition(StringToDocumentPosition(*document(), start));
    c.setPosition(StringToDocumentPosition(*document(), start + std::max(0, length)),
                  QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichEdit::selectedText() const
{
    return withCrLf(textCursor().selectedText());
}

void RichEdit::replaceSelection(const QString& text)
{
    textCursor().insertText(toDocumentBreaks(text));
}

int RichEdit::caretLine() const
{
    return document()->findBlock(textCursor().selectionStart()).blockNumber();
}

int RichEdit::caretColumn() const
{
    const int position = textCursor().selectionStart();
    return position - document()->findBlock(position).position();
}

SelectionFormat RichEdit::selectionFormat() const
{
    const QTextCursor cursor = textCursor();
    return documentRangeFormat(cursor.selectionStart(), cursor.selectionEnd(), cursor.charFormat());
}

SelectionFormat RichEdit::rangeFormat(int start, int length) const
{
    QTextCursor cursor(document());
    cursor.setPosition(StringToDocumentPosition(*document(), start));
    const int end = StringToDocumentPosition(*document(), start + std::max(0, length));
    return documentRangeFormat(cursor.position(), end, cursor.charFormat());
}

SelectionFormat RichEdit::documentRangeFormat(int start, int end,
                                              const QTextCharFormat& typingFormat) const
{
    const QFont defaultFont = document()->defaultFont();
    const QColor defaultColour = textColour();
    SelectionFormat result;
    if (start >= end) {
        result.format = charFormatOf(typingFormat, defaultFont, defaultColour);
        return result;
    }
    bool first = true;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const CharFormat f = charFormatOf(fragment.charFormat(), defaultFont, defaultColour);
            if (first) {
                result.format = f;
                first = false;
                continue;
            }
            result.uniformName &= f.fontName == result.format.fontName;
            result.uniformSize &= f.pointSize == result.format.pointSize;
            result.uniformStyle &= sameStyle(f, result.format);
            result.uniformColour &= f.colour == result.format.colour;
        }
    }
    if (first) // only line breaks in the range
        result.format = charFormatOf(typingFormat, defaultFont, defaultColour);
    return result;
}

void RichEdit::setSelectionFormat(const QTextCharFormat& format)
{
    textCursor().mergeCharFormat(format);
}

void RichEdit::setRangeFormat(int start, int length, const QTextCharFormat& format)
{
    QTextCursor c(document());
    c.setPosition(StringToDocumentPosition(*document(), start));
    c.setPosition(StringToDocumentPosition(*document(), start + std::max(0, length)),
                  QTextCursor::KeepAnchor);
    c.mergeCharFormat(format);
}

int RichEdit::findText(const QString& what, int start, int length, FindOptions options) const
{
    if (what.isEmpty() || length <= 0)
        return -1;
    QTextDocument::FindFlags flags;
    if (options.matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options.wholeWord)
        flags |= QTextDocument::FindWholeWords;
    QTextCursor from(document());
    from.setPosition(StringToDocumentPosition(*document(), std::max(0, start)));
    const QTextCursor found = document()->find(what, from, flags);
    if (found.isNull())
        return -1;
    const int position = DocumentToStringPosition(*document(), found.selectionStart());
    const long long rangeEnd = static_cast<long long>(std::max(0, start)) + length;
    return position + what.size() <= rangeEnd ? position : -1;
}

QColor RichEdit::textColour() const
{
    return palette().color(QPalette::Text);
}

void RichEdit::setTextColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, colour);
    setPalette(p);
}

QColor RichEdit::backgroundColour() const
{
    return palette().color(QPalette::Base);
}

void RichEdit::setBackgroundColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}

bool RichEdit::wordWrap() const
{
    return lineWrapMode() != QPlainTextEdit::NoWrap;
}

void RichEdit::setWordWrap(bool on)
{
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool RichEdit::modified() const
{
    return document()->isModified();
}

void RichEdit::setModified(bool modified)
{
    document()->setModified(modified);
}

void RichEdit::loadFromFile(const std::string& path)
{
    setText(base::ReadWholeFile(path));
}

void RichEdit::savePlainText(const std::string& path) const
{
    std::string bytes = text();
    if (lineCount() > 0 && document()->lastBlock().length() > 1)
        bytes += "\r\n";
    core::WriteFileAtomically(QFile::decodeName(path.c_str()), bytes);
}

std::string RichEdit::rtf() const
{
    const QFont defaultFont = document()->defaultFont();
    const QColor defaultColour = textColour();
    std::vector<core::RtfLine> lines;
    const int count = lineCount();
    lines.reserve(static_cast<std::size_t>(count));
    QTextBlock block = document()->firstBlock();
    for (int i = 0; i < count; ++i, block = block.next()) {
        core::RtfLine line;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            line.push_back({fragment.text(), rtfFormatOf(charFormatOf(fragment.charFormat(),
                                                                      defaultFont, defaultColour))});
        }
        lines.push_back(std::move(line));
    }
    return core::WriteRtf(lines);
}

void RichEdit::saveRtf(const std::string& path) const
{
    core::WriteFileAtomically(QFile::decodeName(path.c_str()), rtf());
}

void RichEdit::printTo(QPrinter& printer) const
{
    print(&printer);
}

} // namespace platform::gui
