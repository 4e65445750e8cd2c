#pragma once
// The level table "Level List" (modal): levels 1 .. 249 by name, RL High and RL Low, edited in place. The
// grid is the only working copy: the level table takes it over at OK.
#include <QDialog>

#include <map>
#include <string>

class QPushButton;
class VBGrid;
class VBTextBox;

class frmRLBase : public QDialog {
    Q_OBJECT
public:
    explicit frmRLBase(QWidget *parent = nullptr);
    ~frmRLBase() override;

    VBGrid *GridRL = nullptr;
    VBTextBox *TxtEdit = nullptr;
    QPushButton *RLOK = nullptr, *RLCancel = nullptr;
    bool LevelsChanged = false;

    void Form_Load();
    void PasteData_Click();
    void CopyData_Click();
    void RLOK_Click();
    void RLCancel_Click();
    void mnuSave_Click();
    void mnuExit_Click();

    QAction *MenuItem(const std::string &name) const;

protected:
    // The close box: Cancel.
    void reject() override;

private:
    std::map<std::string, QAction *> items_;
    void gridKeyPress(int &keyAscii);
    void gridKeyDown(int &keyCode, int shift);
};

// Tools > "Levels": the level table, modal.
void ShowLevelTable(QWidget *owner);
