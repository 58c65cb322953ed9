#include "makro/MacroStart.h"

#include "makro/U_wndnam.h"
#include "makro/u_makro.h"
#include "platform/gui/Application.h"

#include <iostream>

namespace makro {

MacroWindows CreateMacroWindows(QWidget* parent, DesktopFactory desktop)
{
    auto* form = new TFormMakro(desktop, parent);
    auto* picker = new TWindNameDlg(desktop, parent);
    form->setWindowNameDialog(picker);
    return {form, picker};
}

std::optional<int> PlayCommandLineMacro(TFormMakro& form, const std::string& fileName)
{
    try {
        form.LoadMacroFile(fileName);
        switch (form.PlayWithErrorBox()) {
        case RunEnd::Completed:
            return 0;
        case RunEnd::ExitOnError:
            return 1;
        case RunEnd::StoppedByUser:
            std::cerr << "quellin: " << fileName << ": the macro was stopped by the user\n";
            return 1;
        }
    } catch (...) {
        platform::gui::Application::showException(std::current_exception());
    }
    return std::nullopt;
}

} // namespace makro
