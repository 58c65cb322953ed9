#include "richprint/TRECode.h"

#include <QScrollBar>

namespace richprint {

TSRichEdit::TSRichEdit(QWidget* parent) : RichEdit(parent)
{
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (OnHScroll)
            OnHScroll();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (OnVScroll)
            OnVScroll();
    });
}

} // namespace richprint
