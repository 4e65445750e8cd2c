#pragma once
// Small windows other code shows: the airway data pop-up and the transient message.
#include <QLabel>
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

// "Gustrom Messenger": shows CurrentLine centred on the screen and closes itself after MessageTime ms.
class frmMessage : public QWidget {
    Q_OBJECT
public:
    explicit frmMessage(QWidget *parent = nullptr);
    // Loads the window with CurrentLine and MessageTime and shows it.
    void ShowMessage();
    void Form_Load();
    void Timer1_Timer();
    QLabel *LblMessage;
    QTimer Timer1;
};

// Places a tool window at the main window's lower right corner, 40 twips above its bottom edge, and shows
// it modeless, kept on top of the program's other windows, without moving or sizing it afterwards.
void PlaceLowerRight(QWidget &window);

// The program's instances (created on first use).
frmPopData &PopData();
frmMessage &MessageWindow();
