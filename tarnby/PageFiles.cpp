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
                 AppendFile&& appendFile)
{
    std::string pane;
    int number = 0;
    for (const auto& path : paths) {
        if (progress)
            progress(++number);
        appendFile(pane, path);
    }
    LowerCaseInPlace(pane);
    return pane;
}

} // namespace

std::string LoadFiles(const std::vector<std::string>& paths, const FileProgress& progress)
{
    return Load(paths, progress, [](std::string& pane, const std::string& path) {
        AppendLines(pane, base::ReadWholeFile(path));
    });
}

std::string LoadFilesWithNames(const std::vector<std::string>& paths,
                               const FileProgress& progress)
{
    return Load(paths, progress, [](std::string& pane, const std::string& path) {
        const std::string bytes = base::ReadWholeFile(path);
        AppendLines(pane, FullName(path));
        AppendLines(pane, bytes);
    });
}

} // namespace tarnby
