// Step C of pass 1 in linear time.
//
// The walk is kept as a stack of finished lines (the lines before index i), the current line,
// and the lines not yet reached. Moving i back makes the top of the stack current again;
// joining a continuation line appends to the top.
//
// What makes it linear: a finished line is almost always "settled". Its text is V with "|"
// put after V's last ">", where V holds no "|", TAB or "&nbsp;", has a ">" and a double quote,
// and starts with "<" (so it is no continuation line). A visit leaves a settled line as it is
// (the "target" cut never finds more to cut in a tidied line: after a cut no "target" stands
// before the first ">"), and joining a continuation line a to it gives V + " " + a' (a' being
// a without TABs and "&nbsp;") with "|" after the last ">", settled again. Both cost the size
// of a only, where the walk as written re-reads the whole joined line. Lines that are not
// settled go through the visit exactly as written, which costs their own size.
#include "tarnby/PassSteps.h"

#include "base/Text.h"

#include <utility>
#include <variant>

namespace tarnby::steps {

namespace {

constexpr std::string_view kNbsp = "&nbsp;";

bool Contains(std::string_view s, std::string_view what)
{
    return s.find(what) != std::string_view::npos;
}

void RemoveChar(std::string& s, char c)
{
    std::erase(s, c);
}

// "&nbsp;" removed until none is left; it overlaps no copy of itself, so one stack sweep does.
void RemoveNbsp(std::string& s)
{
    if (!Contains(s, kNbsp))
        return;
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        out += c;
        if (c == ';' && out.size() >= kNbsp.size()
            && std::string_view(out).substr(out.size() - kNbsp.size()) == kNbsp)
            out.resize(out.size() - kNbsp.size());
    }
    s.swap(out);
}

// A tidied line: its text is v with "|" inserted after v[lastGt].
struct TidiedLine {
    std::string v;
    std::size_t lastGt = 0;
    bool settled = false;

    std::string text() const
    {
        std::string s;
        s.reserve(v.size() + 1);
        s.append(v, 0, lastGt + 1);
        s += '|';
        s.append(v, lastGt + 1, std::string::npos);
        return s;
    }
};

bool IsSettled(const TidiedLine& line)
{
    const std::string& v = line.v;
    if (Contains(v, "|") || Contains(v, "\t") || Contains(v, kNbsp) || !Contains(v, "\""))
        return false;
    return v[0] == '<';
}

// The part of a visit after the checks: TABs, the first "|", the "target" cut, and the place
// of the "|" after the last ">" (a holds a ">").
TidiedLine Tidy(std::string a)
{
    RemoveChar(a, '\t');
    const std::size_t pipe = a.find('|');
    if (pipe != std::string::npos)
        a.erase(pipe, 1);
    const auto t = static_cast<long long>(base::Pos("target", a));
    if (t >= 2) {
        const auto g = static_cast<long long>(base::Pos(">", a));
        base::Delete(a, t - 1, g - (t - 1));
    }
    TidiedLine line;
    line.lastGt = base::LastDelimiter(">", a) - 1;
    line.v = std::move(a);
    return line;
}

class Walk {
public:
    std::vector<std::string> run(std::vector<std::string> lines)
    {
        for (auto& line : lines) {
            current_ = Raw{std::move(line)};
            visit();
            visit();
            if (auto* tidied = std::get_if<TidiedLine>(&current_))
                done_.push_back(std::move(*tidied));
        }
        std::vector<std::string> result;
        result.reserve(done_.size());
        for (const auto& line : done_)
            result.push_back(line.text());
        return result;
    }

private:
    struct Raw {
        std::string text;
    };
    struct Top {};   // the current line is done_.back(): the walk has stepped back
    struct None {};  // the walk stepped back before the first line
    using Current = std::variant<Raw, TidiedLine, Top, None>;

    void visit()
    {
        if (std::holds_alternative<None>(current_))
            return;
        if (std::holds_alternative<Top>(current_)) {
            if (done_.back().settled)
                return;
            current_ = Raw{done_.back().text()};
            done_.pop_back();
        } else if (auto* tidied = std::get_if<TidiedLine>(&current_)) {
            if (tidied->settled)
                return;
            current_ = Raw{tidied->text()};
        }
        visitRaw(std::move(std::get<Raw>(current_).text));
    }

    // One visit of a line at index done_.size(), as the walk is written.
    void visitRaw(std::string a)
    {
        RemoveChar(a, '|');
        RemoveNbsp(a);
        if (!a.empty() && a[0] != '<') {
            if (done_.empty()) {
                // A continuation line at the top has no link line to join: it goes, as the
                // text of a link that step C has already deleted.
                current_ = None{};
                return;
            }
            TidiedLine& previous = done_.back();
            if (previous.settled) {
                joinToSettled(previous, std::move(a));
                current_ = Top{};
                return;
            }
            std::string b = base::TrimLeft(previous.text() + ' ' + a);
            done_.pop_back();
            a = std::move(b);
        }
        if (!Contains(a, ">") || !Contains(a, "\"")) {
            current_ = done_.empty() ? Current{None{}} : Current{Top{}};
            return;
        }
        TidiedLine line = Tidy(std::move(a));
        line.settled = IsSettled(line);
        current_ = std::move(line);
    }

    // The joined line after this visit and the next (which always follows on the same line,
    // or found nothing to change): "&nbsp;" that removing TABs brought together goes too.
    static void joinToSettled(TidiedLine& previous, std::string a)
    {
        RemoveChar(a, '\t');
        RemoveNbsp(a);
        const std::size_t gt = a.rfind('>');
        if (gt != std::string::npos)
            previous.lastGt = previous.v.size() + 1 + gt;
        previous.v += ' ';
        previous.v += a;
    }

    std::vector<TidiedLine> done_;
    Current current_ = None{};
};

} // namespace

std::vector<std::string> TidyLinkLines(std::vector<std::string> lines)
{
    return Walk().run(std::move(lines));
}

} // namespace tarnby::steps
