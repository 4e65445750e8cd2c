#pragma once
// Coordinate entry: the point (X, Y, RL, optionally shifted) or the displacement (dX, dY, dRL) typed for the
// drawing and move tools. The opener sets EntryPointX..Z and CoordsForSelection and reads the result from
// them and CoordsCancelled after the dialog closes.
#include "dialogs/CancelOnClose.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class VBCheckBox;
class VBComboBox;

class frmCoords : public CancelOnClose {
    Q_OBJECT
public:
    explicit frmCoords(QWidget *parent = nullptr);

    void OK_Click();
    void Cancel_Click();

    QGroupBox *Frame1, *Frame2;
    QLineEdit *TxtX, *TxtY, *TxtZ, *TxtdX, *TxtdY, *TxtdZ;
    VBComboBox *CmbRL;
    VBCheckBox *ChkCopy;
    QPushButton *OK, *Cancel;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void CloseBoxHandler() override { Cancel_Click(); }

private:
    void Form_Load();
    void CmbRL_Click();
    void unload(int result);
    bool relative_ = false;
    int makeCopyAtLoad_ = 0; // MakeCopy as it was before the dialog opened
};
