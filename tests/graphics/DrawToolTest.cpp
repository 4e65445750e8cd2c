#include "EditFixture.h"

namespace {

class DrawTool : public EditTest {
protected:
    int a = 0, b = 0;
    void SetUp() override {
        EditTest::SetUp();
        a = Drive(-300, 0, 300, 0);
        b = Drive(-300, 200, 300, 200);
        Ready();
        ToolMode = 1;
    }
};

TEST_F(DrawTool, ADrawBetweenTheMiddlesOfTwoAirwaysSplitsBothAndOneUndoGivesThemBack) {
    const auto before = Stored();
    Drag(1, 0, 0, 0, 200);
    ASSERT_EQ(AirwayCount, 5);
    const int drawn = 3;
    EXPECT_EQ(AirwayStart(2, drawn), 0);
    EXPECT_EQ(AirwayEnd(2, drawn), 200);
    EXPECT_EQ(AirwayStartName(drawn).str(), std::string(40, ' '));
    EXPECT_EQ(AirwayEndName(drawn).str(), std::string(40, ' '));
    // Both airways now end at the new airway's ends, and their far halves start there.
    EXPECT_EQ(AirwayEnd(1, a), 0);
    EXPECT_EQ(AirwayEnd(1, b), 0);
    EXPECT_EQ(AirwayStartKey(drawn), AirwayEndKey(a));
    EXPECT_EQ(AirwayEndKey(drawn), AirwayEndKey(b));
    EXPECT_EQ(NetworkSaved, 0);
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), before));
}

TEST_F(DrawTool, ABypassAlongOneAirwayCutsItIntoThreePiecesAlongItsOwnDirection) {
    // Drawn either way round, between two points of the 600 m drive a.
    for (const int32_t from : {-100, 100}) {
        AirwayCount = 0;
        a = Drive(-300, 0, 300, 0);
        b = Drive(-300, 200, 300, 200);
        Ready();
        Drag(1, static_cast<float>(from), 0, static_cast<float>(-from), 0);
        ASSERT_EQ(AirwayCount, 5) << from;
        const int drawn = 3;
        EXPECT_EQ(AirwayStart(1, drawn), from);
        EXPECT_EQ(AirwayEnd(1, drawn), -from);
        // The drive's pieces, each pointing its way, one after the other.
        std::vector<std::array<int32_t, 2>> pieces;
        for (const int s : {a, 4, 5})
            pieces.push_back({AirwayStart(1, s), AirwayEnd(1, s)});
        std::sort(pieces.begin(), pieces.end());
        EXPECT_EQ(pieces, (std::vector<std::array<int32_t, 2>>{{-300, -100}, {-100, 100}, {100, 300}}))
            << from;
        EXPECT_EQ(AirwayLength(a) + AirwayLength(4) + AirwayLength(5), 600.0f) << from;
    }
}

TEST_F(DrawTool, ARefusedDrawLeavesTheNetworkCountAndUndoLogAsTheyWere) {
    const auto before = Stored();
    // A typed end cancelled after the press picked the middle of an airway.
    editor.coordinatesCancelled = true;
    Press(1, 0, 0);
    Move(1, 0, 150);
    Release(2, 0, 150);
    EXPECT_EQ(editor.coordinateEntries, 1);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(UndoSlot, 1);

    // A level airway on the surface RL, between the middles of two airways.
    LevelRange(1, 2) = 100;
    boxes.Expect(VB::vbOK, "Cannot construct an airway within the surface RL.");
    Drag(1, 0, 0, 0, 200);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(UndoSlot, 1);
    EXPECT_EQ(boxes.Shown().at(0).icon, VB::vbExclamation);
}

TEST_F(DrawTool, PropertyAndLayerInheritanceTakeWhatTheContinuedAirwayCarries) {
    AirwayFlags(a) |= AirwayFlag::FixedFlow | AirwayFlag::ContaminantSource | AirwayFlag::Selected |
                      AirwayFlag::Services | AirwayFlag::DataHidden | AirwayFlag::FreshAir;
    AirwaySize(1, a) = 3;
    AirwaySize(2, a) = 5;
    // Typed values, which the recalculation of the new airway keeps.
    AirwayWallType(a) = TypedPreset;
    AirwayShockType(a) = TypedPreset;
    AirwayShockLength(a) = 20;
    AirwayFrictionFactor(a) = 0.02f;
    AirwayPrimaryLayer(a) = 3;
    AirwaySecondaryLayer(a) = 7;
    PropertyInheritance = false; // stored inverted: on
    LayerInheritance = true;
    // Hidden after the drawing, so the press still finds the airway's end.
    PrimaryLayerVisible(3) = false;
    SecondaryLayerVisible(7) = false;
    boxes.Expect(VB::vbOK, "Primary layer is set to invisible - drawn airway may be invisible")
        .Expect(VB::vbOK, "Secondary layer is set to invisible - drawn airway may be invisible");
    Drag(1, 300, 0, 300, 350);
    ASSERT_EQ(AirwayCount, 3);
    const int drawn = 3;
    EXPECT_EQ(AirwaySize(1, drawn), 3);
    EXPECT_EQ(AirwaySize(2, drawn), 5);
    EXPECT_EQ(AirwayWallType(drawn), TypedPreset);
    EXPECT_EQ(AirwayShockType(drawn), TypedPreset);
    EXPECT_EQ(AirwayShockLength(drawn), 20);
    EXPECT_EQ(AirwayFrictionFactor(drawn), 0.02f);
    EXPECT_EQ(AirwayFlags(drawn) & ~AirwayFlag::LayerVisible,
              AirwayFlag::Rectangular | AirwayFlag::Services | AirwayFlag::DataHidden | AirwayFlag::FreshAir);
    EXPECT_EQ(AirwayPrimaryLayer(drawn), 3);
    EXPECT_EQ(AirwaySecondaryLayer(drawn), 7);
    EXPECT_EQ(AirwayStartKey(drawn), AirwayEndKey(a));
    EXPECT_TRUE(boxes.Done());
}

TEST_F(DrawTool, ARightButtonEndTakesTheTypedPoint) {
    // Renumbered, as after a merge: the drawn airway takes the number after the highest.
    RenumberAirways(1, true);
    editor.typedPoint = std::array<int32_t, 3>{450, 420, 120};
    Press(1, 300, 0);
    Move(1, 350, 100);
    Release(2, 350, 100);
    ASSERT_EQ(AirwayCount, 3);
    EXPECT_EQ(AirwayEnd(1, 3), 450);
    EXPECT_EQ(AirwayEnd(2, 3), 420);
    EXPECT_EQ(AirwayEnd(3, 3), 120);
    EXPECT_EQ(AirwayNumber(3), 3);
}

TEST_F(DrawTool, ATypedStartEndsWhereTheLeftClickFalls) {
    // Right press on empty space types the start; the dialog took the right release.
    editor.typedPoint = std::array<int32_t, 3>{-200, -100, 100};
    Press(2, -150, -120);
    Move(0, 200, -100);
    Click(1, 200, -100);
    ASSERT_EQ(AirwayCount, 3);
    EXPECT_EQ(AirwayStart(1, 3), -200);
    EXPECT_EQ(AirwayEnd(1, 3), 200);
    EXPECT_EQ(AirwayEnd(2, 3), -100);
}

TEST_F(DrawTool, TheLastFreeSlotIsNeverFilled) {
    MaxAirways = 100;
    // Airways on a hidden layer, out of the way of the picks.
    while (AirwayCount < 98) {
        const int h = Drive(-400 + 8 * AirwayCount, -450, -396 + 8 * AirwayCount, -450);
        AirwayPrimaryLayer(h) = 2;
    }
    PrimaryLayerVisible(2) = false;
    Ready();
    Drag(1, -200, -300, 200, -300);
    EXPECT_EQ(AirwayCount, 99);
    boxes.Expect(VB::vbOK, "Maximum Number of Airways Exceeded");
    Drag(1, -200, -400, 200, -400);
    EXPECT_EQ(AirwayCount, 99);
    EXPECT_TRUE(boxes.Done());
}

} // namespace
