#include "tarnby/GuiStart.h"

#include "platform/gui/Application.h"
#include "platform/gui/DesktopIdentity.h"
#include "platform/gui/MissingDisplay.h"
#include "tarnby/httptst1.h"

#include <QTimer>
#include <optional>
#include <string>
#include <vector>

namespace tarnby {

int RunGui(int argc, char** argv)
{
    // The user learns what is missing and that the batch mode needs none.
    std::optional<platform::gui::MissingDisplayReport> noDisplay(std::in_place,
        "tarnby: the window needs a display, and none could be opened (is DISPLAY set?).\n"
        "\"tarnby --links FILE-OR-URL...\" prints a page's links without one; see \"tarnby --help\".\n");
    platform::gui::Application app(argc, argv);
    noDisplay.reset();
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
