#include "remote/WriteBack.h"

namespace remote {
namespace {

// The server copy as it is now; empty when it cannot be read although the connection stands.
std::optional<RemoteEntry> serverCopy(RemoteFiles& files, const std::string& name)
{
    try {
        return files.Stat(name);
    } catch (const ERemoteCancelled&) {
        throw;
    } catch (const ERemoteBusy&) {
        throw;
    } catch (const ERemoteError&) {
        if (files.State() == ConnectionState::LoggedOut)
            throw;
        return std::nullopt;
    }
}

} // namespace

WriteBackResult WriteBack(RemoteFiles& files, base::Stream& source, const std::string& name,
                          const std::optional<ServerStamp>& atOpen, const ConflictHandler& ask)
{
    WriteBackResult result;
    const std::optional<RemoteEntry> current = serverCopy(files, name);
    const StampVerdict verdict = !atOpen ? StampVerdict::Unchanged
                                 : current ? CompareStamps(*atOpen, ServerStamp::Of(*current))
                                           : StampVerdict::Changed;
    result.stampNotReported = verdict == StampVerdict::NotReported;
    if (verdict == StampVerdict::Changed) {
        switch (ask ? ask(name) : ConflictAnswer::Cancel) {
        case ConflictAnswer::Overwrite: break;
        case ConflictAnswer::KeepMineOpenTheirs: result.outcome = WriteBackOutcome::KeepMineOpenTheirs; return result;
        case ConflictAnswer::Cancel: result.outcome = WriteBackOutcome::Cancelled; return result;
        }
    }
    const std::int64_t bytes = source.size() - source.position();
    const StoreResult stored = StoreWhole(files, source, name, current);
    result.direct = stored.direct;
    result.statusLine = stored.statusLine;
    // The size is known: every byte arrived before the rename. Should the time not come, the
    // size alone still lets the next write-back see a change.
    result.stamp = { bytes, 0 };
    try {
        result.stamp.modified = files.ModifiedTime(name);
    } catch (const ERemoteError&) {
    }
    return result;
}

} // namespace remote
