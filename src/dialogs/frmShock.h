#pragma once
// The shock loss calculator: adds up the equivalent lengths of an airway's fittings. The result is left
// in ShockTotal, in display units of length (0 after Cancel).
#include "dialogs/CancelOnClose.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class VBCheckBox;

class frmShock : public CancelOnClose {
    Q_OBJECT
public:
    explicit frmShock(QWidget *parent = nullptr);

    static constexpr int Types = 20;
    // Recomputes ShockTotal and LblShockTotal from the ticks and counts; returns the first ticked count box
    // whose count is refused, or none.
    QLineEdit *ReCalc();

    std::array<VBCheckBox *, Types> ChkShockType{};
    std::array<QLineEdit *, Types> LblNumS{};
    QLabel *LblShockTotal;
    QPushButton *CmdUpdate, *cmdOK, *Command2;
    // Equivalent length of each shock type, m.
    std::array<int, Types> EquivalentLength{};
    // True only while a key typed into a count box ticks its row.
    bool TypingCount = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void CloseBoxHandler() override { Command2_Click(); }

private:
    void Form_Load();
    void ChkShockType_Click(int index);
    void cmdOK_Click();
    void Command2_Click();
};
