#pragma once
// "View Options": which items the graphics windows draw, where data values appear, the colour scheme and
// the window of significant flows with the treatment of airways outside it.
#include "platform/VBControls.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <array>

class frmViewer : public QDialog {
    Q_OBJECT
public:
    explicit frmViewer(QWidget *parent = nullptr);

    std::array<VBCheckBox *, 10> ChkViewer{};    // box i: GraphicsDetail bit i
    std::array<VBOptionButton *, 4> OptType{};   // DataDisplayMode 3, 1, 2, 0
    std::array<VBOptionButton *, 2> ColOpt{};    // Levels, Fresh / Exhaust
    QLineEdit *TxtSig, *TxtSigMin;               // maximum and minimum flow, display units
    std::array<VBOptionButton *, 3> OptDimmer{}; // All, Dim, Invisible
    QPushButton *OK, *Show, *Hide;

    void Form_Load();
    void OK_Click();
    void Show_Click();
    void Hide_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
