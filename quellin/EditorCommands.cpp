// The editor's file, search, print and macro commands.
#include "quellin/ftp_main.h"

#include "makro/u_makro.h"

namespace quellin {

void Tmainform::SBNeuClick() {}
void Tmainform::SBOeffnenClick() {}
void Tmainform::SBSpeichernClick() {}
void Tmainform::SBSuchenClick() {}
void Tmainform::SBErsetzenClick() {}
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
