#include "tarnby/PageSources.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "tarnby/PaneText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace tarnby {

namespace {

class FileSource : public PageSource {
public:
    explicit FileSource(std::string path) : path_(std::move(path)) {}
    std::string read() const override { return base::ReadWholeFile(path_); }

private:
    std::string path_;
};

class StandardInputSource : public PageSource {
public:
    std::string read() const override
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
        return bytes;
    }
};

} // namespace

std::unique_ptr<PageSource> SourceFor(const std::string& argument)
{
    if (argument == "-")
        return std::make_unique<StandardInputSource>();
    return std::make_unique<FileSource>(argument);
}

std::string LoadSources(const std::vector<std::string>& arguments)
{
    std::string pane;
    for (const auto& argument : arguments)
        AppendLines(pane, SourceFor(argument)->read());
    LowerCaseInPlace(pane);
    return pane;
}

} // namespace tarnby
