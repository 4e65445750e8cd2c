// Writing the network spreadsheet back into the airways. Only what the user changed in the sheet is
// written: a cell whose text is still what the fill wrote leaves its value exactly as it is (the grid
// shows values rounded), and a fixed flag or type code is written only where the user changed its mark or
// its value, so what the airway dialogs and tools changed while the sheet was open stays.
#include "graphics/drawing.h"
#include "graphics/projection.h"
#include "graphics/tools.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/text_files.h"
#include "model/undo.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/Text1252.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "tables/frmSpreadSheet.h"
#include "tables/spreadsheet_state.h"

#include <cmath>
#include <optional>
#include <set>

namespace {

void setFlag(int a, int32_t flag, bool on) {
    if (on)
        AirwayFlags(a) |= flag;
    else
        AirwayFlags(a) &= ~flag;
}

} // namespace

bool frmSpreadSheet::roomForNewRow(int pending) {
    if (AirwayCount + pending + 1 <= MaxAirways)
        return true;
    VB::MsgBox("Network size has exceeded maximum airways - increase airways in default settings");
    return false;
}

int frmSpreadSheet::newRowCount() const {
    int n = 0;
    for (int r = 1; r < Spreadsheet->Rows(); ++r)
        n += Spreadsheet->RowData(r) == NewRow ? 1 : 0;
    return n;
}

int frmSpreadSheet::newAirwaySlot() {
    return roomForNewRow(0) ? ++AirwayCount : 0;
}

void frmSpreadSheet::completeNewAirway(int row, int a) {
    const auto typed = [&](int col) { return !Spreadsheet->TextMatrix(row, col).empty(); };
    const float height = AirwaySize(1, a), width = AirwaySize(2, a);
    const float factor = AirwayFrictionFactor(a), shock = AirwayShockLength(a);
    constexpr int32_t shapes = AirwayFlag::Rectangular | AirwayFlag::Round | AirwayFlag::Irregular;
    // What the row leaves empty comes from the defaults a drawn airway gets.
    AirwayFlags(a) &= ~shapes;
    GiveNewAirwayProperties(a, 0);
    if (typed(SheetColHeight) || typed(SheetColWidth)) {
        // As the sheet reads a row: no height is a round airway of the width's diameter.
        AirwayFlags(a) =
            (AirwayFlags(a) & ~shapes) | (height == 0 ? AirwayFlag::Round : AirwayFlag::Rectangular);
        AirwaySize(1, a) = height;
        AirwaySize(2, a) = width;
    }
    if (typed(SheetColKFactor)) {
        AirwayFrictionFactor(a) = factor;
        AirwayWallType(a) = TypedPreset;
    }
    if (typed(SheetColShock)) {
        AirwayShockLength(a) = shock;
        AirwayShockType(a) = TypedPreset;
    }
    SetAirwayKeys(a);
    CalcAirway(a);
    // The row shows the airway as completed: its length, resistance and number.
    writeRow(row, a);
}

bool frmSpreadSheet::newRowHasEnds(int row) const {
    for (const int first : {SheetColX1, SheetColX2}) {
        bool placed = false;
        for (int col = first; col < first + 3; ++col) {
            const auto v = VB::StrictNumber(Spreadsheet->TextMatrix(row, col), ',');
            placed = placed || v.has_value();
        }
        if (!placed)
            return false;
    }
    return true;
}

bool frmSpreadSheet::SaveGrid() {
    VBGrid &g = *Spreadsheet;
    // The whole save is one undo step: each airway it changes as it was and as it now is.
    UndoStepRecorder step;
    bool made = false;
    std::string endless; // the new rows left out for lack of their ends
    for (int r = 1; r < g.Rows(); ++r) {
        int a = RowAirway(r);
        const auto text = [&](int col) { return g.TextMatrix(r, col); };
        if (g.RowData(r) == NewRow) {
            // A new row takes a slot and becomes an airway once it holds a value; a blank one takes none.
            bool any = false;
            for (int c = SheetColName; c <= SheetColZ2 && !any; ++c)
                any = !text(c).empty();
            if (!any)
                continue;
            // An end with no coordinate typed is no point yet.
            if (!newRowHasEnds(r)) {
                const std::string name = Trim(text(SheetColName));
                endless += "\r\nRow " + std::to_string(r) + (name.empty() ? "" : " (" + name + ")");
                continue;
            }
            if ((a = newAirwaySlot()) == 0)
                continue;
            ClearAirway(a);
            AirwayFlags(a) = AirwayFlag::Rectangular;
            // On the active layers, as a drawn airway.
            AirwayPrimaryLayer(a) = ActivePrimaryLayer == 0 ? 1 : std::abs(ActivePrimaryLayer);
            AirwaySecondaryLayer(a) = ActiveSecondaryLayer == 0 ? 1 : std::abs(ActiveSecondaryLayer);
            AirwayParallelCount(a) = 1;
            NumberNewAirways(a, a);
            g.SetTextMatrix(r, 0, std::to_string(a));
            g.SetTextMatrix(r, SheetColNo, std::to_string(AirwayNumber(a)));
            step.Added(a);
            made = true;
        }
        // Rows the user left alone keep their airways exactly as they are.
        if (a == 0 || !rowChanged(r))
            continue;
        const bool isNew = g.RowData(r) == NewRow;
        const AirwayValues before = TakeAirwayValues(a);
        const auto changed = [&](int col) {
            return (isNew || g.CellModified(r, col)) && text(col) != cellText(col, a);
        };
        // The cell's value when the user changed it; a text that is not a number, or a number outside its
        // rule, keeps the old value and the fixed state that goes with it. A new row's empty cell is not
        // typed: the new airway's defaults fill it.
        std::set<int> refused;
        const auto edited = [&](int col) -> std::optional<float> {
            if (!changed(col))
                return std::nullopt;
            const std::string t = text(col);
            if (isNew && t.empty())
                return std::nullopt;
            if (!t.empty() && !VB::StrictNumber(t, ',')) {
                Star(t);
                refused.insert(col);
                return std::nullopt;
            }
            int unit = 0;
            Value rule{};
            cellRule(col, a, unit, rule);
            try {
                return TypedValue(rule, t.empty() ? "0" : t, unit);
            } catch (const ValueRefused &) {
                refuseCell(rule);
                refused.insert(col);
                return std::nullopt;
            }
        };

        if (changed(SheetColName))
            AirwayName(a) = Trim(text(SheetColName));
        if (changed(SheetColFrom))
            AirwayStartName(a) = Trim(text(SheetColFrom));
        if (changed(SheetColTo))
            AirwayEndName(a) = Trim(text(SheetColTo));
        // A value typed into a cell or a mark set or cleared there decides the cell's fixed state.
        const auto touched = [&](int col) {
            return (isNew || markChanged(r, col) || changed(col)) && refused.count(col) == 0;
        };
        if (const auto v = edited(SheetColLength))
            AirwayLength(a) = *v;
        if (touched(SheetColLength))
            setFlag(a, AirwayFlag::FixedLength, fixed(r, SheetColLength));
        if (const auto v = edited(SheetColFlow))
            AirwayFlow(a) = *v;
        if (touched(SheetColFlow))
            setFlag(a, AirwayFlag::FixedFlow, fixed(r, SheetColFlow));

        if (const auto v = edited(SheetColResistance))
            AirwayResistance(a) = *v;
        if (touched(SheetColResistance)) {
            if (!fixed(r, SheetColResistance))
                AirwayResistanceType(a) = 0;
            else if (AirwayResistanceType(a) == 0)
                AirwayResistanceType(a) = TypedPreset;
            if (AirwayResistance(a) == 0)
                AirwayResistanceType(a) = 0;
        }

        // A marked K-Factor or Shock is the user's own value; a value of 0 has no type.
        const auto presetValue = [&](int col, float &value, int &type) {
            if (const auto v = edited(col))
                value = *v;
            if (!touched(col))
                return;
            if (fixed(r, col))
                type = TypedPreset;
            if (value == 0)
                type = 0;
        };
        presetValue(SheetColKFactor, AirwayFrictionFactor(a), AirwayWallType(a));
        presetValue(SheetColShock, AirwayShockLength(a), AirwayShockType(a));

        if (changed(SheetColFan)) {
            // Only a fan of the database, or none, replaces the airway's fan.
            const int f = LenientInteger(LenientValue(text(SheetColFan)));
            if (f == 0 || (f >= 1 && f <= MaxFans && FanName.InBounds(f) && !FanName(f).empty())) {
                AirwayFan(a) = f;
                if (f > 0 && AirwayFanCount(a) == 0)
                    AirwayFanCount(a) = 1;
            }
        }
        // F Pres is the fixed-pressure mark.
        if (touched(SheetColFPres)) {
            if (!fixed(r, SheetColFPres)) {
                if (AirwayFan(a) == -1)
                    AirwayFan(a) = 0;
            } else if (VB::StrictNumber(text(SheetColFPres), ',')) {
                // A marked text that is not a pressure ("Negate", "Stall") keeps the fan and its pressure;
                // a refused pressure keeps both too.
                const auto p = edited(SheetColFPres);
                if (p || refused.count(SheetColFPres) == 0)
                    AirwayFan(a) = -1;
                if (p)
                    AirwayPressure(a) = *p;
            }
        }

        if (const auto v = edited(SheetColHeight))
            AirwaySize(1, a) = *v;
        if (const auto v = edited(SheetColWidth))
            AirwaySize(2, a) = *v;

        bool moved = false;
        for (int k = 0; k < 6; ++k) {
            const int col = SheetColX1 + k;
            if (!changed(col) || text(col).empty())
                continue;
            const auto v = VB::StrictNumber(text(col), ',');
            if (!v) {
                Star(text(col));
                continue;
            }
            float display = static_cast<float>(*v);
            const double metres = VB::RoundHalfEven(FromDisplayUnits(display, 14));
            if (!InRange((k % 3) == 2 ? Value::Elevation : Value::PlanCoordinate, metres)) {
                VB::MsgBox("Coordinates exceed allowed values");
                continue;
            }
            int32_t &target = k < 3 ? AirwayStart(k + 1, a) : AirwayEnd(k - 2, a);
            target = static_cast<int32_t>(metres);
            moved = true;
        }
        if (moved)
            SetAirwayKeys(a);
        if (isNew)
            completeNewAirway(r, a);
        else
            step.Changed(a, before);
        markRow(r, a);
        g.ClearModified(r);
    }
    // Recording marks the network changed and its results out of date.
    step.Close();
    ErrorLevel = 0;
    // A row left out is still an edit the sheet holds.
    SheetChanged = !endless.empty();
    // New airways are shown at once, as drawn ones are, and the sheet's next refill keeps their rows.
    if (made) {
        SetVisibleAirways();
        RotateView();
        Redraw();
    }
    if (endless.empty())
        return true;
    VB::MsgBox("Not saved as airways - a new row needs the coordinates of both ends (X1, Y1, Z1 and X2, Y2, "
               "Z2):" +
                   endless,
               VB::vbExclamation);
    return false;
}

void frmSpreadSheet::mnuSaveChanges_Click() {
    if (VB::IsBusy())
        return;
    if (VB::MsgBox("Save spreadsheet changes to network ?", VB::vbYesNo, "Save changes") == VB::vbYes)
        SaveGrid();
}
