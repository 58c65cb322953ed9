#pragma once
// What the program's start and main window need from the macro windows.
//
//   auto macros = makro::CreateMacroWindows(mainWindow);       // right after the main window
//   if (auto status = makro::PlayCommandLineMacro(*macros.form, file))  // the file name's bytes
//       return *status;                                                 // played: the program ends
//   ... show the main window, run the event loop ...
//   "&Makro ausführen" (F3):  macros.form->BtnExcecuteClick();
//   "Makro &eingeben" (Ctrl+F3): macros.form->exec();
#include "makro/DesktopFactory.h"

#include <optional>
#include <string>

class QWidget;

namespace makro {

class TFormMakro;
class TWindNameDlg;

struct MacroWindows {
    TFormMakro* form;
    TWindNameDlg* picker;
};

// Creates the macro window and the picker (the picker fills its list now), owned by parent.
MacroWindows CreateMacroWindows(QWidget* parent, DesktopFactory desktop = X11DesktopFactory());

// Loads the file (its name as the file system's bytes), plays it and returns the program's exit
// status: 0 when the run reached its end, 1 when ExitOnError ended it (after the "Fehler" box,
// which names the failed line) or the user stopped it. A file that cannot be read or a run
// ended by an error shows the error and returns nothing: the program starts normally. No
// window is shown before the run.
std::optional<int> PlayCommandLineMacro(TFormMakro& form, const std::string& fileName);

} // namespace makro
