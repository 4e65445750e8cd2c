#pragma once
// The one place where Qt's mouse, wheel and key input becomes the program's: buttons 1 left, 2 right,
// 4 middle (a press or release carries its one button, a move the sum of the held ones), Shift/Ctrl/Alt
// bits 1, 2, 4, VB key codes, and positions in the picture's scale units.
#include <QObject>
#include <QPointF>
#include <QString>
#include <QTimer>

#include <functional>

class PictureBox;
class QWidget;

namespace VB {
constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;
constexpr int vbMiddleButton = 4;
constexpr int vbShiftMask = 1;
constexpr int vbCtrlMask = 2;
constexpr int vbAltMask = 4;

// One button as its VB value; 0 for buttons the program does not use.
int MouseButtonValue(Qt::MouseButton button);
// The held buttons as the sum of their VB values.
int MouseButtonMask(Qt::MouseButtons buttons);
// Shift, Ctrl and Alt as VB bits.
int ShiftMask(Qt::KeyboardModifiers modifiers);
// The key state of a wheel step: 0x1 left, 0x2 right, 0x4 Shift, 0x8 Ctrl, 0x10 middle.
int WheelKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// How far, in pixels, the pointer must travel between a press and its release to make a drag (the
// platform's start-drag distance, measured as |dx| + |dy|).
int DragStartDistance();
// A Qt key as a VB key code (letters and digits as their upper-case characters); 0 when it has none.
int KeyCodeValue(int qtKey);
// The character code a key press types, as a text box's KeyPress sees it: Ctrl with a letter gives 1 .. 26
// (Ctrl+C 3, Ctrl+V 22), Backspace 8, Tab 9, Enter 13, Esc 27, a character its Windows-1252 code; 0 when
// the key types nothing (arrows, function keys, and Delete, whose text is the control code 127).
int KeyAsciiValue(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text);
} // namespace VB

// Watches a widget that shows a picture box and forwards its input in the program's terms; an event
// without a handler is left to the widget. While a
// button is held a timer checks that it still is: a release the widget never received (the pointer left
// the application, a dialog took the mouse) is delivered then, which also ends the continuous zoom.
class MouseInputAdapter : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void(int button, int shift, float x, float y)> press, release;
        std::function<void(int buttons, int shift, float x, float y)> move;
        std::function<void(int keys, int rotation, int x, int y)> wheel;
        std::function<void(int keyCode)> key;
    };

    MouseInputAdapter(QWidget *widget, const PictureBox *picture, Handlers handlers,
                      QObject *parent = nullptr);

    // Where the timer learns which buttons are held; the application's state by default.
    void SetButtonStateSource(std::function<Qt::MouseButtons()> source);
    // The held-button check interval, ms.
    static constexpr int CheckIntervalMs = 30;
    bool Checking() const { return heldTimer_.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *widget_;
    const PictureBox *picture_;
    Handlers handlers_;
    std::function<Qt::MouseButtons()> buttonState_;
    QTimer heldTimer_;
    int pressedButton_ = 0;
    int lastShift_ = 0;
    QPointF lastPosition_;

    QPointF toScale(const QPointF &pixel) const;
    void checkHeld();
};
