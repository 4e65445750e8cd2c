// The coordinate entry, the fan, shock calculator and attribute options dialogs.
#include "common/RealKeys.h"
#include "dialogs/DialogFixture.h"
#include "dialogs/frmAttrib.h"
#include "dialogs/frmCoords.h"
#include "dialogs/frmFanEdit.h"
#include "dialogs/frmShock.h"
#include "graphics/graphics_state.h"
#include "graphics/tool_state.h"
#include "model/levels_views.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace {

class Coords : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        for (int l = 1; l <= 250; ++l) {
            LevelName(l).clear();
            LevelRange(l, 1) = LevelRange(l, 2) = 0;
        }
        EntryPointX = 100;
        EntryPointY = 200;
        EntryPointZ = 300;
        CoordsForSelection = false;
        MouseDownActive = false;
        PointTyped = false;
    }
    std::unique_ptr<frmCoords> Open() { return Shown<frmCoords>(); }
};

TEST_F(Coords, TypedPointsInDisplayUnits) {
    UnitSystem = 2;
    UnitFactor(1, 2) = UnitFactor(14, 2) = 3.28f;
    LevelName(1) = "SURFACE";
    LevelRange(1, 1) = LevelRange(1, 2) = 1000;
    LevelName(2) = "L500";
    LevelRange(2, 1) = 500;
    LevelRange(2, 2) = 480;
    auto dialog = Open();
    EXPECT_EQ(CoordsCancelled, 3);
    EXPECT_EQ(dialog->CmbRL->count(), 2);
    dialog->CmbRL->SetListIndex(1);
    EXPECT_EQ(dialog->TxtZ->text(), "1607.2");
    dialog->TxtX->setText("328");
    dialog->TxtdY->setText("3.28");
    RealKeys::Click(dialog->TxtY, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(EntryPointX, 100);
    EXPECT_EQ(EntryPointY, 201);
    EXPECT_EQ(EntryPointZ, 490);
    EXPECT_EQ(CoordsCancelled, 0);
    EXPECT_TRUE(PointTyped);
    EXPECT_EQ(StartElevation, 490.0f);
}

TEST_F(Coords, EmptyLevelTableGetsTheSurfaceAndARelativeMoveOffsetsOnly) {
    CoordsForSelection = true;
    VB::SetLocaleDecimalSeparatorOverride(',');
    auto dialog = Open();
    EXPECT_EQ(dialog->CmbRL->itemText(0), "SURFACE");
    EXPECT_EQ(LevelName(1), "SURFACE");
    EXPECT_EQ(LevelListEnd, 2);
    EXPECT_TRUE(dialog->TxtX->isHidden() && dialog->TxtY->isHidden() && dialog->TxtZ->isHidden());
    EXPECT_TRUE(dialog->ChkCopy->isVisible());
    Type(dialog->TxtdX, "12.5");
    EXPECT_EQ(dialog->TxtdX->text(), "12,5");
    ClickBox(dialog->ChkCopy);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    EXPECT_EQ(EntryPointX, 12);
    EXPECT_EQ(EntryPointY, 0);
    EXPECT_EQ(MakeCopy, -1);
    EXPECT_FALSE(PointTyped);
}

TEST_F(Coords, BadEntriesAreRefused) {
    for (const char *typed : {"1E+12", "north", ""}) {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Error in coordinate entry - please check");
        auto dialog = Open();
        dialog->TxtY->setText(typed);
        dialog->OK_Click();
        EXPECT_TRUE(dialog->isVisible()) << typed;
        EXPECT_EQ(EntryPointX, 100);
    }
    // A point beyond the limits keeps the dialog open with its box selected and stores nothing, the
    // elevation and the typed mark included.
    ScriptedDialogs boxes;
    MouseDownActive = true;
    WorkingElevation = 7;
    std::unique_ptr<frmCoords> dialog;
    for (auto [box, typed] : {std::pair{&frmCoords::TxtX, "10000001"}, {&frmCoords::TxtZ, "10000000"}}) {
        boxes.Expect(VB::vbOK, "Coordinates exceed allowed values");
        dialog = Open();
        (dialog.get()->*box)->setText(typed);
        RealKeys::Click(dialog.get()->*box, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible()) << typed;
        EXPECT_EQ((dialog.get()->*box)->selectedText(), typed);
    }
    EXPECT_EQ(CoordsCancelled, 3);
    EXPECT_EQ(EntryPointX, 100);
    EXPECT_TRUE(MouseDownActive);
    EXPECT_FALSE(PointTyped);
    EXPECT_EQ(WorkingElevation, 7.0f);
    EXPECT_TRUE(boxes.Done());
    // The close box is Cancel.
    dialog = Open();
    dialog->close();
    EXPECT_EQ(CoordsCancelled, -1);
}

class FanEdit : public DialogTest {
protected:
    int a = 0;
    void SetUp() override {
        DialogTest::SetUp();
        a = AddAirway(0, 0, 500, 100, 0, 500);
        FanName(7) = "Main";
        CurrentAirway = PickedAirway = a;
    }
    std::unique_ptr<frmFanEdit> Open() { return Shown<frmFanEdit>(); }
};

TEST_F(FanEdit, FitsAndRemovesFans) {
    DefaultCurvePercent = 30;
    {
        auto dialog = Open();
        EXPECT_TRUE(dialog->OptCurveType[2]->Value());
        dialog->FanCombo2->SetListIndex(1);
        EXPECT_EQ(dialog->TxtFanN->text(), "1");
        dialog->VSF->setValue(8);
        dialog->OptSer2->SetValue(true);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(AirwayFan(a), 7);
    EXPECT_EQ(AirwayFanCount(a), 2);
    EXPECT_EQ(AirwayCurvePercent(a), 30);
    EXPECT_EQ(AirwayFlags(a) & (AirwayFlag::FansInSeries | AirwayFlag::FixedDirection),
              AirwayFlag::FansInSeries | AirwayFlag::FixedDirection);
    {
        // A fraction of a fan is refused, not rounded.
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Number of fans must be a whole number");
        auto dialog = Open();
        EXPECT_TRUE(dialog->OptSer2->Value());
        dialog->TxtFanN->setText("0.4");
        dialog->Command1_Click();
        EXPECT_TRUE(dialog->isVisible());
    }
    EXPECT_EQ(AirwayFanCount(a), 2);
    {
        auto dialog = Open();
        dialog->TxtFanN->setText("0");
        dialog->Command1_Click();
    }
    EXPECT_EQ(AirwayFan(a), 0);
    EXPECT_EQ(AirwayFanCount(a), 0);
    EXPECT_TRUE(AirwayFlags(a) & AirwayFlag::FixedDirection);
}

TEST_F(FanEdit, CurvePercentageIsHeldToTheCurvesAndBadEntriesKeepTheDialogOpen) {
    AirwayFan(a) = 7;
    AirwayFanCount(a) = 1;
    AirwayCurvePercent(a) = 100;
    DefaultCurvePercent = 0;
    auto dialog = Open();
    EXPECT_TRUE(dialog->OptCurveType[1]->Value());
    ClickBox(dialog->OptCurveType[2]);
    EXPECT_EQ(dialog->TxtVPart->text(), "50");
    EXPECT_EQ(DefaultCurvePercent, 50);
    for (const char *count : {"-2", "1"}) {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "probably in data entry");
        dialog->TxtFanN->setText(count);
        dialog->TxtVPart->setText(count[0] == '-' ? "50" : "abc");
        dialog->Command1_Click();
        EXPECT_TRUE(dialog->isVisible());
    }
    EXPECT_EQ(AirwayCurvePercent(a), 100);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "velocity pressure must be a whole number from 0 to 100");
        dialog->TxtFanN->setText("1");
        dialog->TxtVPart->setText("250");
        dialog->Command1_Click();
        EXPECT_TRUE(dialog->isVisible());
    }
    EXPECT_EQ(AirwayCurvePercent(a), 100);
    dialog = Open();
    dialog->TxtVPart->setText("50");
    dialog->Command1_Click();
    EXPECT_EQ(AirwayCurvePercent(a), 50);
    // A stored percentage outside 0..100 loads as the nearest curve, which OK then confirms.
    const struct {
        int stored;
        size_t option;
        int kept;
    } outside[] = {{250, 1, 100}, {-5, 0, 0}};
    for (const auto &c : outside) {
        AirwayCurvePercent(a) = c.stored;
        dialog = Open();
        EXPECT_TRUE(dialog->OptCurveType[c.option]->Value()) << c.stored;
        dialog->Command1_Click();
        EXPECT_FALSE(dialog->isVisible()) << c.stored;
        EXPECT_EQ(AirwayCurvePercent(a), c.kept);
    }
}

using Shock = DialogTest;

TEST_F(Shock, SumsTheTickedFittingsInDisplayUnits) {
    {
        frmShock dialog;
        Activate(dialog);
        // Each fitting alone gives its equivalent length (m).
        const int lengths[] = {1, 45, 1, 20, 1, 5, 1, 3, 1, 6, 10, 60, 20, 10, 30, 150, 20, 20, 6, 20};
        for (size_t i = 0; i < std::size(lengths); ++i) {
            ClickBox(dialog.ChkShockType[i]);
            EXPECT_EQ(dialog.LblShockTotal->text(), QString::number(lengths[i])) << i;
            ClickBox(dialog.ChkShockType[i]);
        }
        ClickBox(dialog.ChkShockType[3]);
        Type(dialog.LblNumS[3], "2");
        ClickBox(dialog.ChkShockType[19]);
        EXPECT_EQ(dialog.LblShockTotal->text(), "60");
        // A count typed into an unticked row ticks it and keeps the count.
        Type(dialog.LblNumS[18], "3");
        EXPECT_TRUE(dialog.ChkShockType[18]->isChecked());
        QTest::mouseClick(dialog.CmdUpdate, Qt::LeftButton);
        EXPECT_EQ(dialog.LblShockTotal->text(), "78");
        // A fraction of a fitting is said when the calculator is left for OK, and OK keeps it open on the box
        // with what was typed.
        // So is a count that is not wholly a number.
        for (const char *typed : {"2.5", "3x"}) {
            Type(dialog.LblNumS[18], typed);
            ScriptedDialogs boxes;
            for (int said = 0; said < 2; ++said)
                boxes.Expect(VB::vbOK, "Number of fittings must be a whole number from 0 to 1000");
            QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
            EXPECT_TRUE(boxes.Done()) << typed;
            EXPECT_TRUE(dialog.isVisible()) << typed;
            EXPECT_TRUE(dialog.LblNumS[18]->hasFocus()) << typed;
            EXPECT_EQ(dialog.LblNumS[18]->selectedText(), typed);
        }
        Type(dialog.LblNumS[18], "3");
        SubDialogOpen = true;
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        EXPECT_EQ(ShockTotal, 78.0f);
        EXPECT_FALSE(SubDialogOpen);
    }
    UnitSystem = 2;
    frmShock dialog;
    Activate(dialog);
    ClickBox(dialog.ChkShockType[1]);
    EXPECT_EQ(dialog.LblShockTotal->text(), "148");
    SubDialogOpen = true;
    dialog.close();
    EXPECT_EQ(ShockTotal, 0.0f);
    EXPECT_FALSE(SubDialogOpen);
}

using Attrib = DialogTest;

TEST_F(Attrib, TickedGroupsAreCopied) {
    AttributeMask = 0;
    DefaultsSaved = 255;
    {
        frmAttrib dialog;
        EXPECT_TRUE(dialog.ChkAttrib[0]->isChecked() && dialog.ChkAttrib[8]->isChecked());
        dialog.show();
        ClickBox(dialog.ChkAttrib[6]);
        ClickBox(dialog.ChkAttrib[7]);
        QTest::mouseClick(dialog.Command2, Qt::LeftButton);
    }
    EXPECT_EQ(AttributeMask, 192);
    EXPECT_EQ(DefaultsSaved, 0);
    {
        frmAttrib dialog;
        dialog.show();
        QTest::mouseClick(dialog.Command3, Qt::LeftButton);
        dialog.close();
    }
    EXPECT_EQ(AttributeMask, 192);
    frmAttrib dialog;
    dialog.show();
    QTest::mouseClick(dialog.Command3, Qt::LeftButton);
    QTest::mouseClick(dialog.Command2, Qt::LeftButton);
    EXPECT_EQ(AttributeMask, 511);
}

} // namespace
