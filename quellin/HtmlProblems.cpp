#include "quellin/HtmlProblems.h"

#include "html/Parse.h"
#include "html/ParseErrors.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include <algorithm>
#include <cctype>

namespace quellin {

namespace {

using html::Document;
using html::NodeId;

// A value names a file of the page's own folder tree: no scheme ("http:", "mailto:"), not
// "//host/...", not a path from the site's root (unknown here), not only a fragment or query.
bool IsRelativeFile(std::string_view value)
{
    if (value.empty() || value.front() == '#' || value.front() == '?' || value.front() == '/' || value.front() == '\\')
        return false;
    const std::size_t colon = value.find(':');
    if (colon != std::string_view::npos) {
        const std::string_view scheme = value.substr(0, colon);
        const bool letters = std::isalpha(static_cast<unsigned char>(scheme.front())) != 0
            && std::all_of(scheme.begin(), scheme.end(), [](char c) {
                   return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
               });
        if (letters)
            return false;
    }
    return true;
}

// The file part of a relative reference: without query and fragment, percent-decoded.
QString FilePart(std::string_view value)
{
    const std::size_t end = value.find_first_of("?#");
    const std::string_view path = value.substr(0, end);
    return QUrl::fromPercentEncoding(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

struct MissingFile {
    std::uint32_t offset;
    std::string value;
};

std::vector<MissingFile> MissingLocalFiles(const Document& document, const QString& folder)
{
    std::vector<MissingFile> missing;
    const QDir base(folder);
    // Pages name the same files again and again: each is looked up once.
    QHash<QString, bool> exists;
    // The tree's own links: first child, next sibling, and back up through the parents.
    for (NodeId node = Document::root(); node != html::kNoNode;) {
        const html::Node& n = document.node(node);
        if (n.kind == html::NodeKind::Element) {
            for (const std::string_view name : {"href", "src"}) {
                const auto value = document.attribute(node, name);
                if (!value || !IsRelativeFile(*value))
                    continue;
                const QString file = FilePart(*value);
                if (file.isEmpty())
                    continue;
                auto known = exists.find(file);
                if (known == exists.end())
                    known = exists.insert(file, QFileInfo::exists(base.filePath(file)));
                if (!*known)
                    missing.push_back({document.elementOffset(node), std::string(*value)});
            }
        }
        if (n.firstChild != html::kNoNode) {
            node = n.firstChild;
            continue;
        }
        while (node != html::kNoNode && document.node(node).next == html::kNoNode)
            node = document.node(node).parent;
        if (node != html::kNoNode)
            node = document.node(node).next;
    }
    return missing;
}

} // namespace

std::vector<HtmlProblem> FindHtmlProblems(std::string_view utf8, const QString& localFolder)
{
    std::vector<html::ParseError> errors;
    const auto document = html::Parse(utf8, html::Templates::Standard, &errors);
    const html::LinePositions lines(document->page());
    struct Found {
        std::uint32_t offset;
        std::string message;
    };
    std::vector<Found> found;
    found.reserve(errors.size());
    for (const html::ParseError& error : errors)
        found.push_back({error.offset, html::MessageOf(error)});
    if (!localFolder.isEmpty()) {
        for (MissingFile& file : MissingLocalFiles(*document, localFolder))
            found.push_back({file.offset, "Local file \"" + html::ShownName(file.value, 80) + "\" does not exist"});
        std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.offset < b.offset; });
    }
    std::vector<HtmlProblem> problems;
    problems.reserve(found.size());
    for (Found& f : found) {
        const html::TextPosition at = lines.at(f.offset);
        problems.push_back({at.line, at.column, std::move(f.message)});
    }
    return problems;
}

} // namespace quellin
