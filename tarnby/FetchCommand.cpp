// The fetch command of the window: Get, Abort and the name of the fetched document.
#include "tarnby/httptst1.h"

namespace tarnby {

void THttpTestForm::MenuGetClick()
{
    SetButtons(false);
    SetButtons(true);
}

void THttpTestForm::MenuAbortClick() {}

QString THttpTestForm::documentName() const
{
    return {};
}

} // namespace tarnby
