#pragma once
// A network of a few airways shown in a real spreadsheet window (offscreen), with scripted boxes.
#include "common/RealKeys.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "tables/TableFixture.h"
#include "tables/frmSpreadSheet.h"
#include "tables/spreadsheet_state.h"

class SheetTest : public TableWindowTest<frmSpreadSheet> {
protected:
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
        Show();
        grid().SetFocus();
    }
    VBGrid &grid() { return *window->Spreadsheet; }
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
        RealKeys::Type(&grid(), QString(text).left(1));
        RealKeys::Type(window->TxtEdit, QString(text).mid(1));
        RealKeys::Click(window->TxtEdit, Qt::Key_Return);
    }
    bool Marked(int row, int col) {
        return SheetCellColour.InBounds(row, col) && SheetCellColour(row, col) == SheetFixedColour;
    }
};
