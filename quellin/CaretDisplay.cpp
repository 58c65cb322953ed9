#include "quellin/CaretDisplay.h"

#include <QEvent>

namespace quellin {

namespace {

class KeyReleaseWatcher : public QObject {
public:
    KeyReleaseWatcher(platform::gui::RichEdit& editor, std::function<void(const QString&)> show)
        : QObject(&editor), editor_(editor), show_(std::move(show))
    {
        editor.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &editor_ && event->type() == QEvent::KeyRelease)
            show_(CaretPositionText(editor_));
        return false;
    }

private:
    platform::gui::RichEdit& editor_;
    std::function<void(const QString&)> show_;
};

} // namespace

QString CaretPositionText(const platform::gui::RichEdit& editor)
{
    return QStringLiteral("Line: %1, Pos: %2").arg(editor.caretLine() + 1).arg(editor.caretColumn() + 1);
}

void ShowCaretOnKeyRelease(platform::gui::RichEdit& editor,
                           std::function<void(const QString&)> show)
{
    new KeyReleaseWatcher(editor, std::move(show));
}

} // namespace quellin
