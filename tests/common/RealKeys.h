#pragma once
// Keys pressed as a real X11 keyboard presses them. QTest's own key clicks leave out the text some keys
// carry (Delete, Esc), so a handler that reads the text never sees what a user's key gives it. Here each
// press and release carries the key's text: Delete "\x7f", Backspace "\b", Esc "\x1b", Return and Enter
// "\r", Tab "\t", Ctrl with a letter its control code (Ctrl+C "\x03"), a printable key its character
// (upper case with Shift), navigation and function keys none. Modifier keys go down before the key and
// up after it. A null widget sends to the focus widget, as the keyboard does.
#include <QString>
#include <Qt>

class QWidget;

namespace RealKeys {
// The text an X11 keyboard sends with the key.
QString TextOf(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// One key pressed and released.
void Click(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Each character typed as its key ("\r" Return, "\t" Tab, "\b" Backspace, "\x7f" Delete, "\x1b" Esc);
// an upper-case letter with Shift.
void Type(QWidget *widget, const QString &text);
} // namespace RealKeys
