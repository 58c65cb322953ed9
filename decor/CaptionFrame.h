#pragma once
// The window's non-client area: a child widget over the whole window, masked to the frame and
// the caption, that paints them and turns the mouse on them into the caption's behaviour.
#include <QElapsedTimer>
#include <QPoint>
#include <QWidget>

namespace decor {

class TVexaCaption;

class CaptionFrame : public QWidget {
    Q_OBJECT
public:
    CaptionFrame(TVexaCaption& caption, QWidget* form);

    // Covers the window again and masks out the client area; call after every size change.
    void Follow();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    Qt::Edges EdgesAt(QPoint windowPoint) const;
    bool WithinDoubleClick() const;

    TVexaCaption& caption_;
    int trackingButton_ = -1;     // the caption button holding the mouse
    bool systemMenuPending_ = false;
    QElapsedTimer iconClicked_;   // when the icon last opened the system menu
    bool iconSecondDown_ = false; // a second press on the icon was swallowed
    bool movePending_ = false;    // left press on the caption, not yet far enough to move
    bool movingByHand_ = false;   // the platform cannot move windows itself: follow the cursor
    QPoint pressScreenPoint_;
    QPoint windowAtPress_;
};

} // namespace decor
