#pragma once
// The pages that the batch mode's command line names. Each argument becomes a source that
// yields the page's bytes; a local file is one kind, standard input ("-") another, and new
// kinds come in through SourceFor.
#include <memory>
#include <string>
#include <vector>

namespace tarnby {

class PageSource {
public:
    virtual ~PageSource() = default;
    // The page's bytes. Throws a base::Exception whose message names the source.
    virtual std::string read() const = 0;
};

// The source that a command-line argument names.
std::unique_ptr<PageSource> SourceFor(const std::string& argument);

// Loads the sources in order exactly as start-up loads files: each page's lines appended,
// then the whole text lower-cased. Every source is read before anything is returned, so a
// failing one leaves nothing behind.
std::string LoadSources(const std::vector<std::string>& arguments);

} // namespace tarnby
