// The editor's file, search, print and macro commands.
#include "quellin/ftp_main.h"

#include "platform/gui/StatusPanels.h"
#include "quellin/CaretDisplay.h"
#include "quellin/HtmlMenu.h"
#include "makro/u_makro.h"
#include "richprint/TRECode.h"

namespace quellin {

void Tmainform::buildEditorTools()
{
    Files = std::make_unique<EditorFiles>(*Memo);
    Search = std::make_unique<SearchReplace>(*Memo);
    AddHtmlMenuItems(*PMHTML, [this](const QString& section) { InsertSnippet(*Memo, section); });
    ShowCaretOnKeyRelease(*Memo, [this](const QString& text) { Status->setPanelText(2, text); });
}

void Tmainform::SBNeuClick() { Files->newText(); }
void Tmainform::SBOeffnenClick() { Files->open(); }
void Tmainform::SBSpeichernClick() { Files->save(); }
void Tmainform::SBSuchenClick() { Search->showFind(); }
void Tmainform::SBErsetzenClick() { Search->showReplace(); }
void Tmainform::SBDruckenClick() {}
void Tmainform::Print1Click() {}
void Tmainform::Dialogprint1Click() {}
void Tmainform::Preview1Click() {}
void Tmainform::SBDruckEinrichtenClick() {}
void Tmainform::Printersetup1Click() {}
void Tmainform::PageAdjust1Click() {}
void Tmainform::Makroeingeben1Click()
{
    if (MacroWindow)
        MacroWindow->exec();
}

void Tmainform::Makroausfhren1Click()
{
    if (MacroWindow)
        MacroWindow->BtnExcecuteClick();
}

} // namespace quellin
