#pragma once
// "Network Summary": nine network-wide figures computed once when the window loads.
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <array>

class frmSummary : public QDialog {
    Q_OBJECT
public:
    explicit frmSummary(QWidget *parent = nullptr);
    QLabel *LblAF, *LblResist, *LblAP, *LblIP, *LblEff, *LblCost, *LblNA, *LblNF, *LblLA;
    std::array<QLabel *, 9> LblUnit{};
    QPushButton *OK, *Prnter;

    void Form_Load();
    void OK_Click();
    void Prnter_Click();
};
