#include "RtfReader.h"

#include <QStringList>
#include <cctype>
#include <string>

namespace rtftest {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

enum class Destination { Body, FontTable, ColourTable, Skip };

struct State {
    Destination destination = Destination::Body;
    int font = 0;
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false, strike = false;
    int colour = 0;
};

class Reader {
public:
    explicit Reader(std::string_view rtf) : s_(rtf) {}

    Document read()
    {
        if (s_.substr(0, 6) != "{\\rtf1")
            throw ParseError("missing {\\rtf1 header");
        std::vector<State> stack;
        State state;
        std::size_t i = 0;
        bool closed = false;
        while (i < s_.size()) {
            const char c = s_[i];
            if (closed) {
                if (!std::isspace(static_cast<unsigned char>(c)))
                    throw ParseError("text after the closing brace");
                ++i;
                continue;
            }
            if (c == '{') {
                stack.push_back(state);
                ++i;
            } else if (c == '}') {
                if (stack.empty())
                    throw ParseError("unbalanced }");
                state = stack.back();
                stack.pop_back();
                closed = stack.empty();
                ++i;
            } else if (c == '\\') {
                i = control(i + 1, state);
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                text(QChar(static_cast<unsigned char>(c)), state);
                ++i;
            }
        }
        if (!closed)
            throw ParseError("unbalanced {");
        if (!pending_.empty())
            doc_.paragraphs.push_back(std::move(pending_));
        return std::move(doc_);
    }

private:
    std::size_t control(std::size_t i, State& state)
    {
        if (i >= s_.size())
            throw ParseError("backslash at the end");
        const char c = s_[i];
        if (c == '\\' || c == '{' || c == '}') {
            text(QChar(c), state);
            return i + 1;
        }
        if (c == '\'') {
            if (i + 2 >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[i + 1]))
                || !std::isxdigit(static_cast<unsigned char>(s_[i + 2])))
                throw ParseError("bad \\'xx escape");
            const int b = std::stoi(std::string(s_.substr(i + 1, 2)), nullptr, 16);
            text(b >= 0x80 && b < 0xA0 ? QChar(kHigh[b - 0x80]) : QChar(b), state);
            return i + 3;
        }
        if (c == '*') {
            state.destination = Destination::Skip;
            return i + 1;
        }
        if (!std::isalpha(static_cast<unsigned char>(c)))
            return i + 1; // other control symbols carry nothing we check
        std::size_t j = i;
        while (j < s_.size() && std::isalpha(static_cast<unsigned char>(s_[j])))
            ++j;
        const std::string word(s_.substr(i, j - i));
        bool hasParam = false;
        int param = 0;
        std::size_t k = j;
        if (k < s_.size() && (s_[k] == '-' || std::isdigit(static_cast<unsigned char>(s_[k])))) {
            std::size_t end = k + 1;
            while (end < s_.size() && std::isdigit(static_cast<unsigned char>(s_[end])))
                ++end;
            param = std::stoi(std::string(s_.substr(k, end - k)));
            hasParam = true;
            k = end;
        }
        if (k < s_.size() && s_[k] == ' ')
            ++k;
        apply(word, hasParam, param, state);
        if (word == "u" && k < s_.size()) // skip the one fallback character (\uc1)
            k = s_[k] == '\\' && k + 1 < s_.size() && s_[k + 1] == '\'' ? k + 4 : k + 1;
        return k;
    }

    void apply(const std::string& w, bool has, int p, State& st)
    {
        if (w == "fonttbl") st.destination = Destination::FontTable;
        else if (w == "colortbl") st.destination = Destination::ColourTable;
        else if (w == "f") {
            if (st.destination == Destination::FontTable) fontIndex_ = p;
            else st.font = p;
        }
        else if (w == "fs") st.halfPoints = p;
        else if (w == "b") st.bold = !has || p != 0;
        else if (w == "i") st.italic = !has || p != 0;
        else if (w == "ul") st.underline = !has || p != 0;
        else if (w == "ulnone") st.underline = false;
        else if (w == "strike") st.strike = !has || p != 0;
        else if (w == "cf") st.colour = p;
        else if (w == "red") red_ = p;
        else if (w == "green") green_ = p;
        else if (w == "blue") blue_ = p;
        else if (w == "plain") { st.bold = st.italic = st.underline = st.strike = false; st.font = 0; st.halfPoints = 24; }
        else if (w == "par") { doc_.paragraphs.push_back(std::move(pending_)); pending_.clear(); }
        else if (w == "tab") text(QChar('\t'), st);
        else if (w == "u") text(QChar(static_cast<char16_t>(static_cast<std::int16_t>(p))), st);
    }

    void text(QChar c, const State& st)
    {
        switch (st.destination) {
        case Destination::FontTable:
            if (c == ';') {
                if (fontIndex_ >= 0 && static_cast<std::size_t>(fontIndex_) >= doc_.fonts.size())
                    doc_.fonts.resize(static_cast<std::size_t>(fontIndex_) + 1);
                if (fontIndex_ >= 0)
                    doc_.fonts[static_cast<std::size_t>(fontIndex_)] = fontName_.trimmed();
                fontName_.clear();
            } else {
                fontName_ += c;
            }
            return;
        case Destination::ColourTable:
            if (c == ';') {
                doc_.colours.push_back((std::uint32_t(red_) << 16) | (std::uint32_t(green_) << 8)
                                       | std::uint32_t(blue_));
                red_ = green_ = blue_ = 0;
            }
            return;
        case Destination::Skip:
            return;
        case Destination::Body:
            break;
        }
        Run run;
        run.font = st.font >= 0 && static_cast<std::size_t>(st.font) < doc_.fonts.size()
            ? doc_.fonts[static_cast<std::size_t>(st.font)] : QString();
        run.halfPoints = st.halfPoints;
        run.bold = st.bold;
        run.italic = st.italic;
        run.underline = st.underline;
        run.strike = st.strike;
        run.rgb = st.colour >= 0 && static_cast<std::size_t>(st.colour) < doc_.colours.size()
            ? doc_.colours[static_cast<std::size_t>(st.colour)] : 0;
        if (!pending_.empty()) {
            Run& last = pending_.back();
            if (last.font == run.font && last.halfPoints == run.halfPoints && last.bold == run.bold
                && last.italic == run.italic && last.underline == run.underline
                && last.strike == run.strike && last.rgb == run.rgb) {
                last.text += c;
                return;
            }
        }
        run.text = c;
        pending_.push_back(std::move(run));
    }

    std::string_view s_;
    Document doc_;
    std::vector<Run> pending_;
    int fontIndex_ = -1;
    QString fontName_;
    int red_ = 0, green_ = 0, blue_ = 0;
};

} // namespace

QStringList Document::lines() const
{
    QStringList result;
    for (const auto& paragraph : paragraphs) {
        QString line;
        for (const Run& r : paragraph)
            line += r.text;
        result << line;
    }
    return result;
}

Document ReadRtf(std::string_view rtf)
{
    return Reader(rtf).read();
}

} // namespace rtftest
