#pragma once
// What the program's start and main window need from the macro windows.
//
//   auto macros = makro::CreateMacroWindows(mainWindow);       // right after the main window
//   if (makro::PlayCommandLineMacro(*macros.form, arguments))  // arguments without the program
//       return 0;                                               // played: the program ends
//   ... show the main window, run the event loop ...
//   "&Makro ausführen" (F3):  macros.form->BtnExcecuteClick();
//   "Makro &eingeben" (Ctrl+F3): macros.form->exec();
#include "makro/DesktopFactory.h"

#include <QStringList>

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

// With at least one argument: loads the file named by the first, plays it and returns true
// (the program is to end; also after ExitOnError stopped the run). A file that cannot be read
// or a run ended by an error shows the error and returns false: the program starts normally.
// Without arguments returns false at once. No window is shown before the run.
bool PlayCommandLineMacro(TFormMakro& form, const QStringList& arguments);

} // namespace makro
