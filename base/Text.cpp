#include "base/Text.h"

#include <algorithm>

namespace base {

std::size_t Pos(std::string_view sub, std::string_view s)
{
    if (sub.empty())
        return 0;
    const auto at = s.find(sub);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::size_t LastDelimiter(std::string_view delimiters, std::string_view s)
{
    const auto at = s.find_last_of(delimiters);
    return at == std::string_view::npos ? 0 : at + 1;
}

void Delete(std::string& s, long long index, long long count)
{
    const auto length = static_cast<long long>(s.size());
    if (index < 1 || index > length || count <= 0)
        return;
    s.erase(static_cast<std::size_t>(index - 1),
            static_cast<std::size_t>(std::min(count, length - index + 1)));
}

void Insert(std::string_view sub, std::string& s, long long index)
{
    const auto length = static_cast<long long>(s.size());
    const long long at = std::clamp(index, 1LL, length + 1) - 1;
    s.insert(static_cast<std::size_t>(at), sub);
}

std::string Copy(std::string_view s, long long index, long long count)
{
    const auto length = static_cast<long long>(s.size());
    if (index < 1)
        index = 1;
    if (index > length || count <= 0)
        return {};
    return std::string(s.substr(static_cast<std::size_t>(index - 1),
                                static_cast<std::size_t>(std::min(count, length - index + 1))));
}

std::string TrimLeft(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= 32)
        ++i;
    return std::string(s.substr(i));
}

std::string LowerCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string UpperCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

void RemoveAll(std::string& s, std::string_view what)
{
    if (what.empty())
        return;
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    for (auto at = s.find(what); at != std::string::npos; at = s.find(what, from)) {
        out.append(s, from, at - from);
        from = at + what.size();
    }
    out.append(s, from, std::string::npos);
    s.swap(out);
}

} // namespace base
