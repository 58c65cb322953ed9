#pragma once
// The application object of programs and modes without a window (the batch mode). An
// exception that escapes an event handler is caught here instead of unwinding through the
// event dispatcher: the first one's message is kept, OnUncaught runs, and the program decides
// how to end (the batch mode reports it and exits with status 1).
#include <QCoreApplication>
#include <QString>
#include <functional>

namespace platform::core {

class CoreApplication : public QCoreApplication {
public:
    CoreApplication(int& argc, char** argv);

    // True once a handler let an exception escape; stays true.
    bool HasUncaught() const { return hasUncaught_; }
    // The message of the first escaped exception; empty while there was none.
    const QString& UncaughtText() const { return uncaughtText_; }
    // Runs after each escaped exception, e.g. to abort what the program was waiting for.
    // An exception it throws is dropped.
    std::function<void()> OnUncaught;

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void Record(std::exception_ptr error) noexcept;

    bool hasUncaught_ = false;
    QString uncaughtText_;
};

} // namespace platform::core
