#include "quellin/GuiStart.h"

#include "makro/MacroStart.h"
#include "platform/gui/Application.h"
#include "platform/gui/DesktopIdentity.h"
#include "platform/gui/MissingDisplay.h"
#include "quellin/CommandLine.h"
#include "quellin/RecoveryHook.h"
#include "quellin/U_about.h"
#include "quellin/Version.h"
#include "quellin/ftp_main.h"

#include <QTimer>
#include <iostream>
#include <memory>
#include <optional>

namespace quellin {

int RunGui(int argc, char** argv)
{
    // Macros type into windows and the editor is one: both need a display.
    std::optional<platform::gui::MissingDisplayReport> noDisplay(std::in_place,
        "quellin: the window and macros need a display, and none could be opened (is DISPLAY set?).\n"
        "\"quellin --print FILE...\", \"quellin --check FILE...\" and \"quellin --help\" need none; see \"quellin --help\".\n");
    platform::gui::Application app(argc, argv);
    noDisplay.reset();
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
    if (line.action == CommandLine::Action::PlayMacro) {
        if (const std::optional<int> status = makro::PlayCommandLineMacro(*macros.form, line.macroFile))
            return *status;
    }
    // Unsaved texts are copied for the next start after a crash; without a place for the copies
    // Quellin still runs, and says so.
    std::unique_ptr<RecoverySession> recovery;
    std::unique_ptr<RecoveryHook> recoveryHook;
    try {
        recovery = std::make_unique<RecoverySession>();
        recoveryHook = std::make_unique<RecoveryHook>(form, *recovery);
    } catch (const base::Exception& e) {
        std::cerr << "quellin: no recovery copies of unsaved texts: " << e.message() << "\n";
    }
    // Start-up runs inside the message loop, so a failure is shown like any other.
    QTimer::singleShot(0, &form, [&form, &recoveryHook] {
        form.FormCreate();
        if (recoveryHook)
            recoveryHook->offerRestore();
    });
    const int status = app.exec();
    // The window has closed (asking first about unsaved changes): the copy is not needed.
    if (recoveryHook)
        recoveryHook->endCleanly();
    return status;
}

} // namespace quellin
