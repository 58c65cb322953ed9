#include "platform/core/CoreApplication.h"

#include "platform/core/UncaughtException.h"

namespace platform::core {

CoreApplication::CoreApplication(int& argc, char** argv) : QCoreApplication(argc, argv) {}

bool CoreApplication::notify(QObject* receiver, QEvent* event)
{
    return DeliverCatching([&] { return QCoreApplication::notify(receiver, event); },
                           [this](std::exception_ptr error) { Record(error); });
}

void CoreApplication::Record(std::exception_ptr error) noexcept
{
    if (!hasUncaught_) {
        hasUncaught_ = true;
        uncaughtText_ = UncaughtMessage(error);
    }
    if (OnUncaught) {
        try {
            OnUncaught();
        } catch (...) {
            // Already ending because of the first exception; a second one adds nothing.
        }
    }
}

} // namespace platform::core
