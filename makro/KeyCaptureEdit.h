#pragma once
// The macro window's key-capture field: it takes every key pressed in it (Tab and the
// modifiers included), passes the key's virtual-key code on and consumes the key.
#include <QLineEdit>

namespace makro {

class KeyCaptureEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit KeyCaptureEdit(QWidget* parent = nullptr);

signals:
    // virtualKey is 0 for keys without a code of their own.
    void keyCaptured(int virtualKey);

protected:
    bool event(QEvent* event) override;
};

} // namespace makro
