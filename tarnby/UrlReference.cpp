#include "tarnby/UrlReference.h"

#include <cctype>
#include <optional>

namespace tarnby {

namespace {

// The five parts of a URI reference; an absent part is not the same as an empty one.
struct Parts {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

Parts Split(std::string_view text)
{
    Parts parts;
    if (HasScheme(text)) {
        const std::size_t colon = text.find(':');
        parts.scheme = text.substr(0, colon);
        text.remove_prefix(colon + 1);
    }
    if (const std::size_t hash = text.find('#'); hash != std::string_view::npos) {
        parts.fragment = text.substr(hash + 1);
        text = text.substr(0, hash);
    }
    if (const std::size_t question = text.find('?'); question != std::string_view::npos) {
        parts.query = text.substr(question + 1);
        text = text.substr(0, question);
    }
    if (text.starts_with("//")) {
        const std::size_t slash = text.find('/', 2);
        parts.authority = text.substr(2, slash == std::string_view::npos ? slash : slash - 2);
        text = slash == std::string_view::npos ? std::string_view() : text.substr(slash);
    }
    parts.path = text;
    return parts;
}

std::string RemoveDotSegments(std::string_view input)
{
    std::string output;
    while (!input.empty()) {
        if (input.starts_with("../")) {
            input.remove_prefix(3);
        } else if (input.starts_with("./")) {
            input.remove_prefix(2);
        } else if (input.starts_with("/./")) {
            input.remove_prefix(2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.starts_with("/../") || input == "/..") {
            input = input.size() == 3 ? std::string_view("/") : input.substr(3);
            const std::size_t last = output.rfind('/');
            output.erase(last == std::string::npos ? 0 : last);
        } else if (input == "." || input == "..") {
            input = {};
        } else {
            const std::size_t next = input.find('/', 1);
            const std::size_t length = next == std::string_view::npos ? input.size() : next;
            output.append(input.substr(0, length));
            input.remove_prefix(length);
        }
    }
    return output;
}

std::string Merge(const Parts& base, std::string_view path)
{
    std::string merged;
    if (base.authority && base.path.empty()) {
        merged = "/";
    } else if (const std::size_t slash = base.path.rfind('/'); slash != std::string_view::npos) {
        merged = base.path.substr(0, slash + 1);
    }
    merged.append(path);
    return merged;
}

std::string Join(const Parts& parts, const std::string& path)
{
    std::string out;
    if (parts.scheme)
        out.append(*parts.scheme).append(":");
    if (parts.authority)
        out.append("//").append(*parts.authority);
    out += path;
    if (parts.query)
        out.append("?").append(*parts.query);
    if (parts.fragment)
        out.append("#").append(*parts.fragment);
    return out;
}

} // namespace

std::string CleanUrlText(std::string_view value)
{
    const auto isControlOrBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!value.empty() && isControlOrBlank(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && isControlOrBlank(value.back()))
        value.remove_suffix(1);
    std::string out;
    out.reserve(value.size());
    for (const char c : value)
        if (c != '\t' && c != '\n' && c != '\r')
            out += c;
    return out;
}

bool HasScheme(std::string_view reference)
{
    if (reference.empty() || !std::isalpha(static_cast<unsigned char>(reference[0])))
        return false;
    for (std::size_t i = 1; i < reference.size(); ++i) {
        const auto c = static_cast<unsigned char>(reference[i]);
        if (c == ':')
            return true;
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return false;
}

std::string ResolveReference(std::string_view base, std::string_view reference)
{
    const Parts r = Split(reference);
    if (r.scheme || !HasScheme(base))
        return std::string(reference);
    const Parts b = Split(base);
    Parts t;
    t.scheme = b.scheme;
    t.fragment = r.fragment;
    std::string path;
    if (r.authority) {
        t.authority = r.authority;
        path = RemoveDotSegments(r.path);
        t.query = r.query;
    } else {
        t.authority = b.authority;
        if (r.path.empty()) {
            path = std::string(b.path);
            t.query = r.query ? r.query : b.query;
        } else {
            path = RemoveDotSegments(r.path.starts_with('/') ? std::string(r.path) : Merge(b, r.path));
            t.query = r.query;
        }
    }
    return Join(t, path);
}

} // namespace tarnby
