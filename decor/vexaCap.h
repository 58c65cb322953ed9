#pragma once
// TVexaCaption takes over the title bar of the window that owns it: the window becomes frameless
// and the component draws its frame and a caption of its own, a gradient of NumColors bands with
// the window's icon, an optional application name and the window title, and four caption
// buttons (TVexaCaptionSystemButton). Deleting the component gives the window its own title
// bar, flags and margins back.
#include "decor/CaptionGeometry.h"

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

class QMenu;
class QWidget;

namespace decor {

class CaptionFrame;
class TVexaCaption;

// The commands of the window's system menu and caption buttons.
enum class TSysCommand { SC_SIZE, SC_MOVE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE, SC_RESTORE, SC_CONTEXTHELP };

// One caption button: it has no window of its own; the caption draws it into the window and
// hands it the mouse while the cursor is on it.
class TVexaCaptionSystemButton : public QObject {
    Q_OBJECT
public:
    TVexaCaptionSystemButton(TVexaCaption& caption, TCaptionButtonKind kind);

    TCaptionButtonKind Kind() const { return kind_; }
    bool Pressed() const { return pressed_; }
    bool Tracking() const { return tracking_; }

    // Window coordinates. A press on an enabled button starts tracking; while tracking the
    // button looks pressed exactly while the cursor is in its tracking rectangle; the release
    // there clicks.
    void MouseDown(QPoint windowPoint);
    void MouseMove(QPoint windowPoint);
    void MouseUp(QPoint windowPoint);
    // Sends the button's command to the window.
    void Click();

private:
    void Repaint();

    TVexaCaption& caption_;
    TCaptionButtonKind kind_;
    bool pressed_ = false;
    bool tracking_ = false;
};

class TVexaCaption : public QObject {
    Q_OBJECT
public:
    // owner must be a top-level widget; anything else raises base::Exception with
    // "The VexaCaption's owner must be a Form!". The window is owned as a Qt child of it.
    explicit TVexaCaption(QObject* owner);
    ~TVexaCaption() override;

    QColor ActiveBeginColor() const { return activeBegin_; }
    void SetActiveBeginColor(const QColor& value);
    QColor ActiveEndColor() const { return activeEnd_; }
    void SetActiveEndColor(const QColor& value);
    QColor ActiveFontColor() const { return activeFont_; }
    void SetActiveFontColor(const QColor& value);
    QColor InactiveBeginColor() const { return inactiveBegin_; }
    void SetInactiveBeginColor(const QColor& value);
    QColor InactiveEndColor() const { return inactiveEnd_; }
    void SetInactiveEndColor(const QColor& value);
    QColor InactiveFontColor() const { return inactiveFont_; }
    void SetInactiveFontColor(const QColor& value);
    QString ApplicationName() const { return applicationName_; }
    void SetApplicationName(const QString& value);
    // The font setters copy the font and redraw even when nothing changed.
    QFont ApplicationNameFont() const { return applicationNameFont_; }
    void SetApplicationNameFont(const QFont& value);
    QFont CaptionFont() const { return captionFont_; }
    void SetCaptionFont(const QFont& value);
    // Bands of the gradient; 0 or less paints none.
    int NumColors() const { return numColors_; }
    void SetNumColors(int value);
    // With AutoSize both fonts are sized to the text rectangle's height less 5 pixels.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    QWidget* Form() const { return form_; }
    // Read from the window's flags as they were before the component took them over, and from
    // its size limits (a window that cannot be resized has a single or tool-window border).
    TBorderStyle BorderStyle() const;
    TBorderIcons BorderIcons() const { return borderIcons_; }
    CaptionMetrics Metrics() const;
    CaptionLayout Layout() const;
    bool Active() const;
    TVexaCaptionSystemButton& Button(TCaptionButtonKind kind) const { return *buttons_[std::size_t(kind)]; }

    // Runs a system command on the window as its caption, buttons and system menu do.
    void SysCommand(TSysCommand command);
    // Builds the system menu with its items enabled, grayed and defaulted for the window state.
    std::unique_ptr<QMenu> PrepareSystemMenu();
    // Shows the system menu at a screen point and runs the chosen command.
    void RunSystemMenu(QPoint screenPos);
    // Redraws the frame and the caption.
    void Repaint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class CaptionFrame;
    void applyFrame();
    // AutoSize: both fonts get the character height textHeight - 5 (at least 1 pixel).
    void fitFonts(int textHeight);
    template <typename T>
    void store(T& field, const T& value);

    QWidget* form_ = nullptr;
    Qt::WindowFlags savedFlags_;
    QMargins savedMargins_;
    TBorderIcons borderIcons_ = 0;
    QColor activeBegin_;
    QColor activeEnd_;
    QColor activeFont_;
    QColor inactiveBegin_;
    QColor inactiveEnd_;
    QColor inactiveFont_;
    QString applicationName_;
    QFont applicationNameFont_;
    QFont captionFont_;
    int numColors_ = 64;
    bool autoSize_ = false;
    std::array<std::unique_ptr<TVexaCaptionSystemButton>, 4> buttons_;
    QPointer<CaptionFrame> frame_;
};

// Border style and icons a window's flags stand for.
TBorderStyle BorderStyleOf(Qt::WindowFlags flags, bool fixedSize);
TBorderIcons BorderIconsOf(Qt::WindowFlags flags);

} // namespace decor
