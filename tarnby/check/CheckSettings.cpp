#include "tarnby/check/CheckSettings.h"

#include <stdexcept>

namespace tarnby::check {

namespace {

int ParseCode(std::string_view text, std::string_view whole)
{
    if (text.size() != 3 || text.find_first_not_of("0123456789") != std::string_view::npos)
        throw std::invalid_argument("--accept takes status codes such as 200-299,403, not \"" + std::string(whole) + "\"");
    const int code = (text[0] - '0') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
    if (code < 100 || code > 599)
        throw std::invalid_argument("--accept: " + std::string(text) + " is not a status code (100 to 599)");
    return code;
}

} // namespace

AcceptedCodes AcceptedCodes::Parse(std::string_view text)
{
    AcceptedCodes codes;
    codes.ranges_.clear();
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string_view item = text.substr(at, comma - at);
        const std::size_t dash = item.find('-');
        const int low = ParseCode(item.substr(0, dash), text);
        const int high = dash == std::string_view::npos ? low : ParseCode(item.substr(dash + 1), text);
        if (high < low)
            throw std::invalid_argument("--accept: the range " + std::string(item) + " runs backwards");
        codes.ranges_.emplace_back(low, high);
        at = comma + 1;
    }
    return codes;
}

bool AcceptedCodes::accepts(int status) const
{
    for (const auto& [low, high] : ranges_)
        if (status >= low && status <= high)
            return true;
    return false;
}

} // namespace tarnby::check
