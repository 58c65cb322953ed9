#include "LiteralPasses.h"

#include "base/StringList.h"
#include "base/Text.h"

using base::Copy;
using base::Delete;
using base::Insert;
using base::LastDelimiter;
using base::Pos;
using base::StringList;

namespace literal {

namespace {

using Index = long long;

Index Len(const std::string& s)
{
    return static_cast<Index>(s.size());
}

void RemoveEvery(std::string& s, const std::string& what)
{
    while (Pos(what, s) > 0)
        Delete(s, static_cast<Index>(Pos(what, s)), Len(what));
}

// The pane's whole text: every line break is CR LF.
std::string PaneText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\r' || text[i] == '\n')
            out += "\r\n";
        else
            out += text[i];
    }
    return out;
}

StringList Lines(std::vector<std::string> lines)
{
    StringList list;
    for (auto& line : lines)
        list.add(std::move(line));
    return list;
}

} // namespace

std::string RemoveInlineFormatting(std::string text)
{
    for (const char* tag : {"<b>", "</b>", "<i>", "</i>", "</font>"})
        RemoveEvery(text, tag);
    return text;
}

std::vector<std::string> HarvestLinks(std::string t)
{
    std::string memo2;
    std::string chunk;
    std::string p;
    while (Pos("<", t) > 0) {
        const auto k = static_cast<Index>(LastDelimiter("<", t));
        chunk = Copy(t, k, Len(t) - k + 1);
        Delete(t, k, Len(t) - k + 1);
        if (Pos("<a h", chunk) == 0) {
            const auto s = static_cast<Index>(Pos("<", chunk));
            const auto e = static_cast<Index>(Pos(">", chunk));
            if (s > e)
                Delete(chunk, s, 1);
            else
                Delete(chunk, s, e - s + 1);
            if (!chunk.empty())
                p = chunk;
        } else if (Pos("#", chunk) > 0 || Pos("onmouse", chunk) > 0) {
            // dropped; pending text stays
        } else {
            if (!p.empty())
                chunk += p;
            memo2 += chunk + "\r\n";
            p.clear();
        }
    }
    StringList collected;
    collected.setText(memo2);
    return collected.lines();
}

std::vector<std::string> TidyLinkLines(std::vector<std::string> lines)
{
    StringList memo1 = Lines(std::move(lines));
    Index i = 0;
    while (i < static_cast<Index>(memo1.count())) {
        for (int visit = 0; visit < 2; ++visit) {
            if (i < 0)
                continue;  // stepped back before the first line: nothing to visit
            std::string a = memo1.get(static_cast<std::size_t>(i));
            RemoveEvery(a, "|");
            RemoveEvery(a, "&nbsp;");
            if (!a.empty() && a[0] != '<' && i == 0) {
                memo1.remove(0);  // no line before the first to join it to
                --i;
                continue;
            }
            if (!a.empty() && a[0] != '<') {
                std::string b = memo1.get(static_cast<std::size_t>(i - 1));
                b = b + " " + a;
                b = base::TrimLeft(b);
                memo1.put(static_cast<std::size_t>(i - 1), b);
                memo1.remove(static_cast<std::size_t>(i));
                --i;
                a = b;
            }
            if (Pos(">", a) == 0 || Pos("\"", a) == 0) {
                memo1.remove(static_cast<std::size_t>(i));
                --i;
                continue;
            }
            RemoveEvery(a, "\t");
            if (Pos("|", a) > 0)
                Delete(a, static_cast<Index>(Pos("|", a)), 1);
            const auto t = static_cast<Index>(Pos("target", a));
            if (t >= 2) {
                const auto g = static_cast<Index>(Pos(">", a));
                Delete(a, t - 1, g - (t - 1));
            }
            const auto k = static_cast<Index>(LastDelimiter(">", a));
            Insert("|", a, k + 1);
            memo1.put(static_cast<std::size_t>(i), a);
        }
        ++i;
    }
    return memo1.lines();
}

std::string ProcessLinks(std::string_view text)
{
    const std::string t = RemoveInlineFormatting(PaneText(text));
    return Lines(TidyLinkLines(HarvestLinks(t))).text();
}

std::string RemoveEmptyLinks(std::string_view text)
{
    StringList memo1;
    memo1.setText(text);
    std::size_t i = 0;
    while (i < memo1.count()) {
        std::string s = memo1.get(i);
        for (int blank = 0; blank < 10; ++blank)
            if (LastDelimiter(" ", s) == s.size())
                Delete(s, Len(s), 1);
        const auto p = static_cast<Index>(LastDelimiter("|", s));
        if (p + 2 >= Len(s))
            memo1.remove(i);
        else
            ++i;
    }
    return memo1.text();
}

std::string RemoveLinkTags(std::string_view text)
{
    StringList memo1;
    memo1.setText(text);
    for (std::size_t i = 0; i < memo1.count(); ++i) {
        std::string s = memo1.get(i);
        const auto q = static_cast<Index>(Pos("\"", s));
        if (q != 0)
            Delete(s, 1, q);
        const auto r = static_cast<Index>(LastDelimiter("\"", s));
        if (r != 0)
            Delete(s, r, 2);
        memo1.put(i, s);
    }
    return memo1.text();
}

} // namespace literal
