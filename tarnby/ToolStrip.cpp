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

QAbstractButton* CreateToolButton(QWidget* parent, const ToolButtonSpec& spec)
{
    auto* button = new decor::TTransparentButton(parent);
    button->setObjectName(spec.name);
    button->SetCaption(spec.caption);
    button->SetHint(spec.hint);
    button->SetShowHint(true);
    const int spacing = button->Spacing();
    // Caption-only buttons: two Spacings of air either side of the caption.
    int inner = 4 * spacing;
    if (!spec.glyph.isNull()) {
        button->SetGlyph(spec.glyph);
        button->SetFont(GlyphButtonFont());
        button->SetFontColor(QColor(decor::clBlack));
        button->SetTextAlign(decor::TTextAlign::ttaRight);
        // Spacing, glyph, Spacing, caption, Spacing.
        inner = int(button->Images().first().deviceIndependentSize().width()) + 3 * spacing;
    }
    // Buttons keep their size; a window narrower than the strip clips the last ones.
    const int captionWidth = QFontMetrics(button->Font())
                                 .boundingRect(QRect(0, 0, 1000, kButtonHeight), decor::CaptionTextFlags(false), spec.caption)
                                 .width();
    button->setFixedSize(captionWidth + inner, kButtonHeight);
    if (spec.onClick)
        QObject::connect(button, &QAbstractButton::clicked, button, spec.onClick);
    return button;
}

std::vector<QAbstractButton*> BuildToolButtons(QWidget* parent, QBoxLayout* layout,
                                               const std::vector<ToolButtonSpec>& specs)
{
    std::vector<QAbstractButton*> buttons;
    for (const ToolButtonSpec& spec : specs) {
        QAbstractButton* button = CreateToolButton(parent, spec);
        layout->addWidget(button);
        buttons.push_back(button);
    }
    return buttons;
}

} // namespace tarnby
