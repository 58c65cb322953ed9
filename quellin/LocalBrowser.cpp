// The local drives and folders below the remote view.
#include "quellin/ftp_main.h"

namespace quellin {

void Tmainform::StartLocalBrowser() {}

void Tmainform::LocalCommand(int /*tag*/, const char* /*command*/) {}

void Tmainform::CBDriveChange() {}

void Tmainform::SBUpClick() {}

void Tmainform::SBBigIconsClick() {}

void Tmainform::SBSmallIconsClick() {}

void Tmainform::SBListClick() {}

void Tmainform::LocalViewDblClick() {}

void Tmainform::LocalViewColumnClick(int /*column*/) {}

} // namespace quellin
