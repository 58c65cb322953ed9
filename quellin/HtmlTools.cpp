// HTML snippets from QUELLIN.INI and the HTML check.
#include "quellin/ftp_main.h"

namespace quellin {

void Tmainform::SBHTMLClick() {}

void Tmainform::SBCheckClick() {}

} // namespace quellin
