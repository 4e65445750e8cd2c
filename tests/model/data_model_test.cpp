#include "common/ModelFixture.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"

using DataModel = ModelTest;

TEST_F(DataModel, ClearNetworkLeavesEmptyFullSizeArrays) {
    AddAirway(1, 2, 3, 4, 5, 6);
    AirwayName(1) = "Main drive";
    PrimaryLayerVisible(3) = false;
    PrimaryLayerName(3) = "Vent";
    SecondaryLayerVisible(48) = false;
    ViewName(7) = "Mine plan";
    ViewSingles(7, 3) = 42;
    ClearNetwork();

    EXPECT_EQ(AirwayCount, 0);
    EXPECT_EQ(shell.caption, "Gustrom");
    const std::size_t slotCount = static_cast<std::size_t>(MaxAirways) + 1;
    EXPECT_EQ(AirwayFlags.size(), slotCount);
    EXPECT_EQ(AirwayName.size(), slotCount);
    EXPECT_EQ(AirwayStart.size(), 4 * slotCount);
    EXPECT_EQ(AirwaySize.size(), 3 * slotCount);
    EXPECT_EQ(AirwaySmoke.size(), 2 * slotCount);
    EXPECT_EQ(VisibleAirways.size(), slotCount + 1);
    EXPECT_EQ(AirwayLinkList.UBound(), 4 * MaxAirways);
    EXPECT_EQ(MeshStart.UBound(), 15000);
    for (int a = 0; a <= MaxAirways; ++a) {
        ASSERT_EQ(AirwayFlags(a), 0);
        ASSERT_EQ(AirwayStart(1, a), 0);
        ASSERT_EQ(AirwayResistance(a), 0.0f);
        ASSERT_EQ(AirwayName(a).trimmed(), "");
    }
    for (int l = 1; l <= 16; ++l)
        EXPECT_TRUE(PrimaryLayerVisible(l) && PrimaryLayerName(l).empty());
    for (int l = 1; l <= 48; ++l)
        EXPECT_TRUE(SecondaryLayerVisible(l) && SecondaryLayerName(l).empty());
    const char *builtIn[] = {" 1. Default View", " 2. Plan View 3D", " 3. Long Section", " 4. Cross Section",
                             " 5. Iso View"};
    for (int v = 1; v <= 5; ++v)
        EXPECT_EQ(ViewName(v), builtIn[v - 1]);
    for (int v = 6; v <= 100; ++v)
        EXPECT_TRUE(ViewName(v).empty());
    EXPECT_EQ(ViewSingles(7, 3), 0.0f);
    EXPECT_EQ(UndoStep, 1);
    EXPECT_EQ(UndoSlot, 1);
}

TEST_F(DataModel, ClearAirwayEmptiesOneSlotOnly) {
    AddAirway(1, 2, 3, 4, 5, 6);
    const int b = AddAirway(7, 8, 9, 10, 11, 12);
    AirwaySmoke(2, 1) = 4;
    AirwayComment(1) = "note";
    AirwaySmokeTime(1) = 12;
    ClearAirway(1);
    EXPECT_EQ(AirwayFlags(1), 0);
    EXPECT_EQ(AirwayCount, 2);
    EXPECT_EQ(AirwaySmoke(2, 1), 0);
    EXPECT_EQ(AirwayComment(1).str(), std::string(12, ' '));
    EXPECT_EQ(AirwayStart(3, 1), 0);
    EXPECT_EQ(AirwaySmokeTime(1), 0.0f); // the arrival time goes with its airway
    EXPECT_EQ(AirwayStart(1, b), 7);
}

TEST_F(DataModel, BuiltInDefaultsStandWithoutASettingsFile) {
    EXPECT_EQ(DefaultDriveWallType, 4);
    EXPECT_EQ(WallTypeName(4), "Smooth Blasted Airway");
    EXPECT_FLOAT_EQ(WallTypeFactor(4), 0.01f);
    EXPECT_EQ(DefaultRaiseWallType, 2);
    EXPECT_EQ(WallTypeName(2), "Concrete Lined Airway");
    EXPECT_FLOAT_EQ(WallTypeFactor(2), 0.004f);
    EXPECT_EQ(ResistanceTypeName(2), "Steel Door");
    EXPECT_FLOAT_EQ(ResistanceTypeValue(2), 10);
    EXPECT_FLOAT_EQ(ResistanceTypeValue(1), 1e9f);
    EXPECT_EQ(ResistanceTypeName(TypedPreset), "Fix Res");
    EXPECT_EQ(ShockTypeName(3), "Moderate");
    EXPECT_FLOAT_EQ(ShockTypeLength(3), 50);
    EXPECT_TRUE(WallTypeName(10).empty());
    EXPECT_TRUE(ShockTypeName(6).empty());
    EXPECT_EQ(ColourTable(1), 0x0000FF); // bright red, red in the low byte
    EXPECT_EQ(ColourTable(5), 0x00FFFF); // yellow
    EXPECT_EQ(IconSize(1), 3);
    EXPECT_EQ(FontName(4), "Arial");
    EXPECT_EQ(DefaultsSaved, 255);
    EXPECT_EQ(MaxAirways, 30000);
    // The view list got the five built-in views and view 1 was applied.
    ASSERT_EQ(shell.viewList.size(), 5u);
    EXPECT_EQ(shell.viewList[4], " 5. Iso View");
    ASSERT_FALSE(shell.viewIndexSet.empty());
    EXPECT_EQ(shell.viewIndexSet.back(), 0);
    EXPECT_EQ(shell.graphicsWindows[0].caption, "View 1");
}

TEST_F(DataModel, BuiltInViewsTiltWithTheVerticalAxis) {
    EXPECT_FLOAT_EQ(ViewSingles(3, 1), 3.141592654f / 2);
    EXPECT_FLOAT_EQ(ViewSingles(4, 2), -3.141592654f / 2);
    EXPECT_FLOAT_EQ(ViewSingles(5, 1), 1.0f);
    EXPECT_FLOAT_EQ(ViewSingles(5, 2), -0.391f);
    EXPECT_EQ(ViewSingles(1, 14), 0.0f);
    EXPECT_EQ(ViewSingles(2, 14), 1.0f);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Error re-loading defaults");
        AxisSignY = -1;
        SetDefaults();
    }
    EXPECT_FLOAT_EQ(ViewSingles(3, 1), -3.141592654f / 2);
    EXPECT_FLOAT_EQ(ViewSingles(5, 1), -1.0f);
    AxisSignY = 1;
}

TEST_F(DataModel, PreserveKeepsExistingFansWhenTheCapacityGrows) {
    for (int f = 1; f <= 250; ++f) {
        FanName(f) = "Fan " + std::to_string(f);
        FanCurveFlow(10, f) = static_cast<float>(f);
        FanCurvePressure(2, 10, f) = static_cast<float>(f * 2);
        FanCurveEfficiency(3, f) = f % 100;
    }
    AddAirway(1, 2, 3, 4, 5, 6);
    MaxFans = 300;
    ReDimNetworkPreserve();
    EXPECT_EQ(FanName.UBound(), 300);
    for (int f = 1; f <= 250; ++f) {
        ASSERT_EQ(FanName(f), "Fan " + std::to_string(f));
        ASSERT_EQ(FanCurveFlow(10, f), static_cast<float>(f));
        ASSERT_EQ(FanCurvePressure(2, 10, f), static_cast<float>(f * 2));
        ASSERT_EQ(FanCurveEfficiency(3, f), f % 100);
    }
    for (int f = 251; f <= 300; ++f) {
        EXPECT_TRUE(FanName(f).empty());
        EXPECT_EQ(FanCurveFlow(10, f), 0.0f);
    }
    EXPECT_EQ(AirwayStart(3, 1), 3); // airways survive too
    MaxFans = 250;
}

TEST_F(DataModel, AnErrorWhileSettingDefaultsStillAllocates) {
    // A settings reader that fails with a run-time error: the program starts with allocated arrays.
    MaxAirways = 500;
    AirwayFlags.ReDim(Bounds{0, 0});
    ReDimNetwork();
    EXPECT_EQ(AirwayFlags.UBound(), 500);
    MaxAirways = 30000;
    ReDimNetwork();
}
