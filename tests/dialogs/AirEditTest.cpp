#include "dialogs/AirEditFixture.h"

#include "common/RealKeys.h"
#include "common/StoredAirways.h"
#include "model/airway_fields.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <functional>
#include <optional>

namespace {

using AirEdit = AirEditTest;

TEST_F(AirEdit, LoadsTheFanAndTheFixedPressure) {
    AirwayFan(a) = 7;
    AirwayFanCount(a) = 2;
    AirwayFan(b) = -1;
    AirwayPressure(b) = 250;
    {
        auto dialog = Open(a);
        EXPECT_EQ(dialog->FanCombo2->currentText().toStdString(), "  7: Main");
        EXPECT_EQ(Text(dialog->TxtFanN), "2");
        EXPECT_EQ(dialog->VSF->value(), 8);
    }
    auto dialog = Open(b);
    EXPECT_EQ(dialog->FanCombo2->currentText(), "None");
    EXPECT_TRUE(dialog->ChkPress->isChecked());
    EXPECT_TRUE(dialog->TxtPres->isEnabled());
    EXPECT_EQ(Text(dialog->TxtPres), "250.0");
}

TEST_F(AirEdit, LoadsLengthsAtFullPrecisionAndOthersInTheirFormats) {
    UnitSystem = 2;
    AirwayFlags(a) |= AirwayFlag::FixedFlow;
    AirwayFlow(a) = 10;
    AirwayShockLength(a) = 2;
    AirwayResistanceType(a) = TypedPreset;
    AirwayResistance(a) = 1;
    auto dialog = Open(a);
    EXPECT_EQ(Text(dialog->TxtLength), "328.084");
    EXPECT_EQ(Text(dialog->txtHeight), "13.12336");
    EXPECT_EQ(Text(dialog->TxtWidth), "13.12336");
    EXPECT_EQ(Text(dialog->TxtShock), "6.56168");
    EXPECT_EQ(Text(dialog->TxtFlow), "21.2");
    EXPECT_EQ(Text(dialog->TxtFixRes), "0.89420");
    EXPECT_EQ(Text(dialog->TxtWall), "64.7");
    EXPECT_EQ(dialog->LblUnit[2]->text(), "ft");
}

TEST_F(AirEdit, OkWithoutAnEditKeepsEveryValueTheBoxesShowRoundedInBothUnitSystems) {
    // Values no box shows exactly, on each shape, each fixing and typed presets.
    const struct {
        const char *name;
        void (*setUp)(int a);
    } cases[] = {
        {"rectangular, fixed flow and length, typed presets",
         [](int a) {
             AirwaySize(1, a) = 10.0f / 3;
             AirwaySize(2, a) = 7.0f / 3;
             AirwayFlags(a) |= AirwayFlag::FixedFlow | AirwayFlag::FixedLength;
             AirwayFlow(a) = 12.0456f; // "12.0", which leaving the box would turn into "12"
             AirwayLength(a) = 123.456789f;
             AirwayResistanceType(a) = AirwayWallType(a) = AirwayShockType(a) = TypedPreset;
             AirwayResistance(a) = 0.00123456f;
             AirwayFrictionFactor(a) = 0.0123456f;
             AirwayShockLength(a) = 7.654321f;
         }},
        {"round, fixed pressure",
         [](int a) {
             AirwayFlags(a) = AirwayFlag::Round;
             AirwaySize(1, a) = 0;
             AirwaySize(2, a) = 2.3456789f;
             AirwayFan(a) = -1;
             AirwayPressure(a) = 250.55f;
         }},
        {"irregular, fixed flow",
         [](int a) {
             AirwayFlags(a) = AirwayFlag::Irregular | AirwayFlag::FixedFlow;
             AirwaySize(1, a) = 12.3456789f;
             AirwaySize(2, a) = 9.87654f;
             AirwayFlow(a) = 20.05f;
         }},
    };
    const auto values = [this] {
        return std::vector<float>{AirwayFlow(a),           AirwayPressure(a),   AirwaySize(1, a),
                                  AirwaySize(2, a),        AirwayLength(a),     AirwayResistance(a),
                                  AirwayFrictionFactor(a), AirwayShockLength(a)};
    };
    const AirwayValues plain = TakeAirwayValues(a);
    for (const auto &c : cases)
        for (const int system : {1, 2}) {
            UnitSystem = system;
            PutAirwayValues(plain, a);
            c.setUp(a);
            CalcAirway(a);
            const std::vector<float> stored = values();
            auto dialog = Open(a);
            // Passing through every box, as Tab does, leaves nothing typed.
            for (QLineEdit *box : {dialog->TxtFlow, dialog->TxtPres, dialog->TxtLength, dialog->TxtFixRes,
                                   dialog->TxtWall, dialog->TxtShock, dialog->TxtWidth, dialog->txtHeight})
                Leave(box);
            Leave(dialog->TxtName);
            dialog->OK_Click();
            EXPECT_EQ(values(), stored) << c.name << ", unit system " << system;
        }
}

TEST_F(AirEdit, IrregularAirwayOffersItsSquareWhenTheShapeChanges) {
    // With the rectangular bit set as well, irregular wins.
    AirwayFlags(a) = AirwayFlag::Irregular | AirwayFlag::Rectangular;
    AirwaySize(1, a) = 12;
    AirwaySize(2, a) = 9;
    auto dialog = Open(a);
    EXPECT_EQ(dialog->LblWidth->text(), "Area");
    QTest::mouseClick(dialog->CmdShape, Qt::LeftButton);
    EXPECT_EQ(dialog->LblWidth->text(), "Width");
    EXPECT_EQ(Text(dialog->TxtWidth), "3.0");
    EXPECT_EQ(Text(dialog->txtHeight), "3.0");
    QTest::mouseClick(dialog->CmdShape, Qt::LeftButton);
    QTest::mouseClick(dialog->CmdShape, Qt::LeftButton);
    EXPECT_EQ(EditShape, 2);
    EXPECT_EQ(dialog->LblWidth->text(), "Area");
}

TEST_F(AirEdit, UndefinedResistancePresetIsNotOfferedAndAirwayZeroLoadsTheFirst) {
    ResistanceTypeName(3) = "Undefined";
    WallTypeName(3) = "UNDEFINED";
    auto dialog = Open(0);
    EXPECT_EQ(CurrentAirway, 1);
    EXPECT_EQ(dialog->ResCombo->findText("Undefined"), -1);
    EXPECT_NE(dialog->WallCombo->findText("UNDEFINED"), -1);
}

TEST_F(AirEdit, TypedNumbersFollowTheFieldRules) {
    VB::SetLocaleDecimalSeparatorOverride(',');
    AirwayFlags(a) |= AirwayFlag::FixedFlow;
    AirwayFan(a) = -1;
    auto dialog = Open(a);
    Type(dialog->TxtFlow, "2.5");
    EXPECT_EQ(Text(dialog->TxtFlow), "2,5");
    Type(dialog->TxtFlow, "-3");
    RealKeys::Click(dialog->TxtFlow, Qt::Key_Return);
    EXPECT_TRUE(dialog->TxtPres->hasFocus());
    EXPECT_EQ(Text(dialog->TxtFlow), "3");
    Type(dialog->TxtPres, "-3");
    Leave(dialog->TxtName);
    EXPECT_EQ(Text(dialog->TxtPres), "-3");
    Type(dialog->TxtMultiAir, "2.7");
    EXPECT_EQ(Text(dialog->TxtMultiAir), "27");
    dialog->TxtMultiAir->setText("2.7");
    Leave(dialog->TxtName);
    // Leaving keeps what was typed, for the save to judge.
    EXPECT_EQ(Text(dialog->TxtMultiAir), "2.7");
    dialog->TxtMultiAir->setText("2");
    // A name takes no comma and keeps its point.
    for (QLineEdit *name : {dialog->LblFrom, dialog->LblTo, dialog->TxtName}) {
        Type(name, ", A.1");
        EXPECT_EQ(Text(name), " A.1") << name->objectName().toStdString();
    }
    RealKeys::Click(dialog->TxtName, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(AirwayFlow(a), 3.0f);
    // Fixed pressure with fixed flow became a fixed resistance.
    EXPECT_EQ(AirwayResistanceType(a), TypedPreset);
    EXPECT_EQ(AirwayFan(a), 0);
    EXPECT_EQ(AirwayParallelCount(a), 2);
}

TEST_F(AirEdit, CoupledControls) {
    auto dialog = Open(a);
    ClickBox(dialog->ChkSurfaceEntry);
    ClickBox(dialog->ChkSurfaceExit);
    EXPECT_FALSE(dialog->ChkSurfaceEntry->isChecked());
    ClickBox(dialog->OptAirType[0]);
    ClickBox(dialog->OptAirType[1]);
    EXPECT_FALSE(dialog->OptAirType[0]->isChecked());
    EXPECT_TRUE(dialog->OptAirType[1]->isChecked());
    EXPECT_EQ(dialog->DriveShape[0]->FillColour(), 0x0000FF);

    for (int percent : {0, 70}) {
        DefaultCurvePercent = percent;
        ClickBox(dialog->Optcurve[2]);
        EXPECT_EQ(Text(dialog->TxtCPart), percent == 0 ? "50" : "70");
        ClickBox(dialog->Optcurve[1]);
        ClickBox(dialog->Optcurve[1]);
        EXPECT_TRUE(dialog->Optcurve[1]->isChecked() && !dialog->Optcurve[2]->isChecked());
        EXPECT_EQ(Text(dialog->TxtCPart), "100");
    }

    dialog->TxtFanN->setText("0");
    dialog->FanCombo2->SetListIndex(1);
    EXPECT_EQ(Text(dialog->TxtFanN), "1");
    EXPECT_TRUE(dialog->CheckDirection->isChecked());
    dialog->FanCombo2->SetListIndex(0);
    EXPECT_EQ(Text(dialog->TxtFanN), "0");
    EXPECT_FALSE(dialog->CheckDirection->isChecked());

    dialog->ChkPress->SetValue(true);
    dialog->CheckFix->SetValue(true);
    dialog->TxtPres->setText("50");
    dialog->TxtFlow->setText("5");
    dialog->UpdateFixR();
    EXPECT_EQ(Text(dialog->TxtFixRes), "2.00000");
    dialog->TxtFlow->setText("0");
    dialog->TxtFixRes->setText("kept");
    dialog->UpdateFixR();
    EXPECT_EQ(Text(dialog->TxtFixRes), "kept");
}

TEST_F(AirEdit, RenamedLayerStaysAfterCancel) {
    AirwayPrimaryLayer(a) = 3;
    PrimaryLayerName(4) = "Ramp 2";
    auto dialog = Open(a);
    dialog->CmbPrimary->setFocus(Qt::TabFocusReason);
    dialog->CmbPrimary->lineEdit()->selectAll();
    // Typed as it stands: no comma, nothing completed from the list.
    RealKeys::Type(dialog->CmbPrimary, "Ra,mp");
    Leave(dialog->TxtName);
    QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(PrimaryLayerName(3), "Ramp");
    EXPECT_EQ(AirwayPrimaryLayer(a), 3);
}

TEST_F(AirEdit, SavingOneAirwaySpreadsNodeNamesExceptAtTheSurface) {
    AirwayEndKey(a) = SurfaceNodeKey;
    AirwayStartKey(b) = SurfaceNodeKey;
    {
        auto dialog = Open(b);
        dialog->LblTo->setText("Crib");
        QTest::mouseClick(dialog->OK, Qt::LeftButton);
    }
    EXPECT_EQ(AirwayStartName(c).trimmed(), "Crib");
    {
        auto dialog = Open(c);
        dialog->LblFrom->setText("Crib 2");
        QTest::mouseClick(dialog->OK, Qt::LeftButton);
    }
    EXPECT_EQ(AirwayEndName(b).trimmed(), "Crib 2");
    auto dialog = Open(b);
    dialog->LblFrom->setText("Portal");
    RealKeys::Click(dialog->LblFrom, Qt::Key_Return);
    EXPECT_EQ(AirwayStartName(b).trimmed(), "Portal");
    EXPECT_EQ(AirwayEndName(a).trimmed(), "");
}

TEST_F(AirEdit, SavedValuesAreGuarded) {
    ScriptedDialogs boxes;
    // An empty or zero height, a negative number of parallel airways, a percentage above 100 and a
    // fractional or negative number of fans are each refused with their rule: the dialog stays open.
    const struct {
        QLineEdit *frmAirEdit::*box;
        const char *typed, *rule;
    } refused[] = {
        {&frmAirEdit::txtHeight, "", "Size must be a number above 0"},
        {&frmAirEdit::txtHeight, "0", "Size must be a number above 0"},
        {&frmAirEdit::TxtMultiAir, "-2", "parallel airways must be a whole number from 0"},
        {&frmAirEdit::TxtCPart, "250", "velocity pressure must be a whole number from 0 to 100"},
        {&frmAirEdit::TxtFanN, "2.5", "Number of fans must be a whole number"},
        {&frmAirEdit::TxtFanN, "-1", "Number of fans must be a whole number"},
    };
    for (const auto &r : refused) {
        boxes.Expect(VB::vbOK, r.rule);
        auto dialog = Open(a);
        dialog->FanCombo2->SetListIndex(1);
        (dialog.get()->*r.box)->setText(r.typed);
        dialog->OK_Click();
        EXPECT_TRUE(dialog->isVisible()) << r.typed;
    }
    EXPECT_EQ(AirwaySize(1, a), 4.0f);
    EXPECT_EQ(AirwayParallelCount(a), 1);
    EXPECT_EQ(AirwayCurvePercent(a), 0);
    EXPECT_EQ(AirwayFan(a), 0);
    {
        auto dialog = Open(a);
        dialog->FanCombo2->SetListIndex(1);
        dialog->TxtFanN->setText("2");
        dialog->OK_Click();
    }
    EXPECT_EQ(AirwayFan(a), 7);
    EXPECT_EQ(AirwayFanCount(a), 2);
    EXPECT_TRUE(AirwayFlags(a) & AirwayFlag::FixedDirection);
    boxes.Expect(VB::vbOK, "Fans not allowed in multiple airways");
    {
        auto dialog = Open(a);
        dialog->TxtMultiAir->setText("3");
        dialog->OK_Click();
    }
    EXPECT_EQ(AirwayFan(a), 0);
    EXPECT_EQ(AirwayFanCount(a), 0);
    EXPECT_EQ(AirwayParallelCount(a), 3);
    EXPECT_TRUE(boxes.Done());
}

// Ticks a box that is not ticked, as the user's click does.
void Tick(VBCheckBox *box) {
    if (!box->isChecked())
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Each field of the dialog, typed as a keyboard types it: a value its rule refuses keeps the dialog open
// with the network, its saved state and the undo log as they were; an accepted one is stored as typed.
TEST_F(AirEdit, EveryFieldStoresWhatIsTypedOrRefusesItAndStoresNothing) {
    const char *const texts[] = {"NaN", "inf", "1e39", "1e", "5,5", "-5", "1e-46", "0"};
    constexpr std::nullopt_t no = std::nullopt;
    using Stored = std::array<std::optional<double>, 8>;
    // A flow is made positive when its box is left; a fixed pressure keeps its sign. No parallel airways
    // is one airway.
    const Stored flow{no, no, no, no, 5.5, 5, 0, 0}, signedValue{no, no, no, no, 5.5, -5, 0, 0},
        measure{no, no, no, no, 5.5, no, 0, 0}, above0{no, no, no, no, 5.5, no, no, no},
        count0{no, no, no, no, no, no, no, 0}, count1{no, no, no, no, no, no, no, 1};
    // A value read back only when its tick or type was stored with it.
    const auto typed = [this](VBArray<int> &type, VBArray<float> &value) {
        return [this, &type, &value] { return type(a) == TypedPreset ? value(a) : -1.0f; };
    };
    const struct {
        const char *field;
        std::function<void(frmAirEdit &)> prepare; // ticks or chooses what the field belongs to
        QLineEdit *frmAirEdit::*box;
        bool enter; // Enter saves from this box; else OK is clicked
        std::function<double()> stored;
        Stored expected; // per text, nothing where refused
    } fields[] = {
        {"fixed quantity", [](frmAirEdit &d) { Tick(d.CheckFix); }, &frmAirEdit::TxtFlow, false,
         [this] { return (AirwayFlags(a) & AirwayFlag::FixedFlow) ? AirwayFlow(a) : -1; }, flow},
        {"fixed pressure", [](frmAirEdit &d) { Tick(d.ChkPress); }, &frmAirEdit::TxtPres, false,
         [this] { return AirwayFan(a) == -1 ? AirwayPressure(a) : -1; }, signedValue},
        {"length", [](frmAirEdit &d) { Tick(d.CheckLength); }, &frmAirEdit::TxtLength, true,
         [this] { return AirwayLength(a); }, measure},
        {"resistance", [](frmAirEdit &d) { Tick(d.ChkFixRes); }, &frmAirEdit::TxtFixRes, false,
         typed(AirwayResistanceType, AirwayResistance), above0},
        {"friction", [](frmAirEdit &d) { Tick(d.ChkFixK); }, &frmAirEdit::TxtWall, false,
         typed(AirwayWallType, AirwayFrictionFactor), above0},
        {"shock", [](frmAirEdit &d) { Tick(d.ChkShock); }, &frmAirEdit::TxtShock, false,
         typed(AirwayShockType, AirwayShockLength), measure},
        {"width", {}, &frmAirEdit::TxtWidth, true, [this] { return AirwaySize(2, a); }, above0},
        {"height", {}, &frmAirEdit::txtHeight, true, [this] { return AirwaySize(1, a); }, above0},
        {"parallel", {}, &frmAirEdit::TxtMultiAir, true, [this] { return AirwayParallelCount(a); }, count1},
        // Leaving the box for OK keeps what was typed in it.
        {"parallel, left",
         {},
         &frmAirEdit::TxtMultiAir,
         false,
         [this] { return AirwayParallelCount(a); },
         count1},
        {"fans", [](frmAirEdit &d) { d.FanCombo2->SetListIndex(1); }, &frmAirEdit::TxtFanN, false,
         [this] { return AirwayFanCount(a); }, count0},
        {"curve", [](frmAirEdit &d) { Tick(d.Optcurve[2]); }, &frmAirEdit::TxtCPart, false,
         [this] { return AirwayCurvePercent(a); }, count0},
    };
    ScriptedDialogs boxes;
    const AirwayValues start = TakeAirwayValues(a);
    for (const auto &f : fields)
        for (size_t t = 0; t < std::size(texts); ++t) {
            PutAirwayValues(start, a);
            NetworkSaved = 255;
            const EditState before = TakeEditState();
            const bool refused = !f.expected[t].has_value();
            if (refused)
                boxes.Expect(VB::vbOK, "probably in data entry\r\n");
            auto dialog = Open(a);
            if (f.prepare)
                f.prepare(*dialog);
            // A name typed in the same edit goes with it.
            Type(dialog->TxtName, "Renamed");
            QLineEdit *box = dialog.get()->*f.box;
            Type(box, texts[t]);
            if (f.enter)
                RealKeys::Click(box, Qt::Key_Return);
            else
                QTest::mouseClick(dialog->OK, Qt::LeftButton);
            const std::string what = std::string(f.field) + " " + texts[t];
            EXPECT_EQ(dialog->isVisible(), refused) << what;
            if (refused) {
                EXPECT_TRUE(TakeEditState() == before) << what;
                EXPECT_TRUE(box->hasFocus()) << what;
            } else {
                EXPECT_FLOAT_EQ(static_cast<float>(f.stored()), static_cast<float>(*f.expected[t])) << what;
            }
        }
    EXPECT_TRUE(boxes.Done());
}

TEST_F(AirEdit, FanNumbersBeyondThreeDigitsAreKept) {
    MaxFans = 1000;
    FanName.ReDimPreserve(Bounds{0, 1000});
    FanName(1000) = "Big";
    AirwayFan(a) = 1000;
    AirwayFanCount(a) = 1;
    auto dialog = Open(a);
    EXPECT_EQ(dialog->FanCombo2->currentText(), "1000: Big");
    dialog->OK_Click();
    EXPECT_EQ(AirwayFan(a), 1000);
}

} // namespace
