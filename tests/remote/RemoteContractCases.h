#pragma once
// The cases every implementation of RemoteFiles is held to, shared by the protocol suites so
// that one table decides what "byte-exact" and "refused before anything is sent" cover.
#include "remote/RemoteNames.h"

#include <cstddef>
#include <cstdint>
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
