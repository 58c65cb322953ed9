#pragma once
// The cases every implementation of RemoteFiles is held to, shared by the protocol suites so
// that one table decides what "byte-exact" and "refused before anything is sent" cover.
#include "remote/RemoteFiles.h"
#include "remote/RemoteNames.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace remotecontract {

struct SizeCase {
    const char* label;
    std::size_t size;
};

// Transfers that must arrive byte for byte: nothing, one byte, and a binary megabyte.
inline const std::vector<SizeCase> kTransferSizes = {
    { "Empty", 0 }, { "OneByte", 1 }, { "BinaryMegabyte", std::size_t{ 1 } << 20 },
};

struct NameCase {
    const char* label;
    std::string name;
};

// Entry names a session must refuse before it sends anything.
inline const std::vector<NameCase> kHostileNames = {
    { "LineBreakSmugglesCommand", "a.txt\r\nDELE b.txt" },
    { "BareLineFeed", "a\nb" },
    { "Nul", std::string("a\0b", 3) },
    { "Escape", "a\x1B[2Jb" },
    { "Delete", "a\x7F" },
    { "Slash", "sub/a.txt" },
    { "Dot", "." },
    { "DotDot", ".." },
    { "Empty", "" },
    { "TooLong", std::string(remote::kMaxNameLength + 1, 'n') },
    { "HugeName", std::string(std::size_t{ 1 } << 20, 'n') },
};

// Paths (listing, change of folder) a session must refuse before it sends anything.
inline const std::vector<NameCase> kHostilePaths = {
    { "LineBreakSmugglesCommand", "sub\r\nRMD /" },
    { "Nul", std::string("sub\0x", 5) },
    { "TooLong", std::string(remote::kMaxPathLength + 1, 'p') },
};

// Every operation that takes a name, with every hostile name, and every one that takes a path,
// with every hostile path: each must raise ERemoteNameRefused (the caller checks that nothing
// was sent).
inline void ExpectEveryHostileNameRefused(remote::RemoteFiles& files)
{
    using Operation = std::function<void(remote::RemoteFiles&, const std::string&)>;
    const std::vector<std::pair<const char*, Operation>> operations = {
        { "Retrieve", [](auto& f, const auto& n) { base::MemoryStream s; f.Retrieve(n, s); } },
        { "Store", [](auto& f, const auto& n) { base::MemoryStream s; f.Store(s, n); } },
        { "Delete", [](auto& f, const auto& n) { f.Delete(n); } },
        { "RemoveFolder", [](auto& f, const auto& n) { f.RemoveFolder(n); } },
        { "RenameFrom", [](auto& f, const auto& n) { f.Rename(n, "fine"); } },
        { "RenameTo", [](auto& f, const auto& n) { f.Rename("fine", n); } },
        { "MakeFolder", [](auto& f, const auto& n) { f.MakeFolder(n); } },
        { "Stat", [](auto& f, const auto& n) { f.Stat(n); } },
        { "SetPermissions", [](auto& f, const auto& n) { f.SetPermissions(n, 0644); } },
    };
    for (const auto& [label, operation] : operations)
        for (const auto& name : kHostileNames) {
            SCOPED_TRACE(std::string(label) + " " + name.label);
            EXPECT_THROW(operation(files, name.name), remote::ERemoteNameRefused);
        }
    for (const auto& path : kHostilePaths) {
        SCOPED_TRACE(path.label);
        EXPECT_THROW(files.List(path.name), remote::ERemoteNameRefused);
        EXPECT_THROW(files.ChangeFolder(path.name), remote::ERemoteNameRefused);
    }
}

// A stream of size bytes that no two positions of a short period share (catches shifted and
// repeated blocks).
inline std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242U;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}

} // namespace remotecontract
