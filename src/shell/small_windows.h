#pragma once
// Small windows other code shows: the airway data pop-up and the transient message.
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

// A frameless box of rich text that the editor places, fills and shows beside the pointer.
class frmPopData : public QWidget {
    Q_OBJECT
public:
    explicit frmPopData(QWidget *parent = nullptr);
    QTextEdit *Text;
};

// Shows CurrentLine and closes itself after MessageTime milliseconds.
class frmMessage : public QWidget {
    Q_OBJECT
public:
    explicit frmMessage(QWidget *parent = nullptr);
    // Shows the window with CurrentLine; it closes itself after MessageTime ms.
    void ShowMessage();
    QTimer Timer;

private:
    QTextEdit *text_;
};

// Places a tool window at the main window's lower right corner, 40 twips above its bottom edge, and shows
// it modeless, kept on top of the program's other windows, without moving or sizing it afterwards.
void PlaceLowerRight(QWidget &window);

// The program's instances (created on first use).
frmPopData &PopData();
frmMessage &MessageWindow();
