#pragma once
// Which names and paths may travel between the window and a server. Names come from servers
// (listings) and from users; either may hold bytes that would turn a command or a path into
// something else, so they are checked before use.
//   entry name: 1..255 bytes, no control character (0x00-0x1F, 0x7F), no "/", not "." or "..".
//   path:       1..4096 bytes, no control character. "/" separates folders.
// Bytes of 0x80 and above are kept: names are the server's bytes, in whatever encoding.
#include <cstddef>
#include <string>
#include <string_view>

namespace remote {

constexpr std::size_t kMaxNameLength = 255;
constexpr std::size_t kMaxPathLength = 4096;

// Empty when the name is usable; else why not (for messages and traces).
std::string EntryNameProblem(std::string_view name);
std::string PathProblem(std::string_view path);
// Raise ERemoteNameRefused with the problem when there is one.
void RequireEntryName(std::string_view name);
void RequirePath(std::string_view path);
// The name with control characters shown as \xHH, shortened to about 80 bytes: safe to trace.
std::string Printable(std::string_view name);
// folder + "/" + name, without doubling a "/" at the end of folder ("" stays relative).
std::string JoinPath(std::string_view folder, std::string_view name);

} // namespace remote
