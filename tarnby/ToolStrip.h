#pragma once
// The buttons on the window's top panel. Every tool button is made by CreateToolButton, the one
// place that decides what kind of button the window shows: a transparent button, flat until the
// pointer is over it, 25 pixels high and as wide as its glyph and caption need.
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

class QAbstractButton;
class QBoxLayout;
class QWidget;

namespace tarnby {

struct ToolButtonSpec {
    QString name;    // object name, as the window's code and tests refer to it
    QString caption;
    QString hint;
    QImage glyph;    // frames side by side (normal, disabled); null: caption only
    std::function<void()> onClick;
};

QAbstractButton* CreateToolButton(QWidget* parent, const ToolButtonSpec& setup);

// Creates the buttons in order, adds them to layout and returns them in the same order.
std::vector<QAbstractButton*> BuildToolButtons(QWidget* parent, QBoxLayout* layout,
                                               const std::vector<ToolButtonSpec>& setups);

} // namespace tarnby
