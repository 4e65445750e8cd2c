#include "shell/Rotator.h"

#include "platform/MouseInput.h"

#include <QMouseEvent>
#include <QPainter>

RotatorPad::RotatorPad(QWidget *parent) : QWidget(parent) {
    setFixedSize(56, 56);
    setFocusPolicy(Qt::ClickFocus);
    // A right press holds the spin: it must not also open the main window's tool bar menu, which would
    // take the next click in the drawing and leave the view turning.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setToolTip("Hold to rotate: left and right spin, up and down tilt");
}

void RotatorPad::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(228, 232, 238));
    p.setPen(QColor(120, 128, 140));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // The neutral point, with arrows out along both axes: the farther from it, the faster the turn.
    const QPointF centre(22.0 * width() / 50, 28.0 * height() / 50);
    p.setPen(QPen(QColor(40, 70, 140), 1.5));
    const double reach = width() * 0.36;
    const QPointF ends[] = {{centre.x() - reach, centre.y()},
                            {centre.x() + reach * 0.9, centre.y()},
                            {centre.x(), centre.y() - reach},
                            {centre.x(), centre.y() + reach * 0.55}};
    for (const QPointF &end : ends) {
        p.drawLine(centre, end);
        const QPointF dir = (end - centre) / std::hypot(end.x() - centre.x(), end.y() - centre.y());
        const QPointF side(-dir.y(), dir.x());
        p.drawLine(end, end - dir * 5 + side * 3);
        p.drawLine(end, end - dir * 5 - side * 3);
    }
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 3, 3);
}

void RotatorPad::mousePressEvent(QMouseEvent *event) {
    if (MouseDown)
        MouseDown(VB::MouseButtonValue(event->button()), VB::ShiftMask(event->modifiers()),
                  UnitsX(event->position().x()), UnitsY(event->position().y()));
}

void RotatorPad::mouseMoveEvent(QMouseEvent *event) {
    if (MouseMove)
        MouseMove(VB::MouseButtonMask(event->buttons()), VB::ShiftMask(event->modifiers()),
                  UnitsX(event->position().x()), UnitsY(event->position().y()));
}

void RotatorPad::mouseReleaseEvent(QMouseEvent *event) {
    if (MouseUp)
        MouseUp(VB::MouseButtonValue(event->button()), VB::ShiftMask(event->modifiers()),
                UnitsX(event->position().x()), UnitsY(event->position().y()));
}

void RotatorPad::keyPressEvent(QKeyEvent *event) {
    if (const int code = VB::KeyCodeValue(event->key()); code != 0 && KeyDown)
        KeyDown(code);
    else
        QWidget::keyPressEvent(event);
}

void RotatorPad::focusOutEvent(QFocusEvent *event) {
    if (LostFocus)
        LostFocus();
    QWidget::focusOutEvent(event);
}

void RotatorPad::Detach() {
    MouseDown = MouseMove = MouseUp = nullptr;
    LostFocus = nullptr;
    KeyDown = nullptr;
}
