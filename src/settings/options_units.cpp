// The unit grid of the settings dialog: display formats in SI and British units and the British factors,
// edited in place; a format must turn the number 1 into a number, a factor must be a number above 0.
#include "settings/frmOptions.h"

#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/GridEdit.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"

void frmOptions::ValidateData() {
    const std::string text = TxtEdit->Text();
    bool valid;
    if (MSFlexGrid1->Col() == 5) {
        const auto factor = VB::StrictNumber(text, ',');
        valid = factor && InRange(Value::UnitFactor, *factor);
    } else {
        valid = VB::StrictNumber(FormatPattern(1, text, 7), ',').has_value();
    }
    if (!valid) {
        VB::MsgBox("Invalid format code - formats should look like 0 or 0.00 etc");
        TxtEdit->SetText(SavedCellText);
    }
}

void frmOptions::unitGridLeaveCell() {
    // Open also while another tab hides it: OK and the unit buttons are pressed there.
    if (TxtEdit->isHidden())
        return;
    const int col = MSFlexGrid1->Col();
    if (col == 1 || col == 3 || col == 5)
        ValidateData();
    MSFlexGrid1->SetText(TxtEdit->Text());
    TxtEdit->SetText("");
    TxtEdit->hide();
}

void frmOptions::wireUnitGrid() {
    VBGrid *g = MSFlexGrid1;
    connect(g, &VBGrid::DblClick, this, [this, g] {
        SavedCellText = g->Text();
        int key = 32;
        GridEditShow(*g, *TxtEdit, key);
    });
    connect(g, &VBGrid::KeyPress, this, [this, g](int &key) {
        if (!TxtEdit->isVisible())
            SavedCellText = g->Text();
        // Unit names and factors are not typed over.
        const int col = g->Col();
        if (col == 2 || col == 4 || col == 5)
            return;
        if (key == '.')
            key = DecimalSeparator;
        GridEditShow(*g, *TxtEdit, key);
    });
    // Format codes keep ".": the box turns the locale's mark back.
    connect(TxtEdit, &VBTextBox::KeyPress, this, [](int &key) {
        if (key == 13)
            key = 0;
        else if (key == DecimalSeparator)
            key = '.';
    });
    connect(TxtEdit, &VBTextBox::KeyDown, this,
            [this, g](int &code, int shift) { GridEditKey(*g, *TxtEdit, code, shift); });
    connect(g, &VBGrid::LeaveCell, this, &frmOptions::unitGridLeaveCell);
    // Focus coming back to the grid commits with the same check: Enter on the last row, Tab in the last
    // column and a click from elsewhere in the dialog reach the cell this way.
    connect(g, &VBGrid::GotFocus, this, &frmOptions::unitGridLeaveCell);
}
