#include "tarnby/PageFiles.h"

#include "base/Streams.h"
#include "tarnby/PaneText.h"

#include <filesystem>
#include <system_error>

namespace tarnby {

namespace {

// The name the Open files command shows above a file's lines: absolute, without "." parts.
std::string FullName(const std::string& path)
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

template <typename AppendFile>
std::string Load(const std::vector<std::string>& paths, const FileProgress& progress,
                 std::vector<LoadedPage>* pages, AppendFile&& appendFile)
{
    std::string pane;
    std::vector<LoadedPage> read;
    int number = 0;
    for (const auto& path : paths) {
        if (progress)
            progress(++number);
        std::string bytes = base::ReadWholeFile(path);
        appendFile(pane, path, bytes);
        if (pages)
            read.push_back({std::move(bytes), {}, {}});
    }
    LowerCaseInPlace(pane);
    if (pages)
        *pages = std::move(read);
    return pane;
}

} // namespace

std::string LoadFiles(const std::vector<std::string>& paths, const FileProgress& progress,
                      std::vector<LoadedPage>* pages)
{
    return Load(paths, progress, pages, [](std::string& pane, const std::string&, const std::string& bytes) {
        AppendLines(pane, bytes);
    });
}

std::string LoadFilesWithNames(const std::vector<std::string>& paths, const FileProgress& progress,
                               std::vector<LoadedPage>* pages)
{
    return Load(paths, progress, pages, [](std::string& pane, const std::string& path, const std::string& bytes) {
        AppendLines(pane, FullName(path));
        AppendLines(pane, bytes);
    });
}

} // namespace tarnby
