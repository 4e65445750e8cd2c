#pragma once
// The rotation pad of the main window: a small square scaled 50 × 50 units, origin top left, whose
// neutral point (22, 28) is marked. Its presses, moves, releases, keys and focus loss go to the handlers.
#include <QWidget>

#include <functional>

class RotatorPad : public QWidget {
    Q_OBJECT
public:
    explicit RotatorPad(QWidget *parent = nullptr);
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x, y in pad units.
    std::function<void(int button, int shift, float x, float y)> MouseDown, MouseMove, MouseUp;
    std::function<void()> LostFocus;
    std::function<void(int keyCode)> KeyDown;
    // Drops every handler: the window that installed them is going.
    void Detach();
    // Pad units of a point of the widget.
    float UnitsX(double px) const { return static_cast<float>(px * 50.0 / std::max(1, width())); }
    float UnitsY(double py) const { return static_cast<float>(py * 50.0 / std::max(1, height())); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
