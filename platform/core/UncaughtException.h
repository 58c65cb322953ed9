#pragma once
// What the application objects do with an exception that escapes an event handler: deliver
// the event inside a catch-all and hand whatever escapes to the object's own report, so no
// exception ever unwinds through Qt's event dispatcher.
#include <QString>
#include <exception>
#include <utility>

namespace platform::core {

// The exception's text; a fixed sentence for one that is not a std::exception. Never throws
// (falls back to an empty text when even that fails).
QString UncaughtMessage(std::exception_ptr error) noexcept;

// Returns deliver()'s result, or false after report(the escaped exception). report must not
// throw.
template <typename Deliver, typename Report>
bool DeliverCatching(Deliver&& deliver, Report&& report) noexcept
{
    try {
        return std::forward<Deliver>(deliver)();
    } catch (...) {
        std::forward<Report>(report)(std::current_exception());
        return false;
    }
}

} // namespace platform::core
