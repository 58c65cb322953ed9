#pragma once
// The batch mode's command line: "tarnby --links [--passes N | --html-parser [--base URL]]
// [-o FILE] [-v] [--proxy HOST[:PORT]] [--timeout SECONDS] [--max-redirects N] [--cacert FILE]
// SOURCE...", or "tarnby --check [--recursive] [check options] SOURCE...".
// Options are rows of one table (BatchOptions.cpp); a new option is a new row and, where it
// carries a setting, a new field here.
#include "tarnby/check/CheckSettings.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnby {

struct BatchOptions {
    enum class Action { Links, Check, Help, Version };
    Action action = Action::Links;
    // Passes 1 to passes are run; always 0 to 3.
    int passes = 3;
    // The HTML parser's links of each page instead of the passes (see PageLinks.h); never
    // together with an explicit --passes.
    bool htmlParser = false;
    // The address that files and standard input are taken to come from; empty: none.
    std::string baseUrl;
    // Where the lines go instead of standard output.
    std::optional<std::string> outputFile;
    // Fetching URLs: the fetch log of a successful fetch goes to standard error.
    bool verbose = false;
    // The client's Proxy ("HOST" or "HOST:PORT"); empty: direct.
    std::string proxy;
    // A fetch is aborted after this many seconds (0: never) or when it would follow more
    // than maxRedirects relocations. Both are never negative.
    int timeoutSeconds = 120;
    int maxRedirects = 20;
    // An extra trusted CA certificate (PEM) for https URLs; empty: the system's store only.
    std::string caCertFile;
    // --check: its settings (--proxy, --timeout, --max-redirects and --cacert land here too;
    // a check's timeout is per link, 30 seconds unless given).
    check::CheckSettings check;
    // The page sources in command-line order (see PageSources.h); never empty for Links.
    std::vector<std::string> sources;
};

// A command line the batch mode cannot run; what() is the message for the user.
class BatchUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws BatchUsageError.
BatchOptions ParseBatchArguments(const std::vector<std::string>& arguments);

// True when argument is one of the batch options (with or without "=value") or any other
// argument starting with "--", which only the batch mode can report on.
bool IsBatchOption(std::string_view argument);

// The --help text.
std::string BatchUsage();

} // namespace tarnby
