// The editor's file, search, print and macro commands.
#include "quellin/ftp_main.h"

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
void Tmainform::Makroeingeben1Click() {}
void Tmainform::Makroausfhren1Click() {}

} // namespace quellin
