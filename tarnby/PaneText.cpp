#include "tarnby/PaneText.h"

#include <algorithm>

namespace tarnby {

std::vector<std::string> SplitPaneLines(std::string_view text)
{
    std::vector<std::string> lines;
    ForEachLine(text, [&lines](const char* begin, const char* end) { lines.emplace_back(begin, end); });
    return lines;
}

std::string NormalizeLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 64);
    const bool endsWithBreak = !text.empty() && (text.back() == '\r' || text.back() == '\n');
    ForEachLine(text, [&out](const char* begin, const char* end) {
        out.append(begin, end);
        out += "\r\n";
    });
    if (!endsWithBreak && !out.empty())
        out.resize(out.size() - 2);
    return out;
}

void AppendLines(std::string& pane, std::string_view bytes)
{
    ForEachLine(bytes, [&pane](const char* begin, const char* end) {
        pane.append(begin, end);
        pane += "\r\n";
    });
}

namespace {

// The size of the pane text of bytes: every line break two bytes, and one after a last line
// that has none.
std::size_t PaneTextSize(std::string_view bytes)
{
    std::size_t size = 0;
    ForEachLine(bytes, [&size](const char* begin, const char* end) { size += static_cast<std::size_t>(end - begin) + 2; });
    return size;
}

// The last CR or LF before end, or nullptr; found positions are kept, so that walking a
// text backwards searches each stretch once.
class LastBreak {
public:
    explicit LastBreak(const char* begin) : begin_(begin) {}
    const char* before(const char* end)
    {
        const char* cr = find(cr_, crKnown_, '\r', end);
        const char* lf = find(lf_, lfKnown_, '\n', end);
        if (!cr || !lf)
            return cr ? cr : lf;
        return cr > lf ? cr : lf;
    }

private:
    const char* find(const char*& cached, bool& known, char c, const char* end)
    {
        if (!known || (cached != nullptr && cached >= end)) {
            cached = static_cast<const char*>(memrchr(begin_, c, static_cast<std::size_t>(end - begin_)));
            known = true;
        }
        return cached;
    }

    const char* begin_;
    const char* cr_ = nullptr;
    const char* lf_ = nullptr;
    bool crKnown_ = false;
    bool lfKnown_ = false;
};

} // namespace

void AppendLines(std::string& pane, std::string&& bytes)
{
    if (!pane.empty()) {
        AppendLines(pane, std::string_view(bytes));
        return;
    }
    const std::size_t size = bytes.size();
    const std::size_t target = PaneTextSize(bytes);
    bytes.resize(target);
    // Backwards, so that every byte moves once and never over one not yet moved: what is
    // written never starts before what is still to read.
    char* const base = bytes.data();
    const char* read = base + size;
    char* write = base + target;
    LastBreak breaks(base);
    if (size > 0 && read[-1] != '\r' && read[-1] != '\n') {
        *--write = '\n';
        *--write = '\r';
    }
    while (read > base) {
        const char* const mark = breaks.before(read);
        const char* const lineEnd = mark ? mark + 1 : base;
        const std::size_t length = static_cast<std::size_t>(read - lineEnd);
        write -= length;
        std::memmove(write, lineEnd, length);
        if (!mark)
            break;
        // A LF after a CR ends the same line.
        read = (*mark == '\n' && mark > base && mark[-1] == '\r') ? mark - 1 : mark;
        *--write = '\n';
        *--write = '\r';
    }
    pane = std::move(bytes);
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

namespace {

// Without a branch, so that the compiler turns the loops into vector instructions.
inline char LowerCaseByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return static_cast<char>(byte + ((static_cast<unsigned char>(byte - 'A') < 26) << 5));
}

void LowerCaseRange(char* begin, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        begin[i] = LowerCaseByte(begin[i]);
}

// Lower-cases count bytes from source to target, which may lie before source in the same
// text: each block is read whole before it is written.
void LowerCaseMove(char* target, const char* source, std::size_t count)
{
    if (target == source) {
        LowerCaseRange(target, count);
        return;
    }
    constexpr std::size_t kBlock = 64;
    char block[kBlock];
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(kBlock, count - done);
        std::memcpy(block, source + done, n);
        LowerCaseRange(block, n);
        std::memcpy(target + done, block, n);
        done += n;
    }
}

} // namespace

void LowerCaseInPlace(std::string& text)
{
    LowerCaseRange(text.data(), text.size());
}

void LowerCaseLinesWithLineFeeds(std::string& text)
{
    // A stretch at a time, so that the bytes are still in the cache when the search for CR
    // has passed over them.
    constexpr std::size_t kStretch = 64 * 1024;
    char* write = text.data();
    const char* read = text.data();
    const char* const end = read + text.size();
    while (read < end) {
        const auto length = std::min(kStretch, static_cast<std::size_t>(end - read));
        const char* const cr = static_cast<const char*>(std::memchr(read, '\r', length));
        const auto kept = cr ? static_cast<std::size_t>(cr - read) : length;
        LowerCaseMove(write, read, kept);
        write += kept;
        read += kept;
        if (cr) {
            *write++ = '\n';
            read = (cr + 1 < end && cr[1] == '\n') ? cr + 2 : cr + 1;
        }
    }
    text.resize(static_cast<std::size_t>(write - text.data()));
    if (!text.empty() && text.back() != '\n')
        text += '\n';
}

} // namespace tarnby
