#include "platform/gui/Application.h"

#include "platform/gui/Dialogs.h"

namespace platform::gui {

namespace {

QString& titleText()
{
    static QString text;
    return text;
}

QString messageOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
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
        ShowMessage(title(), messageOf(error), MessageIcon::Error, Ok);
    } catch (...) {
        // Showing the message failed too (out of memory, say); nothing more can be done here,
        // and letting it escape would end the program.
    }
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception());
        return false;
    }
}

} // namespace platform::gui
