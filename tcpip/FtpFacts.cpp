#include "tcpip/FtpFacts.h"

#include "tcpip/FtpRemoteFiles.h"
#include "tcpip/ListingParser.h"

#include <algorithm>

namespace tcpip {
namespace {

std::string lower(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return result;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == prefix;
}

// Digits only, at most 18 of them: always fits in 64 bits.
std::optional<std::int64_t> decimal(std::string_view text)
{
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The lines strictly between a multi-line reply's first and last line.
std::vector<std::string_view> innerLines(const std::vector<std::string>& lines)
{
    std::vector<std::string_view> inner;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i)
        inner.emplace_back(lines[i]);
    return inner;
}

} // namespace

bool FtpFeatures::offers(std::string_view fact) const
{
    return std::find(offeredFacts.begin(), offeredFacts.end(), lower(fact)) != offeredFacts.end();
}

bool FtpFeatures::selects(std::string_view fact) const
{
    return std::find(selectedFacts.begin(), selectedFacts.end(), lower(fact)) != selectedFacts.end();
}

FtpFeatures ParseFeatures(const std::vector<std::string>& replyLines)
{
    FtpFeatures features;
    for (std::string_view line : innerLines(replyLines)) {
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        if (!startsWithNoCase(line, "mlst") || (line.size() > 4 && line[4] != ' '))
            continue;
        features.mlst = true;
        std::string_view facts = line.substr(std::min<std::size_t>(5, line.size()));
        while (!facts.empty()) {
            const std::size_t end = std::min(facts.find(';'), facts.size());
            std::string_view fact = facts.substr(0, end);
            facts.remove_prefix(std::min(end + 1, facts.size()));
            const bool selected = !fact.empty() && fact.back() == '*';
            if (selected)
                fact.remove_suffix(1);
            if (fact.empty())
                continue;
            features.offeredFacts.push_back(lower(fact));
            if (selected)
                features.selectedFacts.push_back(lower(fact));
        }
    }
    return features;
}

FtpFacts ParseMlstFacts(std::string_view line)
{
    FtpFacts facts;
    if (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    std::string_view rest = line.substr(0, std::min(line.find(' '), line.size()));
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        const std::string_view fact = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const std::size_t equals = fact.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string name = lower(fact.substr(0, equals));
        const std::string_view value = fact.substr(equals + 1);
        if (name == "size")
            facts.size = decimal(value);
        else if (name == "modify")
            facts.modified = ParseFtpTimestamp(value);
        else if (name == "unix.mode")
            facts.permissions = ParseOctalMode(value);
        else if (name == "type")
            facts.plainFile = lower(value) == "file";
    }
    return facts;
}

std::optional<std::string> MlstFactLine(const std::vector<std::string>& replyLines)
{
    const auto inner = innerLines(replyLines);
    if (inner.empty())
        return std::nullopt;
    return std::string(inner.front());
}

std::optional<int> ParseOctalMode(std::string_view text)
{
    // pyftpdlib writes Python's octal form.
    if (text.substr(0, 2) == "0o")
        text.remove_prefix(2);
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    int mode = 0;
    for (const char c : text) {
        if (c < '0' || c > '7')
            return std::nullopt;
        mode = mode * 8 + (c - '0');
    }
    return mode <= 07777 ? std::optional<int>(mode) : std::nullopt;
}

std::optional<int> ParseUnixPermissions(std::string_view line)
{
    if (line.size() < 11 || line[0] != '-' || (line[10] != ' ' && line[10] != '+' && line[10] != '.'))
        return std::nullopt;
    int mode = 0;
    // Per class: read, write, and execute with its special bit (s/S for set-id, t/T for sticky).
    constexpr int kSpecial[] = { 04000, 02000, 01000 };
    for (int who = 0; who < 3; ++who) {
        const std::string_view triple = line.substr(1 + static_cast<std::size_t>(who) * 3, 3);
        const int shift = (2 - who) * 3;
        if (triple[0] != 'r' && triple[0] != '-')
            return std::nullopt;
        if (triple[1] != 'w' && triple[1] != '-')
            return std::nullopt;
        mode |= (triple[0] == 'r' ? 4 : 0) << shift;
        mode |= (triple[1] == 'w' ? 2 : 0) << shift;
        const char special = who == 2 ? 't' : 's';
        const char x = triple[2];
        if (x == 'x' || x == special)
            mode |= 1 << shift;
        else if (x != '-' && x != special - ('a' - 'A'))
            return std::nullopt;
        if (x == special || x == special - ('a' - 'A'))
            mode |= kSpecial[who];
    }
    return mode;
}

FtpFacts ParseStatFacts(const std::vector<std::string>& replyLines)
{
    FtpFacts facts;
    int files = 0;
    for (std::string_view line : innerLines(replyLines)) {
        if (line.size() >= 4 && line.substr(0, 3) == replyLines.front().substr(0, 3) && line[3] == '-')
            line.remove_prefix(4);
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        if (line.empty() || line[0] != '-')
            continue;
        facts.permissions = ParseUnixPermissions(line);
        facts.size = UnixLineSize(line);
        ++files;
    }
    return files == 1 ? facts : FtpFacts{};
}

} // namespace tcpip
