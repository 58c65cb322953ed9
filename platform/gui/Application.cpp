#include "platform/gui/Application.h"

#include "platform/core/UncaughtException.h"
#include "platform/gui/Dialogs.h"

namespace platform::gui {

namespace {

QString& titleText()
{
    static QString text;
    return text;
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::setTitle(const QString& title)
{
    titleText() = title;
}

QString Application::title()
{
    return titleText().isEmpty() ? QCoreApplication::applicationName() : titleText();
}

void Application::showException(std::exception_ptr error) noexcept
{
    try {
        ShowMessage(title(), core::UncaughtMessage(error), MessageIcon::Error, Ok);
    } catch (...) {
        // Showing the message failed too (out of memory, say); nothing more can be done here,
        // and letting it escape would end the program.
    }
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    return core::DeliverCatching([&] { return QApplication::notify(receiver, event); }, &showException);
}

} // namespace platform::gui
