#pragma once
// A network of a few airways shown in a real spreadsheet window (offscreen), with scripted boxes.
#include "common/ModelFixture.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "tables/frmSpreadSheet.h"
#include "tables/spreadsheet_state.h"

#include <QTest>

#include <memory>

class SheetTest : public ModelTest {
protected:
    ScriptedDialogs boxes;
    std::unique_ptr<frmSpreadSheet> sheet;

    void SetUp() override {
        ModelTest::SetUp();
        UseSIDisplay();
    }
    void TearDown() override {
        sheet.reset();
        VB::SetLocaleDecimalSeparatorOverride(0);
    }

    // A level drive of airway number `number` from (x, 0, 100) to (x + 50, 0, 100).
    int Drive(int number, int32_t x, const std::string &name = "") {
        const int a = AddAirway(x, 0, 100, x + 50, 0, 100);
        AirwayNumber(a) = number;
        AirwayName(a) = name;
        AirwayLength(a) = 50;
        return a;
    }
    // Opens the window on every airway.
    void Open() {
        for (int a = 1; a <= AirwayCount; ++a)
            VisibleAirways(a) = a;
        VisibleAirways(AirwayCount + 1) = 0;
        sheet = std::make_unique<frmSpreadSheet>();
        sheet->show();
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
        sheet->Form_Load();
        grid().SetFocus();
    }
    VBGrid &grid() { return *sheet->Spreadsheet; }
    std::string cell(int row, int col) { return grid().TextMatrix(row, col); }
    // The grid row of airway slot a.
    int RowOf(int a) {
        for (int r = 1; r < grid().Rows(); ++r)
            if (cell(r, 0) == std::to_string(a))
                return r;
        return 0;
    }
    void Go(int row, int col) {
        grid().SetRow(row);
        grid().SetCol(col);
    }
    // Types text into a cell through the edit box and commits it with Enter.
    void Type(int row, int col, const char *text) {
        Go(row, col);
        QTest::keyClicks(&grid(), QString(text).left(1));
        QTest::keyClicks(sheet->TxtEdit, QString(text).mid(1));
        QTest::keyClick(sheet->TxtEdit, Qt::Key_Return);
    }
    bool Marked(int row, int col) { return SheetCellColour(row, col) == SheetFixedColour; }
};
