// Cell editing of the network spreadsheet: opening the edit box, committing it, and what a committed
// value does to its row (node names, fixed marks, length and resistance).
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/text_files.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/GridEdit.h"
#include "platform/System.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"
#include "tables/frmSpreadSheet.h"
#include "tables/spreadsheet_state.h"

#include <cmath>
#include <optional>
#include <tuple>
#include <utility>

namespace {

// A cell's number: "." or "," as the decimal mark, the whole text a number.
std::optional<double> cellNumber(const std::string &text) {
    return VB::StrictNumber(text, ',');
}

} // namespace

void frmSpreadSheet::gridKeyPress(int &keyAscii) {
    if (GridCommandKey(keyAscii, *TxtEdit, {[this] { mnuCopy_Click(); }, [this] { mnuPaste_Click(); }, {}}))
        return;
    // Typing opens nothing in the slot column, the read-only columns and the headings.
    if (!editable(Spreadsheet->Row(), Spreadsheet->Col()))
        return;
    GridEditShow(*Spreadsheet, *TxtEdit, keyAscii);
}

bool frmSpreadSheet::editable(int row, int col) const {
    return row >= 1 && col >= 1 && !Spreadsheet->ColReadOnly(col);
}

void frmSpreadSheet::gridDblClick() {
    if (!editable(Spreadsheet->Row(), Spreadsheet->Col()))
        return;
    int key = 32;
    GridEditShow(*Spreadsheet, *TxtEdit, key);
}

void frmSpreadSheet::gridKeyDown(int &keyCode, int) {
    switch (keyCode) {
    case 114:
        Search();
        break;
    case 116:
        mnuSim_Click();
        break;
    case 46:
        if (editable(Spreadsheet->Row(), Spreadsheet->Col())) {
            Spreadsheet->SetText("");
            SheetChanged = true;
        }
        break;
    default:
        break;
    }
}

bool frmSpreadSheet::cellRule(int col, int a, int &unit, Value &rule) const {
    // A row shows the shape its airway counts as; a row of no airway yet is rectangular.
    const int32_t shape = a >= 1 ? OneShape(AirwayFlags(a)) : AirwayFlag::Rectangular;
    const bool irregular = (shape & AirwayFlag::Irregular) != 0;
    // Only a round airway's height is no size: it has none.
    const bool round = (shape & (AirwayFlag::Irregular | AirwayFlag::Rectangular)) == 0;
    const std::pair<int, std::pair<int, Value>> rules[] = {
        {SheetColLength, {Quantity::Length, Value::Length}},
        {SheetColFlow, {Quantity::Airflow, Value::FixedFlow}}, // a typed flow is fixed
        {SheetColResistance, {Quantity::Resistance, Value::Resistance}},
        {SheetColKFactor, {Quantity::FrictionFactor, Value::FrictionFactor}},
        {SheetColShock, {Quantity::Length, Value::ShockLength}},
        {SheetColFPres, {Quantity::Pressure, Value::Pressure}},
        {SheetColHeight, {Quantity::Length, round ? Value::Size : Value::Section}},
        {SheetColWidth, irregular ? std::pair{Quantity::Area, Value::SectionArea}
                                  : std::pair{Quantity::Length, Value::Section}},
    };
    for (const auto &[column, r] : rules)
        if (column == col) {
            std::tie(unit, rule) = r;
            return true;
        }
    if (col < SheetColX1 || col > SheetColZ2)
        return false;
    unit = Quantity::Coordinates;
    rule = (col - SheetColX1) % 3 == 2 ? Value::Elevation : Value::PlanCoordinate;
    return true;
}

bool frmSpreadSheet::refusedCell(int row, int col, const std::string &text, Value &rule) {
    int unit = 0;
    if (!cellNumber(text) || !cellRule(col, RowAirway(row), unit, rule))
        return false;
    try {
        TypedValue(rule, text, unit);
        return false;
    } catch (const ValueRefused &) {
        return true;
    }
}

void frmSpreadSheet::refuseCell(Value rule) {
    VB::MsgBox("Error in Number Format\r\n" + RangeText(rule));
}

void frmSpreadSheet::commitEdit() {
    if (!TxtEdit->isVisible())
        return;
    const std::string typed = TxtEdit->Text();
    const int r = Spreadsheet->Row(), c = Spreadsheet->Col();
    // A number column keeps its value when what was typed is no number: no mark, no change, the sheet
    // stays open. Text the cell already holds ("Negate" under F Pres) is no change.
    int unit = 0;
    Value rule{};
    const bool numberColumn = cellRule(c, RowAirway(r), unit, rule) || c == SheetColPdrop || c == SheetColFan;
    if (numberColumn && !typed.empty() && typed != Spreadsheet->Text() && !cellNumber(typed)) {
        TxtEdit->hide();
        VB::MsgBox("Error in Number Format");
        return;
    }
    // A number outside its rule is refused: the cell keeps what it held.
    if (refusedCell(r, c, typed, rule)) {
        TxtEdit->hide();
        refuseCell(rule);
        return;
    }
    Spreadsheet->SetText(typed);
    CheckNames();
    TxtEdit->hide();
}

double frmSpreadSheet::Star(const std::string &text) {
    if (text.empty())
        return 0;
    if (const auto v = cellNumber(text))
        return *v;
    VB::MsgBox("Error in Number Format");
    return 0;
}

void frmSpreadSheet::CheckNames() {
    VBGrid &g = *Spreadsheet;
    VB::SetScreenPointer(VB::vbHourglass);
    if (commitCell(g.Row(), g.Col())) {
        // The calculated resistance is the cell the user sees next.
        TxtEdit->hide();
        g.SetCol(SheetColResistance);
    }
    VB::SetScreenPointer(VB::vbDefault);
}

bool frmSpreadSheet::commitCell(int r, int c) {
    VBGrid &g = *Spreadsheet;
    const int a = RowAirway(r);
    bool resistanceCalculated = false;
    if (c == SheetColFrom || c == SheetColTo) {
        // Every end at the same position, at either end of any row, takes the same node name.
        const int first = c == SheetColFrom ? SheetColX1 : SheetColX2;
        const std::string x = g.TextMatrix(r, first), y = g.TextMatrix(r, first + 1),
                          z = g.TextMatrix(r, first + 2);
        if (x.empty() && y.empty() && z.empty())
            return false;
        const std::string name = g.TextMatrix(r, c);
        for (const auto &[nameCol, coordCol] :
             {std::pair{SheetColFrom, SheetColX1}, {SheetColTo, SheetColX2}})
            for (int row = 1; row < g.Rows(); ++row)
                if (g.TextMatrix(row, coordCol) == x && g.TextMatrix(row, coordCol + 1) == y &&
                    g.TextMatrix(row, coordCol + 2) == z)
                    g.SetTextMatrix(row, nameCol, name);
    } else if (c == SheetColLength) {
        // A typed length is the airway's length: the resistance follows it.
        markFixed(r, c, true);
        recalcRow(r, a, c);
    } else if (c == SheetColResistance || c == SheetColKFactor || c == SheetColShock) {
        recalcRow(r, a, c);
        markFixed(r, c, true);
    } else if (c == SheetColFlow || c == SheetColPdrop) {
        markFixed(r, c, true);
        if (fixed(r, SheetColPdrop) && fixed(r, SheetColFlow) &&
            VB::MsgBox("Calculate and fix resistance ?", VB::vbYesNo, "Resistance Calculation") ==
                VB::vbYes) {
            resistanceCalculated = true;
            const auto p = cellNumber(g.TextMatrix(r, SheetColPdrop));
            const auto q = cellNumber(g.TextMatrix(r, SheetColFlow));
            // Without a flow there is no resistance to calculate.
            if (p && q && *q != 0) {
                g.SetTextMatrix(r, SheetColResistance, FormatPattern(std::fabs(*p) / (*q * *q), "0.00000"));
                markFixed(r, SheetColResistance, true);
            }
        }
    } else if (c == SheetColFPres) {
        if (fixed(r, SheetColFlow))
            VB::MsgBox("Cannot fix this pressure due to fixed flow");
        else
            markFixed(r, c, true);
    } else if (c == SheetColHeight || c == SheetColWidth || (c >= SheetColX1 && c <= SheetColZ2)) {
        recalcRow(r, a, c);
    }
    SheetChanged = true;
    return resistanceCalculated;
}

void frmSpreadSheet::UpdateRes(int row, int a) {
    recalcRow(row, a, Spreadsheet->Col());
}

void frmSpreadSheet::recalcRow(int row, int a, int editedCol) {
    VBGrid &g = *Spreadsheet;
    // A typed resistance is never replaced; a row without an airway has nothing to recalculate.
    if (editedCol == SheetColResistance || a < 1)
        return;
    const std::string heightText = g.TextMatrix(row, SheetColHeight);
    const auto h = heightText.empty() ? std::optional<double>(0) : cellNumber(heightText);
    const auto w = cellNumber(g.TextMatrix(row, SheetColWidth));
    if (!h || !w)
        return;
    float area, perimeter;
    if (AirwayFlags(a) & AirwayFlag::Irregular) {
        // An irregular airway shows its perimeter under Height and its area under Width.
        area = static_cast<float>(*w);
        perimeter = static_cast<float>(*h);
    } else if (*h == 0) {
        area = static_cast<float>(*w * *w * 3.1415926 / 4);
        perimeter = static_cast<float>(*w * 3.1415926);
    } else {
        area = static_cast<float>(*h * *w);
        perimeter = static_cast<float>(2 * *w + 2 * *h);
    }
    double areaSI = FromDisplayUnits(area, 3);
    const double perimeterSI = FromDisplayUnits(perimeter, 1);
    if (AirwayFlags(a) & AirwayFlag::Services)
        areaSI -= 0.8;
    if (areaSI <= 0)
        areaSI = 0.05;
    const auto k = cellNumber(g.TextMatrix(row, SheetColKFactor));
    if (!k)
        return;
    double length;
    if (fixed(row, SheetColLength)) {
        length = Star(g.TextMatrix(row, SheetColLength));
    } else {
        double sum = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const double d = LenientValue(g.TextMatrix(row, SheetColX1 + axis)) -
                             LenientValue(g.TextMatrix(row, SheetColX2 + axis));
            sum += d * d;
        }
        length = std::sqrt(sum);
        // The row shows the length of its ends, in whole units as the network keeps it; the airway takes
        // it, with everything else in the row, only when the sheet is saved.
        float whole = static_cast<float>(VB::Int(length));
        const std::string text = FormatValue(FromDisplayUnits(whole, 1), 1, 0, -1);
        if (g.TextMatrix(row, SheetColLength) != text)
            g.SetTextMatrix(row, SheetColLength, text);
    }
    length += LenientValue(g.TextMatrix(row, SheetColShock));
    if (length == 0)
        return;
    float kDisplay = static_cast<float>(*k), lengthDisplay = static_cast<float>(length);
    const double kSI = FromDisplayUnits(kDisplay, 10);
    const double lengthSI = FromDisplayUnits(lengthDisplay, 1);
    double r = kSI * perimeterSI * lengthSI * AirDensity / (1.2 * areaSI * areaSI * areaSI);
    if (r == 0)
        r = 0.00001;
    if (!fixed(row, SheetColResistance))
        g.SetTextMatrix(row, SheetColResistance, FormatValue(static_cast<float>(r), 5, 0, 0));
}
