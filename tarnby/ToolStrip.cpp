#include "tarnby/ToolStrip.h"

#include "decor/Colors.h"
#include "decor/TransBtn.h"

#include <QBoxLayout>
#include <QFontMetrics>

namespace tarnby {

namespace {

constexpr int kButtonHeight = 25;

// The glyph buttons' captions: Arial of 11 pixels, black. The others take the panel's font.
QFont GlyphButtonFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace

QAbstractButton* CreateToolButton(QWidget* parent, const ToolButtonSpec& setup)
{
    auto* button = new decor::TTransparentButton(parent);
    button->setObjectName(setup.name);
    button->SetCaption(setup.caption);
    button->SetHint(setup.hint);
    button->SetShowHint(true);
    const int spacing = button->Spacing();
    // Caption-only buttons: two Spacings of air either side of the caption.
    int inner = 4 * spacing;
    if (!setup.glyph.isNull()) {
        button->SetGlyph(setup.glyph);
        button->SetFont(GlyphButtonFont());
        button->SetFontColor(QColor(decor::clBlack));
        button->SetTextAlign(decor::TTextAlign::ttaRight);
        // Spacing, glyph, Spacing, caption, Spacing.
        inner = int(button->Images().first().deviceIndependentSize().width()) + 3 * spacing;
    }
    // Buttons keep their size; a window narrower than the strip clips the last ones.
    const int captionWidth = QFontMetrics(button->Font())
                                 .boundingRect(QRect(0, 0, 1000, kButtonHeight), decor::CaptionTextFlags(false), setup.caption)
                                 .width();
    button->setFixedSize(captionWidth + inner, kButtonHeight);
    if (setup.onClick)
        QObject::connect(button, &QAbstractButton::clicked, button, setup.onClick);
    return button;
}

std::vector<QAbstractButton*> BuildToolButtons(QWidget* parent, QBoxLayout* layout,
                                               const std::vector<ToolButtonSpec>& setups)
{
    std::vector<QAbstractButton*> buttons;
    for (const ToolButtonSpec& setup : setups) {
        QAbstractButton* button = CreateToolButton(parent, setup);
        layout->addWidget(button);
        buttons.push_back(button);
    }
    return buttons;
}

} // namespace tarnby
