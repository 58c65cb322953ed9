#pragma once
// Whether the file on the server is still the one the editor opened: its stamp (size and
// modification time, as far as the server reports them) kept at open and compared before a
// write-back, and the question put to the user when it changed.
//
// Invariant: a field the server did not report (size -1, time 0) never decides a comparison;
// only fields known on both sides are compared.
#include "remote/RemoteFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace remote {

struct ServerStamp {
    std::int64_t size = -1;     // -1: not reported
    std::int64_t modified = 0;  // seconds since 1970 UTC; 0: not reported
    bool operator==(const ServerStamp&) const = default;

    static ServerStamp Of(const RemoteEntry& entry) { return { entry.size, entry.modified }; }
};

// Stat of name as a stamp; Stat's failures pass through.
ServerStamp TakeStamp(RemoteFiles& files, const std::string& name);

// NotReported: no field is known both at open and now (the server reports neither time nor
// size), so a change cannot be seen.
enum class StampVerdict { Unchanged, Changed, NotReported };
StampVerdict CompareStamps(const ServerStamp& atOpen, const ServerStamp& now);

enum class ConflictAnswer { Overwrite, KeepMineOpenTheirs, Cancel };

struct ConflictChoice {
    ConflictAnswer answer;
    std::string label;
};
struct ConflictQuestion {
    std::string caption;
    std::string text;
    std::vector<ConflictChoice> choices; // in the order a dialog shows them; the last is Cancel
};

extern const char* const kServerCopyChanged; // "The file on the server has changed since you opened it."

// The question for a write-back of name whose server copy changed since it was opened.
ConflictQuestion ConflictQuestionFor(const std::string& name);
// One line for the status bar or a message, said once per site: write-backs there cannot see
// another's change.
std::string StampNotReportedNotice(const std::string& host);

} // namespace remote
