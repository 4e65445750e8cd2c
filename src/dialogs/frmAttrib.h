#pragma once
// Which groups of airway attributes the attribute copy/paste tool carries: a ticked box is copied, its bit
// of AttributeMask clear.
#include <QDialog>
#include <array>

class QGroupBox;
class QPushButton;
class VBCheckBox;

class frmAttrib : public QDialog {
    Q_OBJECT
public:
    explicit frmAttrib(QWidget *parent = nullptr);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    static constexpr int Groups = 9;
    QGroupBox *Frame3D1;
    std::array<VBCheckBox *, Groups> ChkAttrib{};
    QPushButton *Command1, *Command2, *Command3;
};
