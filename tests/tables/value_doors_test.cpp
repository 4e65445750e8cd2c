// Every door that puts a value into the model holds it to its quantity's rule: a value outside is refused
// with the door's own message, and the model keeps what it held.
#include "common/ModelFixture.h"
#include "common/RealKeys.h"
#include "common/StoredAirways.h"
#include "dialogs/frmAirEdit.h"
#include "dialogs/frmShock.h"
#include "exchange/import.h"
#include "model/geometry.h"
#include "model/units.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "tables/frmFanData.h"
#include "tables/frmSpreadSheet.h"
#include "tables/spreadsheet_state.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <functional>
#include <optional>

namespace {

class ValueDoors : public ModelTest {
protected:
    // Types a value into a grid cell through its edit box and commits it with Enter.
    static void TypeInCell(VBGrid &grid, QWidget *edit, int row, int col, const QString &text) {
        grid.SetRow(row);
        grid.SetCol(col);
        RealKeys::Type(&grid, text.left(1));
        RealKeys::Type(edit, text.mid(1));
        RealKeys::Click(edit, Qt::Key_Return);
    }
    // The edit dialog on airway 1 with a fix box ticked and a value typed, saved with OK.
    static std::function<void(const char *)> editDialog(VBCheckBox *frmAirEdit::*fix,
                                                        QLineEdit *frmAirEdit::*box) {
        return [=](const char *text) {
            CurrentAirway = 1;
            AirEditMode = 1;
            frmAirEdit dialog;
            dialog.show();
            (dialog.*fix)->SetValue(true);
            (dialog.*box)->setText(text);
            dialog.OK_Click();
        };
    }
    // The spreadsheet on airway 1: the value typed (or pasted) into the resistance cell, then saved.
    static void sheet(const char *text, bool paste) {
        VisibleAirways(1) = 1;
        VisibleAirways(2) = 0;
        frmSpreadSheet window;
        window.show();
        window.Form_Load();
        VBGrid &grid = *window.Spreadsheet;
        if (paste) {
            QGuiApplication::clipboard()->setText(text);
            grid.SetRow(1);
            grid.SetCol(SheetColResistance);
            QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        } else {
            TypeInCell(grid, window.TxtEdit, 1, SheetColResistance, text);
        }
        window.SaveGrid();
        SheetChanged = false;
    }
};

TEST_F(ValueDoors, EveryDoorRefusesAValueOutsideItsRuleAndKeepsWhatTheModelHeld) {
    UseSIDisplay();
    AddAirway(0, 0, 100, 100, 0, 100);
    CalcAllAirways();
    FanName(1) = "Main";
    for (int p = 1; p <= 10; ++p)
        FanCurveFlow(p, 1) = static_cast<float>(10 * p);
    const struct {
        const char *door, *typed;
        int answer;
        const char *message; // what the refusal says
        std::function<void(const char *)> enter;
        std::function<double()> held;
    } doors[] = {
        {"edit dialog, fixed resistance", "-5", VB::vbOK,
         "probably in data entry\r\nFixed resistance must be a number above 0 up to 3.402823E+38 Ns2/m8",
         editDialog(&frmAirEdit::ChkFixRes, &frmAirEdit::TxtFixRes), [] { return AirwayResistance(1); }},
        {"edit dialog, shock length", "-2000", VB::vbOK, "Shock length must be a number from 0",
         editDialog(&frmAirEdit::ChkShock, &frmAirEdit::TxtShock), [] { return AirwayShockLength(1); }},
        {"edit dialog, fixed quantity", "9995", VB::vbOK,
         "Fixed quantity must be a number from -9994 to 9994 m3/s",
         editDialog(&frmAirEdit::CheckFix, &frmAirEdit::TxtFlow), [] { return AirwayFlow(1); }},
        {"spreadsheet cell", "1e40", VB::vbOK, "Error in Number Format\r\nResistance must",
         [](const char *t) { sheet(t, false); }, [] { return AirwayResistance(1); }},
        {"spreadsheet paste", "-5", VB::vbIgnore, "attempting to paste data\r\nResistance must",
         [](const char *t) { sheet(t, true); }, [] { return AirwayResistance(1); }},
        {"shock calculator", "-9", VB::vbOK, "Number of fittings must be a whole number from 0 to 1000",
         [](const char *t) {
             frmShock dialog;
             dialog.show();
             dialog.ChkShockType[1]->SetValue(true);
             dialog.LblNumS[1]->setText(t);
             dialog.ReCalc();
         },
         [] { return ShockTotal; }},
        {"fan database editor", "-3", VB::vbOK, "Fan quantity must be a number from 0",
         [](const char *t) {
             frmFanData window;
             window.show();
             window.Form_Load();
             TypeInCell(*window.Spreadsheet, window.TxtEdit, 1, 3, t);
         },
         [] { return FanCurveFlow(1, 1); }},
        {"TXT import", "-5", VB::vbYes, "Error Loading Data - Do you wish to continue loading ?",
         [this](const char *t) {
             folder.Write("in.txt", "h\r\n0\t9\t100\t50\t9\t100\t0\t" + std::string(t) + "\t0\t0\r\n");
             ImportFileName = folder.path() + "in.txt";
             ImportOptions merge;
             merge.merge = merge.retainDriveResistance = true;
             ImportNetwork(merge, {});
         },
         [] { return AirwayResistance(AirwayCount) < 0; }},
    };
    for (const auto &d : doors) {
        const double held = d.held();
        ScriptedDialogs boxes;
        boxes.Expect(d.answer, d.message);
        d.enter(d.typed);
        EXPECT_TRUE(boxes.Done()) << d.door;
        EXPECT_EQ(d.held(), held) << d.door;
    }
}

// Each number cell of the spreadsheet, typed as a keyboard types it and saved: a value its rule refuses is
// reported and leaves the cell, the airway, the saved state and the undo log as they were; an accepted one
// is stored as typed. British units and an airway with both shape bits are variants of the rule.
TEST_F(ValueDoors, EverySpreadsheetCellStoresWhatIsTypedOrRefusesIt) {
    UseSIDisplay();
    const int a = AddAirway(0, 0, 100, 100, 0, 100);
    CalcAllAirways();
    VisibleAirways(1) = a;
    VisibleAirways(2) = 0;
    const char *const texts[] = {"NaN", "inf", "1e39", "1e", "5,5", "-5", "1e-46", "0"};
    constexpr std::nullopt_t no = std::nullopt;
    using Stored = std::array<std::optional<double>, 8>;
    const Stored measure{no, no, no, no, 5.5, no, 0, 0}, signedValue{no, no, no, no, 5.5, -5, 0, 0},
        size{no, no, no, no, 5.5, no, no, no};
    struct Cell {
        const char *name;
        const int *col; // the sheet numbers its columns as it fills
        std::function<double()> stored;
        Stored expected;
    };
    const Cell cells[] = {
        {"length", &SheetColLength, [&] { return AirwayLength(a); }, measure},
        {"flow", &SheetColFlow, [&] { return AirwayFlow(a); }, signedValue},
        {"resistance", &SheetColResistance, [&] { return AirwayResistance(a); }, measure},
        {"K factor", &SheetColKFactor, [&] { return AirwayFrictionFactor(a); }, measure},
        {"shock", &SheetColShock, [&] { return AirwayShockLength(a); }, measure},
        {"fixed pressure", &SheetColFPres, [&] { return AirwayPressure(a); }, signedValue},
        {"height", &SheetColHeight, [&] { return AirwaySize(1, a); }, size},
        {"width", &SheetColWidth, [&] { return AirwaySize(2, a); }, size},
    };
    const AirwayValues start = TakeAirwayValues(a);
    ScriptedDialogs boxes;
    const auto enter = [&](const int *col, const char *text) {
        frmSpreadSheet window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.Form_Load();
        window.Spreadsheet->SetFocus();
        TypeInCell(*window.Spreadsheet, window.TxtEdit, 1, *col, text);
        window.SaveGrid();
        SheetChanged = false;
    };
    for (const Cell &c : cells)
        for (size_t t = 0; t < std::size(texts); ++t) {
            PutAirwayValues(start, a);
            NetworkSaved = 255;
            const EditState before = TakeEditState();
            if (!c.expected[t])
                boxes.Expect(VB::vbOK, "Error in Number Format");
            enter(c.col, texts[t]);
            const std::string what = std::string(c.name) + " " + texts[t];
            if (c.expected[t]) {
                EXPECT_FLOAT_EQ(static_cast<float>(c.stored()), static_cast<float>(*c.expected[t])) << what;
                continue;
            }
            EXPECT_TRUE(TakeEditState() == before) << what;
        }
    EXPECT_TRUE(boxes.Done());

    // A flow typed in British units is held to the solver's limit in m³/s: 21176 kcf/m lies within it,
    // 21177 beyond.
    PutAirwayValues(start, a);
    UnitSystem = 2;
    enter(&SheetColFlow, "21176");
    EXPECT_FLOAT_EQ(AirwayFlow(a), static_cast<float>(21176 / 2.1189));
    boxes.Expect(VB::vbOK, "Fixed quantity must be a number from -21176");
    enter(&SheetColFlow, "21177");
    EXPECT_FLOAT_EQ(AirwayFlow(a), static_cast<float>(21176 / 2.1189));
    // With both shape bits the airway is irregular: its width is an area, 9 ft².
    AirwayFlags(a) |= AirwayFlag::Irregular;
    enter(&SheetColWidth, "9");
    EXPECT_FLOAT_EQ(AirwaySize(2, a), static_cast<float>(9 / 10.764));
    EXPECT_TRUE(boxes.Done());
}

} // namespace
