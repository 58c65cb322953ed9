#pragma once
// What "tarnby --check" is asked to do: the settings of its options, and the status codes it
// takes as a working link.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnby::check {

// Status codes taken as a working link: ranges of three-digit codes. Default: 200-299.
class AcceptedCodes {
public:
    AcceptedCodes() : ranges_{{200, 299}} {}
    // "200-299,403": codes and ranges of codes (100 to 599), separated by commas. Throws
    // std::invalid_argument with the message for the user.
    static AcceptedCodes Parse(std::string_view text);
    bool accepts(int status) const;

private:
    std::vector<std::pair<int, int>> ranges_;
};

enum class ReportFormat { Lines, Csv, Json };

struct CheckSettings {
    bool recursive = false;  // walk the pages of the start page's site below its folder
    bool fragments = false;  // check "#name" against the target page's ids
    int concurrency = 16;    // checks under way at once, 1 or more
    int perHost = 4;         // of those, to one host (scheme, host and port), 1 or more
    int timeoutSeconds = 30; // for one link, its redirects and retries included; 0: never
    int maxRedirects = 20;
    std::string proxy;
    std::string caCertFile;
    std::optional<std::string> exclude; // a regular expression: matching addresses are not checked
    AcceptedCodes accept;
    ReportFormat format = ReportFormat::Lines;
};

// The largest body a check reads of a page it walks or looks for ids in; the rest is not
// fetched.
constexpr std::size_t kMaxPageBytes = 16u << 20;

} // namespace tarnby::check
