#pragma once
// The pages that the batch mode's command line names. Each argument becomes a source that
// yields the page's bytes; a local file is one kind, standard input ("-") another, an
// "http://" URL a third, and new kinds come in through SourceFor.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnby {

// A page as it was read: its bytes unchanged, the address it came from (after any
// relocations) and the Content-Type it was served with, both empty for files and standard input.
struct LoadedPage {
    std::string bytes;
    std::string url;
    std::string contentType;
};

class PageSource {
public:
    virtual ~PageSource() = default;
    // Throws a base::Exception whose message names the source.
    virtual LoadedPage read() const = 0;
};

// Fetches the page a URL names; throws a base::Exception naming it.
using FetchUrl = std::function<LoadedPage(const std::string& url)>;

// True for an argument that names a page by URL: it starts with "http://" or "https://" (in
// any case).
bool IsPageUrl(const std::string& argument);

// The source that a command-line argument names; URLs are read through fetchUrl (without
// one, a URL names a file).
std::unique_ptr<PageSource> SourceFor(const std::string& argument, const FetchUrl& fetchUrl = {});

// Reads every source, in order, as it is.
std::vector<LoadedPage> ReadSources(const std::vector<std::string>& arguments, const FetchUrl& fetchUrl = {});

// Loads the sources in order exactly as start-up loads files: each page's lines appended,
// then the whole text lower-cased. Every source is read before anything is returned, so a
// failing one leaves nothing behind.
std::string LoadSources(const std::vector<std::string>& arguments, const FetchUrl& fetchUrl = {});

// The text of LoadSources with LF line ends instead of CR LF (see LowerCaseLinesWithLineFeeds):
// the batch mode's output when no pass runs, made where each page lies.
std::string LoadSourcesWithLineFeeds(const std::vector<std::string>& arguments, const FetchUrl& fetchUrl = {});

} // namespace tarnby
