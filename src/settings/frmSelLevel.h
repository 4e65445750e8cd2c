#pragma once
// "Selected Levels": up to six levels, picked by double-click from the level table, that the selected-levels
// view shows.
#include <QDialog>
#include <QListWidget>
#include <QPushButton>

class frmSelLevel : public QDialog {
    Q_OBJECT
public:
    explicit frmSelLevel(QWidget *parent = nullptr);
    QListWidget *RLFrom, *RLTo;
    QPushButton *OK, *Command1;

    void Form_Load();
    void RLFrom_DblClick();
    void OK_Click();
    void Command1_Click();
    // CANCEL and the close box: nothing is chosen, and the window is redrawn.
    void reject() override;

private:
    int moves_ = 0;
};
