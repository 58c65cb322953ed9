#include "makro/MacroStart.h"

#include "makro/U_wndnam.h"
#include "makro/u_makro.h"
#include "platform/gui/Application.h"

namespace makro {

MacroWindows CreateMacroWindows(QWidget* parent, DesktopFactory desktop)
{
    auto* form = new TFormMakro(desktop, parent);
    auto* picker = new TWindNameDlg(desktop, parent);
    form->setWindowNameDialog(picker);
    return {form, picker};
}

bool PlayCommandLineMacro(TFormMakro& form, const QStringList& arguments)
{
    if (arguments.isEmpty())
        return false;
    try {
        form.LoadMacroFile(arguments.front());
        form.BtnExcecuteClick();
    } catch (...) {
        platform::gui::Application::showException(std::current_exception());
        return false;
    }
    return true;
}

} // namespace makro
