#pragma once
// "Viewing Layers": which of the 16 primary and 48 secondary layers are shown, their names, the active
// layers given to new airways, and how airways on hidden layers are drawn (LayerDisplay).
#include "platform/VBControls.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <array>

class frmTagS : public QDialog {
    Q_OBJECT
public:
    explicit frmTagS(QWidget *parent = nullptr);

    std::array<VBCheckBox *, 17> Tag1{};  // 1..16: primary layer i shown
    std::array<QLineEdit *, 16> PLabel{}; // k: name of primary layer k + 1
    std::array<VBCheckBox *, 48> Tag2{};  // k: secondary layer k + 1 shown
    std::array<QLineEdit *, 48> TagLabel{};
    VBCheckBox *ChkData, *ChkBranch, *ChkName, *ChkArrow, *ChkNode;
    std::array<VBOptionButton *, 3> LineOpt{}; // Invisible, Dim, Solid
    QPushButton *cmdSet, *CmdReset, *OK, *Prnter;

    void Form_Load();
    void PLabel_Click(int index);
    void TagLabel_Click(int index);
    void PLabel_LostFocus(int index);
    void TagLabel_LostFocus(int index);
    void cmdSet_Click();
    void CmdReset_Click();
    void OK_Click();
    void Prnter_Click();
    // Stores the boxes into the layer table however the dialog closes.
    void Form_Unload();

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool filling_ = false;
    bool stored_ = false;
    // Name boxes typed in since loading.
    std::array<bool, 16> primaryEdited_{};
    std::array<bool, 48> secondaryEdited_{};
};
