#include "remote/ConnectLimit.h"

namespace remote {

std::string DurationText(std::chrono::milliseconds duration)
{
    if (duration.count() % 1000 == 0)
        return std::to_string(duration.count() / 1000) + " seconds";
    return std::to_string(duration.count()) + " ms";
}

} // namespace remote
