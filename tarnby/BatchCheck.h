#pragma once
// "tarnby --check": the pages of the command line read or fetched, their links checked in
// the event loop, the report made. Writing it is the batch mode's.
#include "tarnby/BatchOptions.h"

#include <string>
#include <vector>

namespace tarnby {

struct CheckRun {
    std::string report;                // the records, in the chosen format
    std::string summary;               // one line for standard error
    std::vector<std::string> failures; // pages that could not be read
    int exitStatus = 0;                // 0 all fine, 2 some broken, 1 a page could not be read
};

// Needs a QCoreApplication; turns its event loop until every link has its verdict.
CheckRun RunCheck(const BatchOptions& options);

// A local path as a "file://" address (absolute; "%", "#" and "?" escaped).
std::string FileUrlFor(const std::string& path);

} // namespace tarnby
