#include "tarnby/PageSources.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "tarnby/PaneText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

namespace tarnby {

namespace {

class FileSource : public PageSource {
public:
    explicit FileSource(std::string path) : path_(std::move(path)) {}
    LoadedPage read() const override { return {base::ReadWholeFile(path_), {}, {}}; }

private:
    std::string path_;
};

class StandardInputSource : public PageSource {
public:
    LoadedPage read() const override
    {
        std::string bytes;
        char buffer[65536];
        for (;;) {
            const std::size_t n = std::fread(buffer, 1, sizeof buffer, stdin);
            bytes.append(buffer, n);
            if (n < sizeof buffer)
                break;
        }
        if (std::ferror(stdin))
            throw base::EFileError(std::string("Cannot read standard input. ") + std::strerror(errno), errno);
        return {std::move(bytes), {}, {}};
    }
};

class UrlSource : public PageSource {
public:
    UrlSource(std::string url, FetchUrl fetch) : url_(std::move(url)), fetch_(std::move(fetch)) {}
    LoadedPage read() const override { return fetch_(url_); }

private:
    std::string url_;
    FetchUrl fetch_;
};

} // namespace

bool IsPageUrl(const std::string& argument)
{
    const auto startsWith = [&](std::string_view scheme) {
        if (argument.size() < scheme.size())
            return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(argument[i])) != scheme[i])
                return false;
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

std::unique_ptr<PageSource> SourceFor(const std::string& argument, const FetchUrl& fetchUrl)
{
    if (argument == "-")
        return std::make_unique<StandardInputSource>();
    if (fetchUrl && IsPageUrl(argument))
        return std::make_unique<UrlSource>(argument, fetchUrl);
    return std::make_unique<FileSource>(argument);
}

std::vector<LoadedPage> ReadSources(const std::vector<std::string>& arguments, const FetchUrl& fetchUrl)
{
    std::vector<LoadedPage> pages;
    for (const auto& argument : arguments)
        pages.push_back(SourceFor(argument, fetchUrl)->read());
    return pages;
}

std::string LoadSources(const std::vector<std::string>& arguments, const FetchUrl& fetchUrl)
{
    std::string pane;
    for (const auto& argument : arguments)
        AppendLines(pane, SourceFor(argument, fetchUrl)->read().bytes);
    LowerCaseInPlace(pane);
    return pane;
}

std::string LoadSourcesWithLineFeeds(const std::vector<std::string>& arguments, const FetchUrl& fetchUrl)
{
    std::string text;
    for (const auto& argument : arguments) {
        std::string page = SourceFor(argument, fetchUrl)->read().bytes;
        LowerCaseLinesWithLineFeeds(page);
        if (text.empty())
            text = std::move(page);
        else
            text += page;
    }
    return text;
}

} // namespace tarnby
