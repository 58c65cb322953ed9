#include "platform/net/FaultInjection.h"

#include "platform/net/WinsockErrors.h"

#include <atomic>

namespace platform::net::faults {

namespace {
std::atomic<int> failAt{0};
std::atomic<int> counted{0};
std::atomic<int> code{0};
std::atomic<bool> hasFired{false};
std::atomic<int> delay{0};
} // namespace

void delayLookups(int milliseconds)
{
    delay = milliseconds > 0 ? milliseconds : 0;
}

int lookupDelay()
{
    return delay;
}

void failNthCall(int n, int winsockCode)
{
    counted = 0;
    hasFired = false;
    code = winsockCode;
    failAt = n > 0 ? n : 0;
}

int callsCounted()
{
    return counted;
}

bool fired()
{
    return hasFired;
}

bool injectFailure()
{
    if (failAt.load(std::memory_order_relaxed) == 0)
        return false;
    if (++counted != failAt)
        return false;
    failAt = 0;
    hasFired = true;
    WSASetLastError(code);
    return true;
}

} // namespace platform::net::faults
