#include "platform/MouseInput.h"

#include "platform/PictureBox.h"
#include "platform/Text1252.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace VB {

int MouseButtonValue(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return vbMiddleButton;
    default:
        return 0;
    }
}

int MouseButtonMask(Qt::MouseButtons buttons) {
    int mask = 0;
    if (buttons & Qt::LeftButton)
        mask += vbLeftButton;
    if (buttons & Qt::RightButton)
        mask += vbRightButton;
    if (buttons & Qt::MiddleButton)
        mask += vbMiddleButton;
    return mask;
}

int ShiftMask(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask += vbShiftMask;
    if (modifiers & Qt::ControlModifier)
        mask += vbCtrlMask;
    if (modifiers & Qt::AltModifier)
        mask += vbAltMask;
    return mask;
}

int WheelKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    int keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= 0x1;
    if (buttons & Qt::RightButton)
        keys |= 0x2;
    if (modifiers & Qt::ShiftModifier)
        keys |= 0x4;
    if (modifiers & Qt::ControlModifier)
        keys |= 0x8;
    if (buttons & Qt::MiddleButton)
        keys |= 0x10;
    return keys;
}

int DragStartDistance() {
    return QApplication::startDragDistance();
}

int KeyCodeValue(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // the same character codes
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

int KeyAsciiValue(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text) {
    if ((modifiers & Qt::ControlModifier) && qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey - Qt::Key_A + 1;
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    if (text.isEmpty() || (modifiers & (Qt::ControlModifier | Qt::AltModifier)))
        return 0;
    // Only the keys above type a control character; any other control text (Delete's 127, a dead or
    // unmapped key's code below 32) types nothing.
    const std::string bytes = FromQt(text.left(1));
    const int code = static_cast<unsigned char>(bytes[0]);
    return code >= 32 && code != 127 ? code : 0;
}

} // namespace VB

MouseInputAdapter::MouseInputAdapter(QWidget *widget, const PictureBox *picture, Handlers handlers,
                                     QObject *parent)
    : QObject(parent), widget_(widget), picture_(picture), handlers_(std::move(handlers)),
      buttonState_([] { return QGuiApplication::mouseButtons(); }) {
    heldTimer_.setInterval(CheckIntervalMs);
    connect(&heldTimer_, &QTimer::timeout, this, &MouseInputAdapter::checkHeld);
    widget_->installEventFilter(this);
    widget_->setMouseTracking(true);
}

void MouseInputAdapter::SetButtonStateSource(std::function<Qt::MouseButtons()> source) {
    buttonState_ = std::move(source);
}

QPointF MouseInputAdapter::toScale(const QPointF &pixel) const {
    return {picture_->FromPixelX(pixel.x()), picture_->FromPixelY(pixel.y())};
}

void MouseInputAdapter::checkHeld() {
    if (buttonState_() != Qt::NoButton)
        return;
    heldTimer_.stop();
    const int button = pressedButton_;
    pressedButton_ = 0;
    if (handlers_.release && button != 0)
        handlers_.release(button, lastShift_, static_cast<float>(lastPosition_.x()),
                          static_cast<float>(lastPosition_.y()));
}

bool MouseInputAdapter::eventFilter(QObject *watched, QEvent *event) {
    if (watched != widget_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (!handlers_.press)
            return false;
        auto *e = static_cast<QMouseEvent *>(event);
        const int button = VB::MouseButtonValue(e->button());
        if (button == 0)
            return false;
        lastShift_ = VB::ShiftMask(e->modifiers());
        lastPosition_ = toScale(e->position());
        if (pressedButton_ == 0)
            pressedButton_ = button;
        heldTimer_.start();
        if (handlers_.press)
            handlers_.press(button, lastShift_, static_cast<float>(lastPosition_.x()),
                            static_cast<float>(lastPosition_.y()));
        return true;
    }
    case QEvent::MouseMove: {
        if (!handlers_.move)
            return false;
        auto *e = static_cast<QMouseEvent *>(event);
        lastShift_ = VB::ShiftMask(e->modifiers());
        lastPosition_ = toScale(e->position());
        if (handlers_.move)
            handlers_.move(VB::MouseButtonMask(e->buttons()), lastShift_,
                           static_cast<float>(lastPosition_.x()), static_cast<float>(lastPosition_.y()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!handlers_.release)
            return false;
        auto *e = static_cast<QMouseEvent *>(event);
        const int button = VB::MouseButtonValue(e->button());
        if (button == 0)
            return false;
        lastShift_ = VB::ShiftMask(e->modifiers());
        lastPosition_ = toScale(e->position());
        if (e->buttons() == Qt::NoButton) {
            heldTimer_.stop();
            pressedButton_ = 0;
        }
        if (handlers_.release)
            handlers_.release(button, lastShift_, static_cast<float>(lastPosition_.x()),
                              static_cast<float>(lastPosition_.y()));
        return true;
    }
    case QEvent::Wheel: {
        if (!handlers_.wheel)
            return false;
        auto *e = static_cast<QWheelEvent *>(event);
        if (handlers_.wheel) {
            const QPoint p = e->position().toPoint();
            handlers_.wheel(VB::WheelKeys(e->buttons(), e->modifiers()), e->angleDelta().y(), p.x(), p.y());
        }
        return true;
    }
    case QEvent::KeyPress: {
        auto *e = static_cast<QKeyEvent *>(event);
        const int code = VB::KeyCodeValue(e->key());
        if (code == 0 || !handlers_.key)
            return false;
        handlers_.key(code);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
