#pragma once
// The smoke dialog "Smoke Simulation": starts a contaminant spread and shows its progress.
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmSmoke : public QWidget {
    Q_OBJECT
public:
    explicit frmSmoke(QWidget *parent = nullptr);
    // Told when the window closes, however it is closed.
    std::function<void()> Unloaded;

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QLineEdit *TxtItt, *TxtRate, *TxtSpread, *TxtErr;
    QRadioButton *OptSimSource[2];
    QCheckBox *ChkRetain;
    QPushButton *OK, *Cancel;

    void OK_Click();
    void Cancel_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
};
