#include "platform/VBTextBox.h"

#include "platform/MouseInput.h"
#include "platform/Text1252.h"

#include <QKeyEvent>

VBTextBox::VBTextBox(QWidget *parent) : QLineEdit(parent) {}

std::string VBTextBox::Text() const {
    return FromQt(text());
}

void VBTextBox::SetText(const std::string &text) {
    setText(ToQt(text));
}

int VBTextBox::SelStart() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void VBTextBox::SetSelStart(int start) {
    setCursorPosition(std::clamp(start, 0, static_cast<int>(text().size())));
}

int VBTextBox::SelLength() const {
    return static_cast<int>(selectedText().size());
}

void VBTextBox::SetSelLength(int length) {
    const int start = SelStart();
    setSelection(start, std::clamp(length, 0, static_cast<int>(text().size()) - start));
}

void VBTextBox::SetFocus() {
    const bool had = hasFocus_;
    focusFromCode_ = true;
    setFocus();
    focusFromCode_ = false;
    if (!had) {
        hasFocus_ = true;
        emit GotFocus();
    }
}

bool VBTextBox::event(QEvent *event) {
    // Tab reaches the key handlers first; moving the focus is what it does when they leave it alone.
    if (event->type() == QEvent::KeyPress) {
        auto *e = static_cast<QKeyEvent *>(event);
        if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) {
            int keyCode = 9;
            emit KeyDown(keyCode, VB::ShiftMask(e->modifiers()));
            if (keyCode != 0) {
                int keyAscii = 9;
                emit KeyPress(keyAscii);
                if (keyAscii != 0)
                    focusNextPrevChild(e->key() == Qt::Key_Tab);
            }
            return true;
        }
    }
    return QLineEdit::event(event);
}

void VBTextBox::keyPressEvent(QKeyEvent *event) {
    int keyCode = VB::KeyCodeValue(event->key());
    if (keyCode != 0) {
        emit KeyDown(keyCode, VB::ShiftMask(event->modifiers()));
        if (keyCode == 0)
            return;
    }
    const int typed = VB::KeyAsciiValue(event->key(), event->modifiers(), event->text());
    if (typed == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int keyAscii = typed;
    emit KeyPress(keyAscii);
    if (keyAscii == 0)
        return;
    if (keyAscii != typed && keyAscii >= 32) {
        // The handler typed another character in place of the key's.
        insert(ToQt(std::string(1, static_cast<char>(keyAscii))));
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void VBTextBox::keyReleaseEvent(QKeyEvent *event) {
    int keyCode = VB::KeyCodeValue(event->key());
    if (keyCode != 0)
        emit KeyUp(keyCode, VB::ShiftMask(event->modifiers()));
    QLineEdit::keyReleaseEvent(event);
}

void VBTextBox::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    if (!focusFromCode_ && !hasFocus_) {
        hasFocus_ = true;
        emit GotFocus();
    }
}

void VBTextBox::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    if (hasFocus_) {
        hasFocus_ = false;
        emit LostFocus();
    }
}
