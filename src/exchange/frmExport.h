#pragma once
// "DXF Export Options": the text and symbol sizes of the DXF export, whether only visible airways go out,
// and whether the export goes ahead at all.
#include <QDialog>

class QLineEdit;
class QPushButton;
class VBCheckBox;

class frmExport : public QDialog {
    Q_OBJECT
public:
    explicit frmExport(QWidget *parent = nullptr);

    QLineEdit *TxtData, *TxtNode, *TxtAirway, *TxtNodeCircle, *TxtArrow, *TxtFloat;
    VBCheckBox *ChkVisible;
    QPushButton *Export, *Cancel;

    // Centres the dialog and shows the sizes; a size of 0 shows the default of its kind.
    void Form_Load();
    // Stores the check box and the six sizes and confirms the export; a size beyond the 16-bit range is
    // reported and nothing is stored.
    void Export_Click();
    void Cancel_Click();
};

// Shows the options dialog modally. ExportConfirmed tells afterwards whether to export.
void ShowExportOptions();
