#pragma once
// Events are callbacks with the programs' event names; they are raised only when assigned.
#include <functional>
#include <utility>

namespace base {

template <typename... Args>
using Event = std::function<void(Args...)>;

template <typename... Args, typename... Actual>
void raise(const Event<Args...>& event, Actual&&... args)
{
    if (event)
        event(std::forward<Actual>(args)...);
}

} // namespace base
