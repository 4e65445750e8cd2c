#include "EditFixture.h"

#include "graphics/tools.h"

namespace {

// Two drives meeting at the node (-100, 0), an unrelated upright drive, a drive whose start is a node of
// its own at (0, 300), and an end above the node at another elevation.
class MoveTool : public EditTest {
protected:
    int a = 0, b = 0, upright = 0, other = 0, above = 0;
    void SetUp() override {
        EditTest::SetUp();
        Build();
        ToolMode = 2;
    }
    // The network afresh, in its own slots.
    void Build() {
        AirwayCount = 0;
        a = Drive(-300, 0, -100, 0);
        b = Drive(-100, 0, 100, 0);
        upright = Drive(200, -200, 200, 200);
        other = Drive(0, 300, 100, 300);
        above = Drive(-100, 0, -100, 100, 300);
        Ready();
    }
    // A typed point is used up by the move it was typed for: the next airway drawn with the mouse, here
    // in empty space at (x, -400), ends at the cursor.
    static void ExpectNextDrawEndsAtTheCursor(int x) {
        ToolMode = 1;
        const int count = AirwayCount;
        Drag(1, x - 100, -400, x, -400);
        ASSERT_EQ(AirwayCount, count + 1);
        EXPECT_EQ(AirwayEnd(1, AirwayCount), x);
        EXPECT_EQ(AirwayEnd(2, AirwayCount), -400);
        ToolMode = 2;
    }
};

TEST_F(MoveTool, ADropOnAnotherNodeJoinsAfterYesAndMovesToTheCursorAfterNo) {
    const auto before = Stored();
    boxes.Expect(VB::vbYes, "Are you sure you want to join to this node?");
    Drag(1, -100, 0, 10, 300);
    EXPECT_EQ(boxes.Shown().at(0).title, "Join Nodes");
    EXPECT_EQ(AirwayEnd(1, a), 0);
    EXPECT_EQ(AirwayEndKey(a), AirwayStartKey(other));
    EXPECT_EQ(AirwayStartKey(b), AirwayStartKey(other));
    EXPECT_EQ(AirwayStart(1, above), -100); // another elevation: not part of the node
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), before));

    Build();
    boxes.Expect(VB::vbNo, "Are you sure you want to join to this node?");
    Drag(1, -100, 0, 10, 300);
    EXPECT_EQ(AirwayEnd(1, a), 10);
    EXPECT_EQ(AirwayStart(1, b), 10);
    EXPECT_NE(AirwayEndKey(a), AirwayStartKey(other));
    EXPECT_TRUE(boxes.Done());
}

TEST_F(MoveTool, ADropOnAnAttachedEndAsksNothingAndOnAnUnrelatedMiddleSplitsAndJoins) {
    // Near the far end of the attached drive (exactly on it would leave that drive without length).
    Drag(1, -100, 0, 95, 5);
    EXPECT_EQ(AirwayEnd(1, a), 95);
    // The same when the end found at the drop is another airway's, lying on that far end.
    AirwayCount = 0;
    Drive(100, 0, 100, 100);
    const int attached = Drive(0, 0, 100, 0);
    Ready();
    Drag(1, 0, 0, 97, 3);
    EXPECT_EQ(AirwayStart(1, attached), 97);
    EXPECT_TRUE(boxes.Shown().empty());

    Build();
    Drag(1, -100, 0, 200, 100); // the middle of the upright drive
    ASSERT_EQ(AirwayCount, 6);
    EXPECT_EQ(AirwayEnd(2, a), 100);
    EXPECT_EQ(AirwayEnd(2, upright), 100);
    EXPECT_EQ(AirwayEndKey(a), AirwayEndKey(upright));
}

TEST_F(MoveTool, AnEndDroppedOnItsOwnAirwayIsAPlainMoveAndNeverLeavesItWithoutLength) {
    // Drive a runs from -300 to -100; the press near its start detaches that end.
    const struct {
        float drop;
        int32_t start; // where a's start ends up
    } drops[] = {{-150, -150}, {-297, -297}, {-100, -300}};
    for (const auto &d : drops) {
        Build();
        Drag(1, -250, 0, d.drop, 0);
        EXPECT_EQ(AirwayCount, 5) << d.drop;
        EXPECT_EQ(AirwayStart(1, a), d.start) << d.drop;
        EXPECT_EQ(AirwayEnd(1, a), -100) << d.drop;
        for (int s = 1; s <= AirwayCount; ++s)
            EXPECT_FALSE(AirwayStart(1, s) == AirwayEnd(1, s) && AirwayStart(2, s) == AirwayEnd(2, s) &&
                         AirwayStart(3, s) == AirwayEnd(3, s))
                << d.drop << ", airway " << s;
    }
    EXPECT_TRUE(boxes.Shown().empty()); // no join is offered

    // A click on a node without any movement moves nothing.
    Build();
    const auto before = Stored();
    Click(1, -95, 3);
    EXPECT_EQ(Stored(), before);
}

TEST_F(MoveTool, AFenceMovesOrCopiesWhatLiesStrictlyInsideByTheTypedDisplacement) {
    int inside = 0, half = 0, outside = 0;
    const auto build = [&] {
        AirwayCount = 0;
        inside = Drive(-50, -20, 50, -20);
        half = Drive(50, 50, 300, 50);
        outside = Drive(300, 300, 400, 300);
        AirwayFlags(inside) |= AirwayFlag::Selected;
        Ready();
    };
    build();
    const auto before = Stored();
    editor.typedPoint = std::array<int32_t, 3>{10, 20, 0};
    Drag(1, -100, -100, 100, 100);
    EXPECT_EQ(AirwayStart(1, inside), -40);
    EXPECT_EQ(AirwayEnd(2, inside), 0);
    EXPECT_EQ(AirwayStart(1, half), 60);
    EXPECT_EQ(AirwayEnd(1, half), 300);
    EXPECT_EQ(AirwayStart(1, outside), 300);
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), before));

    build();
    MakeCopy = 1;
    Drag(1, -100, -100, 100, 100);
    ASSERT_EQ(AirwayCount, 5);
    EXPECT_EQ(AirwayStart(1, inside), -50);
    for (const int copy : {4, 5}) {
        EXPECT_EQ(AirwayName(copy).trimmed(), "");
        EXPECT_GT(AirwayNumber(copy), 3);
        EXPECT_EQ(AirwayFlags(copy) & AirwayFlag::Selected, 0);
    }
    EXPECT_NE(AirwayNumber(4), AirwayNumber(5));
    EXPECT_EQ(MakeCopy, 0);
    ExpectNextDrawEndsAtTheCursor(-300);

    // Copies beyond the capacity: the message and no change.
    Ready();
    const auto full = Stored();
    MaxAirways = AirwayCount + 2;
    MakeCopy = 1;
    boxes.Expect(VB::vbOK, "Maximum Number of Airways Exceeded");
    Drag(1, -100, -100, 100, 100);
    EXPECT_EQ(Stored(), full);
}

TEST_F(MoveTool, SelectedAirwaysMoveByTheDragOrTheTypedDisplacementAndCopyAsNewAirways) {
    AirwayFlags(a) |= AirwayFlag::Selected;
    AirwayFlags(b) |= AirwayFlag::Selected;
    // A right press on a selection: the dialog's displacement is used as typed.
    editor.typedPoint = std::array<int32_t, 3>{30, 0, 0};
    Press(2, -200, 0);
    Move(2, -150, 0);
    Release(2, -150, 0);
    EXPECT_EQ(AirwayStart(1, a), -270);
    EXPECT_EQ(AirwayEnd(1, b), 130);

    EntryPointX = 100;
    EntryPointY = EntryPointZ = 0;
    MakeCopy = 1;
    AirwayName(a) = "Source";
    CopyMarkedAirways();
    ASSERT_EQ(AirwayCount, 7);
    for (const int copy : {6, 7}) {
        EXPECT_EQ(AirwayName(copy).trimmed(), "");
        EXPECT_EQ(AirwayFlags(copy) & AirwayFlag::Selected, 0);
    }
    EXPECT_EQ(AirwayStart(1, 6), AirwayStart(1, a) + 100);
    EXPECT_EQ(AirwayNumber(7), NextAirwayNumber);
    EXPECT_NE(AirwayFlags(a) & AirwayFlag::Selected, 0);
    ExpectNextDrawEndsAtTheCursor(400);
}

// An end taken beyond the coordinate rules (plan +-10,000,000 m, RL +-9,999,999 m) would be a damaged record
// when the file is next read: the move or copy says so and changes nothing. Up to the rule it is made.
TEST_F(MoveTool, AMoveOrCopyBeyondTheCoordinateRulesIsRefusedAndUpToThemMade) {
    struct Row {
        const char *what;
        bool fence, copy;
        std::array<int32_t, 3> by;
        bool made;
    };
    // The fence holds the drive (-50, -20) .. (50, -20); the selection is drives a and b, -300 .. 100; all at
    // RL 100.
    const Row rows[] = {
        {"fence, east to the rule", true, false, {9999950, 0, 0}, true},
        {"fence, a metre past it", true, false, {9999951, 0, 0}, false},
        {"fence copy, down past the RL rule", true, true, {0, 0, -10000100}, false},
        {"selection, down to the RL rule", false, false, {0, 0, -10000099}, true},
        {"selection, west past it", false, false, {-9999701, 0, 0}, false},
        {"selection copy, a shift beyond any coordinate", false, true, {2147483000, 0, 0}, false},
    };
    for (const Row &row : rows) {
        Build();
        const int fenced = Drive(-50, -20, 50, -20);
        AirwayFlags(a) |= AirwayFlag::Selected;
        AirwayFlags(b) |= AirwayFlag::Selected;
        Ready();
        const auto before = Stored();
        const int count = AirwayCount;
        if (!row.made)
            boxes.Expect(VB::vbOK, "Coordinates exceed allowed values");
        MakeCopy = row.copy ? 1 : 0;
        if (row.fence) {
            editor.typedPoint = row.by;
            Drag(1, -100, -60, 100, -10);
        } else {
            EntryPointX = row.by[0];
            EntryPointY = row.by[1];
            EntryPointZ = row.by[2];
            CopyMarkedAirways();
        }
        const int moved = row.fence ? fenced : a;
        if (row.made) {
            EXPECT_FALSE(Stored() == before) << row.what;
            EXPECT_EQ(AirwayStart(1, moved), (row.fence ? -50 : -300) + row.by[0]) << row.what;
            EXPECT_EQ(AirwayStart(3, moved), 100 + row.by[2]) << row.what;
        } else {
            EXPECT_TRUE(Stored() == before) << row.what;
            EXPECT_EQ(AirwayCount, count) << row.what;
        }
        EXPECT_EQ(MakeCopy, 0) << row.what;
        EXPECT_TRUE(boxes.Done()) << row.what;
    }
}

TEST_F(MoveTool, AFloatingTextDroppedBeyondTheCoordinateRulesStaysWhereItWas) {
    FloatingTextPosition(1, 1) = 10;
    FloatingTextPosition(2, 1) = 20;
    FloatingTextPosition(3, 1) = 30;
    NetworkSaved = 255;
    int32_t fromX = 10, fromY = 20, fromZ = 30;
    for (const auto &[to, kept] : {std::pair{std::array<int32_t, 3>{10000001, 0, 0}, true},
                                   std::pair{std::array<int32_t, 3>{0, 0, -10000000}, true},
                                   std::pair{std::array<int32_t, 3>{-10000000, 10000000, 9999999}, false}}) {
        if (kept)
            boxes.Expect(VB::vbOK, "Coordinates exceed allowed values");
        TextDragging = true;
        int32_t toX = to[0], toY = to[1], toZ = to[2];
        int pressAirwayEnd = 0, pressPick = 1;
        MoveNodeTool(fromX, fromY, fromZ, toX, toY, toZ, pressAirwayEnd, pressPick);
        const std::array<int32_t, 3> now{FloatingTextPosition(1, 1), FloatingTextPosition(2, 1),
                                         FloatingTextPosition(3, 1)};
        const std::array<int32_t, 3> expected = kept ? std::array<int32_t, 3>{10, 20, 30} : to;
        EXPECT_EQ(now, expected) << to[0];
        EXPECT_EQ(NetworkSaved, kept ? 255 : 0) << to[0];
        EXPECT_TRUE(boxes.Done()) << to[0];
    }
}

TEST_F(MoveTool, ASelectionMovedDownByATypedDisplacementKeepsItsEndsOnTheSurfaceJoinedToTheSurface) {
    // A shaft from the surface (RL 1000) down to a drive at 100, both selected, moved down 50 m.
    AirwayCount = 0;
    const int shaft = Drive(-100, 0, -100, 0);
    SetAirwayEnds(shaft, -100, 0, 1000, -100, 0, 100);
    const int drive = Drive(-100, 0, 200, 0);
    AirwayFlags(shaft) |= AirwayFlag::Selected;
    AirwayFlags(drive) |= AirwayFlag::Selected;
    Ready();
    editor.typedPoint = std::array<int32_t, 3>{0, 0, -50};
    Press(2, 100, 0);
    Move(2, 120, 0);
    Release(2, 120, 0);
    ASSERT_EQ(AirwayStart(3, shaft), 950);
    EXPECT_EQ(AirwayStartKey(shaft), SurfaceNodeKey);
    EXPECT_EQ(AirwayStartKey(drive), AirwayEndKey(shaft));
}

} // namespace
