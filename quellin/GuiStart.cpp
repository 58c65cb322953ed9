#include "quellin/GuiStart.h"

#include "platform/gui/Application.h"
#include "quellin/CommandLine.h"
#include "quellin/U_about.h"
#include "quellin/Version.h"
#include "quellin/ftp_main.h"

#include <QTimer>
#include <iostream>

namespace quellin {

int RunGui(int argc, char** argv)
{
    platform::gui::Application app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(kWindowTitle));
    QCoreApplication::setApplicationVersion(QString::fromStdString(ProgramVersion()));
    platform::gui::Application::setTitle(QLatin1String(kWindowTitle));

    // The application object has taken out its own options; what is left is ours.
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action == CommandLine::Action::Fail) {
        std::cerr << "quellin: " << line.error << "\n" << UsageText();
        return 2;
    }

    // The windows, in the order they are created; all live until the program ends.
    Tmainform form;
    // (The macro window and the window-name dialog come here, before the about box.)
    form.setAboutBox(new TAboutBox(&form));

    if (line.action == CommandLine::Action::PlayMacro) {
        std::cerr << "quellin: macros are not available yet: " << line.macroFile << "\n";
        return 2;
    }
    // Start-up runs inside the message loop, so a failure is shown like any other.
    QTimer::singleShot(0, &form, [&form] { form.FormCreate(); });
    return app.exec();
}

} // namespace quellin
