#include "platform/core/UncaughtException.h"

namespace platform::core {

QString UncaughtMessage(std::exception_ptr error) noexcept
{
    try {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        } catch (...) {
            return QStringLiteral("An unknown error occurred.");
        }
    } catch (...) {
        return {}; // out of memory while copying the text
    }
}

} // namespace platform::core
