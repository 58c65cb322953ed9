#pragma once
// TTransparentButton: a push button drawn on its parent's surface, with a glyph of up to four
// frames, a caption in one of nine places around it and one of seven frame styles; it can stay
// down, drop down a popup menu and be dragged about its parent. It is a QAbstractButton so that
// windows treat it like any other button (text, clicked(), click()), but the mouse, keyboard and
// painting rules are its own; it never takes the keyboard focus.
#include "base/Event.h"
#include "decor/ButtonPainter.h"

#include <QImage>
#include <QAbstractButton>
#include <QList>
#include <QMenu>
#include <QPointer>



namespace decor {

class TTransparentButton : public QAbstractButton {
    Q_OBJECT
public:
    // Starts 40 x 40, enabled, visible, fsExplorer, ttaCenter, transparent, one glyph frame.
    explicit TTransparentButton(QWidget* parent = nullptr);
    ~TTransparentButton() override;

    bool AutoGray() const { return autoGray_; }
    void SetAutoGray(bool value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(unsigned value);
    // The accelerator letter follows "&"; Alt with it clicks an enabled button.
    QString Caption() const { return text(); }
    void SetCaption(const QString& value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool value) { setEnabled(value); }
    // Setting a font of its own ends ParentFont; SetParentFont(true) takes the parent's again.
    QFont Font() const { return font(); }
    void SetFont(const QFont& value);
    bool ParentFont() const { return !testAttribute(Qt::WA_SetFont); }
    void SetParentFont(bool value);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& value);
    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle value);
    // Assigning a glyph may change NumGlyphs (a strip of width / height square frames).
    QImage Glyph() const { return glyph_; }
    void SetGlyph(const QImage& value);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value); // kept to 1 .. 4
    // The hint is the tooltip; it shows with ShowHint, or with ParentShowHint while the parent
    // widget does not carry a false "ShowHint" property. Setting ShowHint ends ParentShowHint.
    QString Hint() const { return hint_; }
    void SetHint(const QString& value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    // Cleared when the menu is destroyed.
    QMenu* PopUpMenu() const { return popUpMenu_; }
    void SetPopUpMenu(QMenu* value);
    bool ShowPressed() const { return showPressed_; }
    void SetShowPressed(bool value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool Movable() const { return movable_; }
    void SetMovable(bool value);

    // The image list built from the glyph: frames, then gray, then disabled; empty without glyph.
    const QList<QImage>& Images() const { return images_; }
    bool PressedLook() const { return pressedLook_; }
    bool MouseOver() const { return mouseOver_; }

    // Clicks as a release inside does: emits clicked() and fires OnClick, if enabled.
    void Click() { click(); }

    base::Event<> OnClick;
    base::Event<Qt::MouseButton, Qt::KeyboardModifiers, QPoint> OnMouseDown;
    base::Event<Qt::KeyboardModifiers, QPoint> OnMouseMove;
    base::Event<Qt::MouseButton, Qt::KeyboardModifiers, QPoint> OnMouseUp;
    base::Event<> OnMouseEnter;
    base::Event<> OnMouseExit;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void endPress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point);
    void rebuildImages();
    bool hintShown() const;
    ButtonLook look() const;
    template <typename T>
    void store(T& field, const T& value);

    bool autoGray_ = true;
    int borderWidth_ = 1;
    bool down_ = false;
    QColor fontColor_;
    TFrameStyle frameStyle_ = TFrameStyle::fsExplorer;
    QImage glyph_;
    int numGlyphs_ = 1;
    QString hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    QPointer<QMenu> popUpMenu_;
    bool showPressed_ = true;
    int spacing_ = 2;
    TTextAlign textAlign_ = TTextAlign::ttaCenter;
    bool transparent_ = true;
    bool wordWrap_ = false;
    bool movable_ = false;

    bool pressedLook_ = false;
    bool mouseDownInside_ = false;
    bool tracking_ = false; // a press is in progress
    bool mouseOver_ = false;
    // After a popup menu the mouse messages the menu left behind are dropped up to the next press.
    bool droppingMouse_ = false;
    QPoint dragOrigin_;
    QList<QImage> images_;
};

} // namespace decor
