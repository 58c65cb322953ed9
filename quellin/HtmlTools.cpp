// HTML snippets from QUELLIN.INI and the HTML check.
#include "quellin/ftp_main.h"

#include "quellin/EditorFiles.h"
#include "quellin/HtmlCheckPane.h"
#include "quellin/HtmlProblems.h"
#include "quellin/HtmlProblemsPane.h"
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
    const QByteArray text = Memo->wholeText().toUtf8();
    HtmlProblems->showProblems(
        FindHtmlProblems(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), Files->localFolder()));
}

} // namespace quellin
