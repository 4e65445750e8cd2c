#pragma once
// A one-line text box with the key and focus events the program's windows handle: KeyDown with a key
// code and KeyPress with a character code, both of which a handler may change or set to 0 to swallow the
// key, and GotFocus / LostFocus.
#include <QLineEdit>

#include <string>

class VBTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit VBTextBox(QWidget *parent = nullptr);

    // The text as the model holds it (Windows-1252).
    std::string Text() const;
    void SetText(const std::string &text);
    // Caret position and selection length in characters; a start beyond the text puts the caret at its end.
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);
    // Takes the focus; GotFocus runs at once when the box did not have it, whether or not the window is
    // active.
    void SetFocus();

signals:
    void KeyDown(int &keyCode, int shift);
    void KeyPress(int &keyAscii);
    void KeyUp(int &keyCode, int shift);
    void GotFocus();
    void LostFocus();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool focusFromCode_ = false;
    bool hasFocus_ = false;
};
