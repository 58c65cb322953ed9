#pragma once
// The write-back of a file that was opened from the server: check that the server copy is still
// the one opened (ServerStamp.h), ask the user when it is not, then store the text whole
// (WholeFileStore.h). The window supplies only the question's dialog:
//
//   at open:        stamp = remote::TakeStamp(files, name);
//   at write-back:  auto result = remote::WriteBack(files, text, name, stamp, askTheUser);
//                   Stored -> stamp = result.stamp; mark saved; show result.statusLine if any;
//                   KeepMineOpenTheirs -> save the text locally, open the server's version;
//                   Cancelled -> nothing was sent.
//                   result.stampNotReported -> say StampNotReportedNotice once per site.
//
// Without a stamp (nothing is known of the copy the text came from, or the text goes to another
// name) the text is stored whole without a check or a question.
//
// A server copy that can no longer be read (deleted, or its stat refused while the connection
// stands) counts as changed: the question is asked, and Overwrite stores it anew.
#include "remote/ServerStamp.h"
#include "remote/WholeFileStore.h"

#include <functional>
#include <optional>

namespace remote {

enum class WriteBackOutcome { Stored, KeepMineOpenTheirs, Cancelled };

struct WriteBackResult {
    WriteBackOutcome outcome = WriteBackOutcome::Stored;
    bool stampNotReported = false; // the server reports neither time nor size of the file
    bool direct = false;           // stored under the target's name straight away
    std::string statusLine;        // empty, or what the store wants the user to know
    ServerStamp stamp;             // the server copy after the store: the next write-back's base
};

// Asked only when the server copy changed; no handler counts as Cancel.
using ConflictHandler = std::function<ConflictAnswer(const std::string& name)>;

// source from its current position to its end. Failures of the check or the store pass through
// as ERemoteError.
WriteBackResult WriteBack(RemoteFiles& files, base::Stream& source, const std::string& name,
                          const std::optional<ServerStamp>& atOpen, const ConflictHandler& ask);

} // namespace remote
