#pragma once
// A store that never leaves a half-written file under the target's name: the bytes go to a
// temporary name in the same folder, which is renamed over the target only once every byte has
// arrived. Where the server refuses the temporary name or the rename, the file is stored
// directly (as a plain Store would) and the result says so in one status-bar line.
//
//   temporary name: ".NAME.quellin-XXXXXX.tmp" (6 random letters or digits), NAME shortened at
//   a character boundary so that the whole stays within 255 bytes: it passes RemoteNames.
//
// A failed store removes its temporary file where it can; where it cannot, the error message
// names it. The target's permissions, where the entry reports them, are set on the temporary
// file before the rename (a new file would otherwise get the server's default mode).
#include "remote/RemoteFiles.h"

#include <optional>
#include <string>
#include <string_view>

namespace remote {

// suffix: the 6 characters that make the name unique (random when empty).
std::string TemporaryName(std::string_view name, std::string_view suffix = {});

struct StoreResult {
    bool direct = false;    // stored under the target's name straight away
    std::string statusLine; // empty when all went as planned; else what the user should know
};

// source from its current position to its end, as the file name; target: the file as the server
// reported it just before (empty for a new file). Raises ERemoteError (ERemoteCancelled when
// cancelled) when the bytes did not arrive; the message says whether a temporary file is left.
StoreResult StoreWhole(RemoteFiles& files, base::Stream& source, const std::string& name,
                       const std::optional<RemoteEntry>& target);

} // namespace remote
