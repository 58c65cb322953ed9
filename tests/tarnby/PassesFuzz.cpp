// Fuzz target: the fast passes must give the literal algorithm's bytes on any input.
#include "LiteralPasses.h"

#include "tarnby/PassSteps.h"
#include "tarnby/ReductionPasses.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The literal algorithm is quadratic; small pages reach every branch.
    if (size > 4096)
        return 0;
    const std::string page(reinterpret_cast<const char*>(data), size);
    const std::string one = tarnby::ProcessLinks(page);
    if (one != literal::ProcessLinks(page))
        std::abort();
    const std::string two = tarnby::RemoveEmptyLinks(one);
    if (two != literal::RemoveEmptyLinks(one) || tarnby::RemoveLinkTags(two) != literal::RemoveLinkTags(two))
        std::abort();
    // The line tidying on the page's lines as they stand, not only on what harvesting gives.
    const auto lines = literal::HarvestLinks(page);
    std::vector<std::string> raw;
    std::string line;
    for (const char c : page) {
        if (c == '\n') {
            raw.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    raw.push_back(line);
    if (tarnby::steps::TidyLinkLines(raw) != literal::TidyLinkLines(raw)
        || tarnby::steps::TidyLinkLines(lines) != literal::TidyLinkLines(lines))
        std::abort();
    return 0;
}
