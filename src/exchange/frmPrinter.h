#pragma once
// "PRINT NETWORK": the printer, paper, orientation and colour of the network printout, its title, scale
// and copies. Print runs the printout once per copy. The printer, paper, colour and orientation are kept
// in the per-user settings store, also when the dialog is cancelled.
#include <QDialog>

#include <string>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class VBCheckBox;
class VBComboBox;
class VBOptionButton;

// True while the dialog checks an orientation button itself, so that the button's click does nothing.
extern bool OrientationBusy;

class frmPrinter : public QDialog {
    Q_OBJECT
public:
    explicit frmPrinter(QWidget *parent = nullptr);
    ~frmPrinter() override;

    VBComboBox *PrintList, *PrintSize;
    QLineEdit *PSizer;
    VBCheckBox *ChkColour;
    VBOptionButton *OptOrient[2];
    QFrame *ShpPortrait, *ShpLandscape;
    QLineEdit *TxtTitle, *TxtScale, *TxtCopies;
    QLabel *Printing;
    QPushButton *PrintIt, *CancelIt;

    bool Loading = false;
    std::vector<std::string> PaperName; // the printer's paper names from index 1
    std::vector<int> PaperCode;         // their codes by position in the paper list
    int PaperCount = 0;
    double PageWidth = 0; // printable width × 0.995, mm
    double ViewWidth = 0; // world width of the active graphics window, m
    float FitScale = 0;   // the scale at which the window fits the page

    void Form_Load();
    void Form_Unload();
    void OptOrient_Click(int index);
    void PrintList_Click();
    void PrintSize_Click();
    void TxtScale_LostFocus();
    void PrintIt_Click();
    void CancelIt_Click();
    // Stores the printer, paper, colour and orientation.
    void SavePrintSettings();
    // The fitted scale of the active window on the current paper, shown in TxtScale.
    void Setscale();

    // Closing, whatever the way, stores the settings.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void PaperListFill();
    void PrintPreviewUpdate();
    void showPrintableSize();
};
