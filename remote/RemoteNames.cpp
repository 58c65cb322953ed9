#include "remote/RemoteNames.h"

#include "remote/RemoteFiles.h"

#include <algorithm>

namespace remote {
namespace {

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

std::string controlProblem(std::string_view text)
{
    const auto bad = std::find_if(text.begin(), text.end(), isControl);
    if (bad == text.end())
        return {};
    return "holds the control character " + Printable(std::string_view(&*bad, 1));
}

} // namespace

std::string EntryNameProblem(std::string_view name)
{
    if (name.empty())
        return "is empty";
    if (name.size() > kMaxNameLength)
        return "is longer than " + std::to_string(kMaxNameLength) + " bytes";
    if (name == "." || name == "..")
        return "is not a name";
    if (name.find('/') != std::string_view::npos)
        return "holds a \"/\"";
    return controlProblem(name);
}

std::string PathProblem(std::string_view path)
{
    if (path.empty())
        return "is empty";
    if (path.size() > kMaxPathLength)
        return "is longer than " + std::to_string(kMaxPathLength) + " bytes";
    return controlProblem(path);
}

void RequireEntryName(std::string_view name)
{
    if (auto problem = EntryNameProblem(name); !problem.empty())
        throw ERemoteNameRefused("The name \"" + Printable(name) + "\" " + problem);
}

void RequirePath(std::string_view path)
{
    if (auto problem = PathProblem(path); !problem.empty())
        throw ERemoteNameRefused("The path \"" + Printable(path) + "\" " + problem);
}

std::string Printable(std::string_view name)
{
    constexpr std::size_t kShown = 80;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name.substr(0, kShown)) {
        if (isControl(c)) {
            const auto byte = static_cast<unsigned char>(c);
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    if (name.size() > kShown)
        out += "...";
    return out;
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    std::string path(folder);
    if (path.back() != '/')
        path += '/';
    path += name;
    return path;
}

} // namespace remote
