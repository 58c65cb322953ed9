#include "quellin/GuiStart.h"

#include "makro/MacroStart.h"
#include "platform/gui/Application.h"
#include "platform/gui/DesktopIdentity.h"
#include "quellin/CommandLine.h"
#include "quellin/U_about.h"
#include "quellin/Version.h"
#include "quellin/ftp_main.h"

#include <QTimer>

namespace quellin {

int RunGui(int argc, char** argv)
{
    platform::gui::Application app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(kWindowTitle));
    platform::gui::AnnounceDesktopIdentity(QStringLiteral("quellin"));
    QCoreApplication::setApplicationVersion(QString::fromStdString(ProgramVersion()));
    platform::gui::Application::setTitle(QLatin1String(kWindowTitle));

    // The application object has taken out its own options; what is left is ours (main has
    // dealt with help, version and unknown options already).
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));

    // The windows, in the order they are created; all live until the program ends.
    Tmainform form;
    const makro::MacroWindows macros = makro::CreateMacroWindows(&form);
    form.setMacroWindow(macros.form);
    form.setAboutBox(new TAboutBox(&form));

    // A macro given on the command line is played before any window shows; a file that cannot
    // be read or a run that failed is reported, and the program then starts as usual.
    if (line.action == CommandLine::Action::PlayMacro
        && makro::PlayCommandLineMacro(*macros.form, {QString::fromStdString(line.macroFile)}))
        return 0;
    // Start-up runs inside the message loop, so a failure is shown like any other.
    QTimer::singleShot(0, &form, [&form] { form.FormCreate(); });
    return app.exec();
}

} // namespace quellin
