#pragma once
// The error list of a simulation run: one line per airway ("airway number TAB fault"), "Goto" to bring
// the selected line's airway into view, "Cancel" to stop the run.
#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

class frmError : public QWidget {
    Q_OBJECT
public:
    // mainWindow: the window whose bottom right corner the list sits in (the screen when null).
    explicit frmError(QWidget *mainWindow = nullptr);

    // Closes and deletes the window without stopping anything.
    void Unload();
    // Run by "Cancel" and by the close box after RunState is set: closes the progress window.
    std::function<void()> onStop;

    QLabel *NET;
    QListWidget *Errorlist;
    QPushButton *Command2, *Command1;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void Command1_Click();
    void Command2_Click();
    // Widens the window to the lines first .. last of the list where they need more room.
    void fitLines(int first, int last);
    bool unloading_ = false;
};
