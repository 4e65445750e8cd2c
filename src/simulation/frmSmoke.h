#pragma once
// The smoke dialog "Smoke Simulation": starts a contaminant spread and shows its progress.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmSmoke : public QWidget {
    Q_OBJECT
public:
    explicit frmSmoke(QWidget *parent = nullptr);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QLineEdit *TxtItt, *TxtRate, *TxtSpread, *TxtErr;
    QRadioButton *OptSimSource[2];
    QCheckBox *ChkRetain;
    QPushButton *OK, *Cancel;

    void OK_Click();
    void Cancel_Click();
};
