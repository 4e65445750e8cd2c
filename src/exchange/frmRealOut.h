#pragma once
// The output dialog "Realtime Output File": the results file and the seconds between writes. OK stores
// both and sets the output timer's interval; the close box stores nothing.
#include <QDialog>

class QLineEdit;
class QPushButton;

class frmRealOut : public QDialog {
    Q_OBJECT
public:
    explicit frmRealOut(QWidget *parent = nullptr);

    void OKLoad();
    // Stores the dialog; a seconds text that does not read as an interval is refused (false, nothing
    // stored).
    bool OKSave();

    void cmdOK_Click();
    void CmdBrowse_Click();

    QLineEdit *TxtRealOut = nullptr;
    QPushButton *CmdBrowse = nullptr;
    QLineEdit *TxtTimer = nullptr;
    QPushButton *cmdOK = nullptr;
};
