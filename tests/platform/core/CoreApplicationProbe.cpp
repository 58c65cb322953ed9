// A program without a window whose handlers throw, for CoreApplicationTest: it must end on its
// own and print what the application object recorded, not die in the event dispatcher.
#include "base/Exception.h"
#include "platform/core/CoreApplication.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv)
{
    platform::core::CoreApplication application(argc, argv);
    int reported = 0;
    application.OnUncaught = [&] {
        ++reported;
        throw std::runtime_error("a failing OnUncaught is dropped");
    };
    QTimer::singleShot(0, [] { throw base::EFileError("Cannot write file \"out.txt\""); });
    QTimer::singleShot(5, [] { throw 42; });
    // A nested wait as the batch mode runs them, then the main loop.
    QTimer guard;
    guard.setSingleShot(true);
    guard.start(50);
    while (guard.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QTimer::singleShot(0, [] { throw std::logic_error("in exec"); });
    QTimer::singleShot(20, &application, &QCoreApplication::quit);
    const int status = application.exec();
    std::printf("%d|%d|%s\n", status, reported, application.UncaughtText().toUtf8().constData());
    return application.HasUncaught() ? 1 : 0;
}
