#include "tarnby/GuiStart.h"

#include "platform/gui/Application.h"
#include "platform/gui/DesktopIdentity.h"
#include "tarnby/httptst1.h"

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarnby {

namespace {

// Qt ends the program with an abort when no display can be opened; the user learns instead
// what is missing and that the batch mode needs none, and the exit status says "wrong use".
void ReportMissingDisplay(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    std::fprintf(stderr,
                 "tarnby: the window needs a display, and none could be opened (is DISPLAY set?).\n"
                 "\"tarnby --links FILE-OR-URL...\" prints a page's links without one; see \"tarnby --help\".\n");
    std::_Exit(2);
}

} // namespace

int RunGui(int argc, char** argv)
{
    const QtMessageHandler previous = qInstallMessageHandler(ReportMissingDisplay);
    platform::gui::Application app(argc, argv);
    qInstallMessageHandler(previous);
    QCoreApplication::setApplicationName(QStringLiteral("Tarnby"));
    platform::gui::AnnounceDesktopIdentity(QStringLiteral("tarnby"));
    platform::gui::Application::setTitle(QLatin1String(kProductTitle));

    // File names are taken as the bytes the shell gave, whatever their encoding.
    std::vector<std::string> files(argv + 1, argv + argc);
    THttpTestForm form;
    // Start-up runs inside the message loop, so a file error is shown like any other failure
    // and the window goes on.
    QTimer::singleShot(0, &form, [&form, files] { form.FormCreate(files); });
    return app.exec();
}

} // namespace tarnby
