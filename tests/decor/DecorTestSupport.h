#pragma once
// Helpers shared by the decoration suites: answering popup menus and reading rendered pixels.
#include "decor/PopupMenus.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace decor::testing {

// Answers every popup menu while alive: records where it opened and which items it offered,
// then picks the item whose text starts with `choose` (nothing when empty).
class ScriptedPopups {
public:
    struct Shown {
        QPoint at;
        QStringList items;         // texts of enabled items
        QStringList disabledItems; // texts of grayed items
        QString defaultItem;
    };

    explicit ScriptedPopups(QString choose = {}) : choose_(std::move(choose))
    {
        old_ = SetPopupRunner([this](QMenu& menu, QPoint at) -> QAction* {
            Shown shown{at, {}, {}, menu.defaultAction() ? menu.defaultAction()->text() : QString()};
            QAction* chosen = nullptr;
            for (QAction* action : menu.actions()) {
                if (action->isSeparator())
                    continue;
                (action->isEnabled() ? shown.items : shown.disabledItems) << action->text();
                if (!choose_.isEmpty() && action->isEnabled() && action->text().startsWith(choose_))
                    chosen = action;
            }
            shown_.push_back(shown);
            return chosen;
        });
    }
    ~ScriptedPopups() { SetPopupRunner(std::move(old_)); }
    ScriptedPopups(const ScriptedPopups&) = delete;
    ScriptedPopups& operator=(const ScriptedPopups&) = delete;

    const std::vector<Shown>& shown() const { return shown_; }

private:
    QString choose_;
    PopupRunner old_;
    std::vector<Shown> shown_;
};

inline QImage Render(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

} // namespace decor::testing
