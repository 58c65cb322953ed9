#include "remote/ServerStamp.h"

#include "remote/RemoteNames.h"

namespace remote {

const char* const kServerCopyChanged = "The file on the server has changed since you opened it.";

ServerStamp TakeStamp(RemoteFiles& files, const std::string& name)
{
    return ServerStamp::Of(files.Stat(name));
}

StampVerdict CompareStamps(const ServerStamp& atOpen, const ServerStamp& now)
{
    const bool sizeKnown = atOpen.size >= 0 && now.size >= 0;
    const bool timeKnown = atOpen.modified != 0 && now.modified != 0;
    if (!sizeKnown && !timeKnown)
        return StampVerdict::NotReported;
    if ((sizeKnown && atOpen.size != now.size) || (timeKnown && atOpen.modified != now.modified))
        return StampVerdict::Changed;
    return StampVerdict::Unchanged;
}

ConflictQuestion ConflictQuestionFor(const std::string& name)
{
    return { "Write back " + Printable(name),
             std::string(kServerCopyChanged) + "\n\n" + Printable(name)
                 + " was changed on the server after you opened it: writing your text back would overwrite that change.",
             { { ConflictAnswer::Overwrite, "Overwrite it" },
               { ConflictAnswer::KeepMineOpenTheirs, "Keep my text as a local copy and open the server's version" },
               { ConflictAnswer::Cancel, "Cancel" } } };
}

std::string StampNotReportedNotice(const std::string& host)
{
    return "The server " + Printable(host)
           + " reports neither the time nor the size of its files: a write-back there cannot see whether someone else changed a file.";
}

} // namespace remote
