#pragma once
// The programs' application object. An exception that escapes an event handler is not fatal:
// its message is shown in an error box (through the dialog seam), captioned with the
// application's title, and the program goes on with its windows as they were.
#include <QApplication>
#include <exception>

namespace platform::gui {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // The caption of the exception box (the product name and version).
    static void setTitle(const QString& title);
    static QString title();

    // Shows the message of an exception that nobody caught; also for code that runs outside
    // event dispatch (start-up). Never throws.
    static void showException(std::exception_ptr error) noexcept;

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace platform::gui
