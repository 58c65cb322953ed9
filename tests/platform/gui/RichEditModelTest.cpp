// Random edits of the pane against a plain model of its lines, and its string positions against
// the whole text: the pane's line and position rules must hold after any sequence of edits.
#include "platform/gui/RichEdit.h"

#include <gtest/gtest.h>
#include <random>

using platform::gui::RichEdit;

namespace {

// The pane as a list of lines plus whether the text ends with a line break.
struct LineModel {
    std::vector<std::string> lines;
    bool finalBreak = false;

    std::string text() const
    {
        std::string out;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                out += "\r\n";
            out += lines[i];
        }
        if (!lines.empty() && finalBreak)
            out += "\r\n";
        return out;
    }

    void set(const std::string& text)
    {
        lines.clear();
        std::string line;
        finalBreak = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                lines.push_back(line);
                line.clear();
                ++i;
                finalBreak = i + 1 == text.size();
            } else {
                line += text[i];
            }
        }
        if (!line.empty() || (!text.empty() && !finalBreak))
            lines.push_back(line);
    }
};

std::string randomLine(std::mt19937& rng, bool latin1)
{
    static const std::vector<std::string> pieces = {"a", "<a href=\"x\">", "|", " ", "\t", "&nbsp;", "Z"};
    std::string s;
    const int n = static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i)
        s += pieces[rng() % pieces.size()];
    if (latin1 && rng() % 3 == 0)
        s += "\xe9";
    return s;
}

TEST(RichEditModel, RandomLineEditsAgreeWithTheLineModel)
{
    std::mt19937 rng(20261208);
    for (int round = 0; round < 150; ++round) {
        RichEdit pane;
        LineModel model;
        const bool latin1 = round % 2 == 1;
        std::string start;
        const int startLines = static_cast<int>(rng() % 4);
        for (int i = 0; i < startLines; ++i)
            start += randomLine(rng, latin1) + (i + 1 < startLines || rng() % 2 ? "\r\n" : "");
        if (latin1)
            start += "\xff"; // keeps the whole text Windows-1252
        pane.setText(start);
        model.set(start);
        ASSERT_EQ(pane.text(), model.text()) << "start " << start;
        for (int step = 0; step < 25; ++step) {
            const int count = static_cast<int>(model.lines.size());
            ASSERT_EQ(pane.lineCount(), count);
            const unsigned op = rng() % 4;
            std::string what;
            if (op == 0 && count > 0) {
                const int i = static_cast<int>(rng() % count);
                what = "delete " + std::to_string(i);
                pane.deleteLine(i);
                model.lines.erase(model.lines.begin() + i);
                if (model.lines.empty())
                    model.finalBreak = false;
            } else if (op == 1 && count > 0) {
                const int i = static_cast<int>(rng() % count);
                const std::string line = randomLine(rng, latin1);
                what = "set " + std::to_string(i) + " " + line;
                pane.setLine(i, line);
                model.lines[static_cast<std::size_t>(i)] = line;
            } else {
                const std::string line = randomLine(rng, latin1);
                what = "append " + line;
                pane.appendLine(line);
                model.lines.push_back(line);
                model.finalBreak = true;
            }
            // A text that is one empty line without a break is the empty text: no lines.
            if (model.lines.size() == 1 && model.lines[0].empty() && !model.finalBreak)
                model.lines.clear();
            ASSERT_EQ(pane.text(), model.text()) << "round " << round << " step " << step << ": " << what;
            for (int i = 0; i < pane.lineCount(); ++i)
                ASSERT_EQ(pane.line(i), model.lines[static_cast<std::size_t>(i)]);
        }
    }
}

TEST(RichEditModel, SelectionsAndFindsAgreeWithTheWholeText)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const int lines = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < lines; ++i)
            text += randomLine(rng, false) + (i + 1 < lines ? "\r\n" : "");
        RichEdit pane;
        pane.setText(text);
        const QString whole = pane.wholeText();
        ASSERT_EQ(whole.toStdString(), text);
        for (int probe = 0; probe < 30; ++probe) {
            int start = static_cast<int>(rng() % (whole.size() + 1));
            int length = static_cast<int>(rng() % (whole.size() + 1 - start));
            // A position inside CR LF stops before the pair; keep to real character positions.
            auto inBreak = [&](int p) { return p > 0 && p < whole.size() && whole[p] == '\n'; };
            if (inBreak(start) || inBreak(start + length))
                continue;
            pane.setSelection(start, length);
            ASSERT_EQ(pane.selStart(), start);
            ASSERT_EQ(pane.selLength(), length);
            ASSERT_EQ(pane.selectedText(), whole.mid(start, length));
            const int line = static_cast<int>(whole.left(start).count(QStringLiteral("\r\n")));
            ASSERT_EQ(pane.caretLine(), line);
            ASSERT_EQ(pane.lineStart(line) + pane.caretColumn(), start);
        }
        for (const QString& needle : {QStringLiteral("a"), QStringLiteral("href"), QStringLiteral("|Z"),
                                      QStringLiteral("&nbsp;")}) {
            for (int from = 0; from <= whole.size(); from += 3) {
                const qsizetype expected = whole.indexOf(needle, from, Qt::CaseSensitive);
                ASSERT_EQ(pane.findText(needle, from, 1 << 30, {true, false}), expected)
                    << needle.toStdString() << " from " << from;
            }
        }
    }
}

} // namespace
