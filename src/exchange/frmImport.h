#pragma once
// "Import Data Options": the options of the drawing import and its progress text; Import imports the file
// named by ImportFileName. Each opening starts from the defaults.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class VBCheckBox;
struct ImportOptions;

class frmImport : public QDialog {
    Q_OBJECT
public:
    explicit frmImport(QWidget *parent = nullptr);

    VBCheckBox *ChkRDrive, *ChkRRaise, *ChkSize, *ChkRL, *ChkMerge;
    QLabel *Label1, *Label3, *Label4;
    QLineEdit *TxtXOffset, *TxtYOffset, *TxtZOffset;
    VBCheckBox *NegX, *NegY, *NegZ;
    QLabel *LblMessage;
    QPushButton *Import, *Cancel;

    // Centres the dialog on the screen.
    void Form_Load();
    // Imports with the dialog's options while it stays shown, then closes it and redraws; an offset that
    // is not a number keeps it open.
    void Import_Click();
    void Cancel_Click();

    // The options as the controls hold them.
    ImportOptions Options() const;

    // Escape and the close box wait while the import runs.
    void reject() override;

private:
    bool importing_ = false;
};
