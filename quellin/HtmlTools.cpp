// HTML snippets from QUELLIN.INI and the HTML check.
#include "quellin/ftp_main.h"

#include "quellin/HtmlCheckPane.h"
#include "richprint/TRECode.h"

#include <QMenu>
#include <QToolButton>

namespace quellin {

void Tmainform::SBHTMLClick()
{
    // Just below the button, for the button and the menu command alike.
    PMHTML->popup(SBHTML->mapToGlobal(QPoint(0, 25)));
}

void Tmainform::SBCheckClick()
{
    ColourHtmlTags(*Memo);
}

} // namespace quellin
