#pragma once
// The fans of one airway (CurrentAirway): which database fan, how many, in series or in parallel, and the
// curve the solver uses. OK writes the airway; the insert-fan tool records what changed for undo.
#include "dialogs/CancelOnClose.h"

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class VBComboBox;
class VBOptionButton;

class frmFanEdit : public CancelOnClose {
    Q_OBJECT
public:
    explicit frmFanEdit(QWidget *parent = nullptr);

    void Command1_Click();
    void Command2_Click();

    QGroupBox *FrmFan, *Frame1, *Frame2;
    VBComboBox *FanCombo2;
    QLineEdit *TxtFanN, *TxtVPart;
    QScrollBar *VSF;
    VBOptionButton *OptSer2, *OptPar2;
    std::array<VBOptionButton *, 3> OptCurveType{};
    QLabel *LblCPart;
    QPushButton *Command1, *Command2;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void CloseBoxHandler() override { Command2_Click(); }

private:
    void Form_Load();
    void FanCombo2_Click();
    void VSF_Change();
    void OptCurveType_Click(int index);
    void unload(int result);
};
