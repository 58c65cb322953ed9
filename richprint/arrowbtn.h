#pragma once
// TArrowButton: a triangular button pointing up, right, down or left. Only presses inside the
// outer triangle count; a press there shows the inner triangle's edges pressed, and the release
// completes a click.
#include <QColor>
#include <QPolygon>
#include <QWidget>
#include <functional>

namespace richprint {

enum class TButtonDirection { arwUP, arwRIGHT, arwLEFT, arwDOWN };

// The triangles for a button of the given size (halves rounded toward zero).
QPolygon OuterTriangle(TButtonDirection direction, int width, int height);
QPolygon InnerTriangle(TButtonDirection direction, int width, int height);

class TArrowButton : public QWidget {
    Q_OBJECT
public:
    // 33 x 33, pointing up, teal.
    explicit TArrowButton(QWidget* parent = nullptr);

    TButtonDirection Direction() const { return direction_; }
    void SetDirection(TButtonDirection direction);
    QColor ButtonColor() const { return colour_; }
    void SetButtonColor(const QColor& colour);
    bool Pressed() const { return pressed_; }

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TButtonDirection direction_ = TButtonDirection::arwUP;
    QColor colour_;
    bool pressed_ = false;
};

} // namespace richprint
