#pragma once
// Three airways in a row, joined at (100, 0) and (200, 0), numbered 1 to 3, and the edit dialog opened on
// one of them.
#include "dialogs/DialogFixture.h"
#include "dialogs/frmAirEdit.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/undo.h"

#include <memory>

class AirEditTest : public DialogTest {
protected:
    int a = 0, b = 0, c = 0;
    void SetUp() override {
        DialogTest::SetUp();
        a = AddAirway(0, 0, 500, 100, 0, 500);
        b = AddAirway(100, 0, 500, 200, 0, 500);
        c = AddAirway(200, 0, 500, 300, 0, 500);
        for (int s : {a, b, c})
            AirwayNumber(s) = s;
        UpdateNodeKeys();
        CalcAllAirways();
        ResetUndoSteps();
        FanName(7) = "Main";
    }
    std::unique_ptr<frmAirEdit> Open(int airway, int mode = 1) {
        CurrentAirway = airway;
        AirEditMode = mode;
        return Shown<frmAirEdit>();
    }
    static std::string Text(const QLineEdit *box) { return box->text().toStdString(); }
};
