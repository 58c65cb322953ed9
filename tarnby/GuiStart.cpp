#include "tarnby/GuiStart.h"

#include "platform/gui/Application.h"
#include "tarnby/httptst1.h"

#include <QTimer>
#include <string>
#include <vector>

namespace tarnby {

int RunGui(int argc, char** argv)
{
    platform::gui::Application app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tarnby"));
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
