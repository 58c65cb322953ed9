#pragma once
// Runs a LinkChecker to its end in the event loop, bounded in time, and gives its rows.
#include "tarnby/check/LinkChecker.h"

#include <chrono>
#include <functional>
#include <vector>

namespace checktest {

struct CheckResult {
    bool finished = false;
    std::vector<tarnby::check::CheckedLink> links;
    tarnby::check::CheckSummary summary;
    std::vector<std::string> pageFailures;
    std::chrono::milliseconds took{0};
    std::vector<std::chrono::milliseconds> doneAt; // when each check ended, from the start
};

// add puts the pages or links in; the checker runs until it finishes or limit passes.
CheckResult RunChecker(const tarnby::check::CheckSettings& settings,
                       const std::function<void(tarnby::check::LinkChecker&)>& add,
                       std::chrono::milliseconds limit = std::chrono::seconds(30));

// One link checked alone.
CheckResult CheckOne(const tarnby::check::CheckSettings& settings, const std::string& url);

} // namespace checktest
