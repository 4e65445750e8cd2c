#include "EditFixture.h"

#include "graphics/tools.h"
#include "platform/Busy.h"

#include <cmath>
#include <functional>

namespace {

using Tools = EditTest;

TEST_F(Tools, SplitPartsFlagsAndFlowsBetweenTheHalvesAndSharesAFixedLength) {
    const int a = Drive(100, 0, 200, 0);
    AirwayFlags(a) |= AirwayFlag::FixedFlow | AirwayFlag::ContaminantSource | AirwayFlag::SurfaceEntry |
                      AirwayFlag::SurfaceExit | AirwayFlag::FixedLength;
    AirwayFlow(a) = 25;
    AirwayParallelCount(a) = 2;
    AirwayFan(a) = 3;
    AirwayFanCount(a) = 1;
    AirwayLength(a) = 300;
    AirwayStartName(a) = "N1";
    AirwayEndName(a) = "N2";
    AirwayName(a) = "Drive";
    int32_t x = 125, y = 0, z = 100;
    int split = a;
    SplitAirway(x, y, z, split);
    ASSERT_EQ(split, a);
    ASSERT_EQ(AirwayCount, 2);
    const int n = 2;
    EXPECT_EQ(AirwayFlow(n), 25);
    EXPECT_EQ(AirwayParallelCount(n), 2);
    EXPECT_EQ(AirwayFan(a), 3);
    EXPECT_EQ(AirwayFan(n), 0);
    const int32_t shared = AirwayFlag::FixedFlow | AirwayFlag::FixedLength | AirwayFlag::Rectangular;
    EXPECT_EQ(AirwayFlags(a), shared | AirwayFlag::SurfaceEntry | AirwayFlag::ContaminantSource);
    EXPECT_EQ(AirwayFlags(n), shared | AirwayFlag::SurfaceExit);
    EXPECT_EQ(AirwayLength(a), 75);
    EXPECT_EQ(AirwayLength(n), 225);
    EXPECT_EQ(AirwayEndName(a).trimmed(), "");
    EXPECT_EQ(AirwayStartName(n).trimmed(), "");
    EXPECT_EQ(AirwayEndName(n).trimmed(), "N2");
    EXPECT_EQ(AirwayName(n).trimmed(), "Drive");
    EXPECT_EQ(AirwayStart(1, n), 125);
    EXPECT_EQ(AirwayEnd(1, n), 200);
    EXPECT_EQ(UndoSlot, 4); // before, and both halves after

    // No free slot: the message, and the airway stays whole.
    MaxAirways = AirwayCount;
    boxes.Expect(VB::vbOK,
                 "Network size has exceeded maximum airways - increase airways in default settings");
    x = 150;
    split = a;
    SplitAirway(x, y, z, split);
    EXPECT_EQ(split, 0);
    EXPECT_EQ(AirwayCount, 2);
    EXPECT_EQ(AirwayEnd(1, a), 125);
}

TEST_F(Tools, EditToolRightClickTogglesTheBulkheadAndALeftClickOpensTheDialog) {
    const int a = Drive(-200, 0, 200, 0);
    Ready();
    BulkheadResistance = ResistanceTypeValue(1) = 1e9f;
    ToolMode = 8;
    const struct { int type, expected; } cases[] = {{0, 1}, {2, 0}, {TypedPreset, 0}};
    for (const auto &c : cases) {
        AirwayResistanceType(a) = c.type;
        AirwayIconPosition(a) = 0;
        Click(2, -100, 0); // a quarter along
        EXPECT_EQ(AirwayResistanceType(a), c.expected) << c.type;
        if (c.expected == 1) {
            EXPECT_GE(AirwayResistance(a), ResistanceTypeValue(1));
            EXPECT_FLOAT_EQ(AirwayIconPosition(a), 0.25f - 0.3f);
        }
    }
    RightClickEditOff = 1;
    AirwayResistanceType(a) = 0;
    const int slot = UndoSlot;
    Click(2, -100, 0);
    EXPECT_EQ(AirwayResistanceType(a), 0);
    EXPECT_EQ(UndoSlot, slot);

    Click(1, -100, 0);
    EXPECT_EQ(editor.airwayEdits, std::vector<int>{1});
    EXPECT_EQ(CurrentAirway, a);
}

TEST_F(Tools, ASelectedAirwayOpensTheSelectionDialogAndOtherwiseTheInsertNodeToolSplits) {
    const int a = Drive(-200, 0, 200, 0);
    Ready();
    AirwayFlags(a) |= AirwayFlag::Selected;
    for (const int mode : {8, 17}) {
        ToolMode = mode;
        Click(1, 0, 0);
    }
    EXPECT_EQ(editor.airwayEdits, (std::vector<int>{3, 3}));
    EXPECT_EQ(AirwayCount, 1);

    AirwayFlags(a) &= ~AirwayFlag::Selected;
    NetworkSaved = 255; // the edit tool's click above marked it already
    // A fixed 0.01 Ns²/m⁸ over 400 m: 300 m and 100 m carry 0.0075 and 0.0025, fixed, 0.01 in series.
    AirwayResistanceType(a) = TypedPreset;
    AirwayResistance(a) = 0.01f;
    Click(1, 100, 0);
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_EQ(AirwayResistanceType(2), TypedPreset);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 0.0075f);
    EXPECT_FLOAT_EQ(AirwayResistance(2), 0.0025f);
    EXPECT_EQ(AirwayEnd(1, a), 100);
    EXPECT_EQ(AirwayStartKey(2), AirwayEndKey(a));
    EXPECT_EQ(NetworkSaved, 0);
    EXPECT_EQ(EditSubMode, 1);
}

TEST_F(Tools, InsertNodeSharesTheShockLengthSoThatThePathKeepsItsResistance) {
    // R = k P (L + shock) / A³ at 1.2 kg/m³, of n airways side by side R / n²; k 0.012, L 400 m.
    const double pi = 3.1415926;
    const struct {
        const char *what;
        int32_t shape;
        float height, width; // the two sizes as the airway holds them
        double area, perimeter;
    } shapes[] = {
        {"rectangular", AirwayFlag::Rectangular, 4, 4, 16, 16},
        {"round", AirwayFlag::Round, 0, 4, 4 * pi, 4 * pi},
        {"irregular", AirwayFlag::Irregular, 14, 12, 12, 14},
    };
    AirDensity = 1.2f;
    ShockTypeLength(0) = 0;  // "None"
    ShockTypeLength(3) = 50; // "Moderate", m
    for (const auto &s : shapes)
        for (const int shockType : {0, 3})
            for (const int parallel : {1, 3}) {
                AirwayCount = 0;
                const int a = Drive(-200, 0, 200, 0);
                AirwayFlags(a) = s.shape;
                AirwaySize(1, a) = s.height;
                AirwaySize(2, a) = s.width;
                AirwayShockType(a) = shockType;
                AirwayParallelCount(a) = parallel;
                Ready();
                ToolMode = 17;
                Click(1, 100, 0);
                ASSERT_EQ(AirwayCount, 2) << s.what;
                CalcAllAirways(); // as every run does
                const double shock = shockType == 3 ? 50 : 0;
                const double whole =
                    0.012 * s.perimeter * (400 + shock) / std::pow(s.area, 3) / (parallel * parallel);
                EXPECT_NEAR(AirwayResistance(1) + AirwayResistance(2), whole, whole * 1e-5)
                    << s.what << ", shock " << shock << ", " << parallel << " side by side";
            }
}

TEST_F(Tools, DeleteAtANodeOfOneInAndOneOutJoinsTheAirwaysAndOneUndoSeparatesThem) {
    const int a = Drive(-300, 0, -100, 0);
    Drive(-100, 0, 100, 0);
    AirwayName(a) = "Kept";
    AirwayEndName(a) = "Middle";
    Ready();
    const auto before = Stored();
    const float resistance = AirwayResistance(a);
    ToolMode = 4;
    Click(1, -100, 0);
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayEnd(1, a), 100);
    EXPECT_EQ(AirwayName(a).trimmed(), "Kept");
    EXPECT_EQ(AirwayEndName(a).trimmed(), "Middle");
    EXPECT_EQ(AirwayLength(a), 400);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 2 * resistance);
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), before));
}

TEST_F(Tools, DeletingTheNodeBetweenTwoAirwaysThatJoinIntoAVerticalShaftJoinsThem) {
    // Down from (0, 0, 300) to the node at (50, 0, 200) and on down to (0, 0, 100): the joined airway's
    // ends lie one above the other, which is a shaft, not a ring.
    const int a = Drive(0, 0, 50, 0);
    SetAirwayEnds(a, 0, 0, 300, 50, 0, 200);
    SetAirwayEnds(Drive(50, 0, 0, 0), 50, 0, 200, 0, 0, 100);
    Ready();
    ToolMode = 4;
    Click(1, 50, 0);
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayEnd(1, a), 0);
    EXPECT_EQ(AirwayEnd(3, a), 100);
    EXPECT_EQ(AirwayLength(a), 200);
}

TEST_F(Tools, UndoThenRedoOfANodeDeleteGivesBackTheAirwayOrderSeenAfterTheDelete) {
    // The airway leaving the node lies before the one arriving, so the join packs the kept one down a slot.
    Drive(-100, 0, 100, 0);
    Drive(-300, 0, -100, 0);
    Drive(0, 300, 100, 300);
    Ready();
    ToolMode = 4;
    Click(1, -100, 0);
    ASSERT_EQ(AirwayCount, 2);
    const auto afterDelete = Stored();
    UndoAction();
    ASSERT_EQ(AirwayCount, 3);
    RedoAction();
    EXPECT_EQ(Stored(), afterDelete);
}

TEST_F(Tools, ANodeThatIsNotOneInOneOutStaysWithAMessage) {
    const struct {
        const char *what;
        std::function<void()> build;
        float x, y; // the click
        const char *message = "Too many attached branches to delete node";
    } cases[] = {
        {"two arriving",
         [] {
             Drive(-300, 0, 0, 0);
             Drive(0, 300, 0, 0);
             Drive(0, 0, 300, 0);
         },
         0, 0},
        {"a third airway",
         [] {
             Drive(-300, 0, 0, 0);
             Drive(0, 0, 300, 0);
             Drive(0, 0, 0, 300);
         },
         0, 0},
        {"the surface node",
         [] {
             Drive(-300, 0, -100, 0);
             AirwayFlags(1) |= AirwayFlag::SurfaceEntry;
             Drive(100, 0, 300, 0);
             AirwayFlags(2) |= AirwayFlag::SurfaceExit;
         },
         -300, 0},
        {"a two-airway ring",
         [] {
             Drive(-300, 0, 0, 0);
             Drive(0, 0, -300, 0);
         },
         0, 0, "the joined airway would start and end at the same point"},
        {"a two-airway ring, at its other node",
         [] {
             Drive(-300, 0, 0, 0);
             Drive(0, 0, -300, 0);
         },
         -300, 0, "the joined airway would start and end at the same point"},
    };
    for (const auto &c : cases) {
        AirwayCount = 0;
        c.build();
        Ready();
        const auto before = Stored();
        ToolMode = 4;
        boxes.Expect(VB::vbOK, c.message);
        Click(1, c.x, c.y);
        EXPECT_EQ(Stored(), before) << c.what;
        EXPECT_EQ(UndoSlot, 1) << c.what;
    }
    EXPECT_TRUE(boxes.Done());

    // No airway on the far side: the click deletes the airway.
    AirwayCount = 0;
    Drive(-300, 0, -100, 0);
    Ready();
    Click(1, -100, 0);
    EXPECT_EQ(AirwayCount, 0);
}

TEST_F(Tools, FenceDeleteAsksAndTakesAirwaysWithAnyOfThreePointsInsideAsOneStep) {
    Drive(0, 0, 300, 300);     // start inside
    Drive(-300, -300, 10, 10); // end inside
    Drive(-300, 20, 300, 20);  // only the midpoint inside
    const int32_t outside = AirwayNumber(Drive(200, 200, 300, 200));
    FloatingTextUsed(1) = true;
    FloatingTextString(1) = "Fan house";
    FloatingTextPosition(1, 1) = 400;
    FloatingTextPosition(2, 1) = -400;
    FloatingTextPosition(3, 1) = 100;
    Ready();
    const auto before = Stored();
    ToolMode = 4;
    boxes.Expect(VB::vbNo, "Are you sure you want to delete all airways within the fence?");
    Drag(1, -100, -50, 100, 50);
    EXPECT_EQ(boxes.Shown().at(0).title, "Fence Delete");
    EXPECT_EQ(AirwayCount, 4);
    boxes.Expect(VB::vbYes, "Are you sure you want to delete all airways within the fence?");
    Drag(1, 100, 50, -100, -50); // from the other corner
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayNumber(1), outside);
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), before));

    // A floating text goes without an undo entry.
    const int slot = UndoSlot;
    Click(1, 400, -400);
    EXPECT_FALSE(FloatingTextUsed(1));
    EXPECT_EQ(UndoSlot, slot);
}

TEST_F(Tools, ReverseTurnsAnAirwayOrTheSelectionRoundAsOneUndoStep) {
    const int a = Drive(-300, 0, -100, 0);
    Drive(100, 0, 300, 0);
    AirwayStartName(a) = "N1";
    AirwayEndName(a) = "N2";
    AirwayFlags(a) |= AirwayFlag::SurfaceEntry;
    AirwayIconPosition(a) = 0.4f;
    AirwayFlow(a) = 12;
    Ready();
    const auto before = Stored();
    const Currency startKey = AirwayStartKey(a), endKey = AirwayEndKey(a);
    ToolMode = 3;
    Click(1, -200, 0);
    EXPECT_EQ(AirwayStartKey(a), endKey);
    EXPECT_EQ(AirwayEndKey(a), startKey);
    EXPECT_EQ(AirwayStart(1, a), -100);
    EXPECT_EQ(AirwayEnd(1, a), -300);
    EXPECT_EQ(AirwayStartName(a).trimmed(), "N2");
    EXPECT_EQ(AirwayEndName(a).trimmed(), "N1");
    EXPECT_EQ(AirwayFlags(a) & (AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit), AirwayFlag::SurfaceExit);
    EXPECT_FLOAT_EQ(AirwayIconPosition(a), -0.4f);
    EXPECT_EQ(AirwayFlow(a), 12);
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), before));

    // Undo may have given the airways other slots: both are selected, one is clicked.
    AirwayFlags(1) |= AirwayFlag::Selected;
    AirwayFlags(2) |= AirwayFlag::Selected;
    const auto selected = Stored();
    Click(1, 200, 0);
    std::vector<int32_t> starts{AirwayStart(1, 1), AirwayStart(1, 2)};
    std::sort(starts.begin(), starts.end());
    EXPECT_EQ(starts, (std::vector<int32_t>{-100, 300}));
    UndoAction();
    EXPECT_EQ(AirwayCount, 2);
    EXPECT_TRUE(SameAirways(Stored(), selected));
}

TEST_F(Tools, RotationCentreClickTurnsAPlanViewInto3DFromAboveAndAMissStillSetsTheCentre) {
    const int a = Drive(-200, 0, 200, 0);
    Ready();
    ToolMode = 10;
    Tilt = 1;
    Spin = 1;
    Click(1, 100, 0);
    EXPECT_EQ(ViewIs3D, 1);
    EXPECT_EQ(Tilt, 0);
    EXPECT_EQ(Spin, 0);
    EXPECT_EQ(RotationCentreSet, a);
    EXPECT_EQ(AirwayStart(1, 0), 100);
    Click(1, -400, 400);
    EXPECT_EQ(RotationCentreSet, 1);
}

TEST_F(Tools, ADraggedLevelPickDoesNothing) {
    Drive(-200, 0, 200, 0);
    Ready();
    ToolMode = 11;
    const int32_t high = RLWindowHigh;
    Drag(1, 0, 0, 200, 200);
    EXPECT_EQ(RLWindowHigh, high);
    EXPECT_TRUE(shell.levelList.empty());
}

TEST_F(Tools, WhileALongOperationRunsNoToolChangesTheNetwork) {
    Drive(-200, 0, 200, 0);
    Ready();
    const auto before = Stored();
    VB::BusyScope run;
    for (const int mode : {1, 4}) { // draw, delete
        ToolMode = mode;
        Drag(1, 0, 0, 0, 300);
        Click(1, 0, 0);
        EXPECT_EQ(Stored(), before) << "tool mode " << mode;
    }
    EXPECT_TRUE(dispatched.empty());
}

} // namespace
