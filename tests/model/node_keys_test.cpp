#include "common/ModelFixture.h"
#include "model/node_keys.h"
#include "platform/Dialogs.h"

using NodeKeys = ModelTest;

TEST_F(NodeKeys, KeysFoldCoordinatesExactly) {
    EXPECT_EQ(NodeKey(300, 200, 100), 3000002000001LL * CurrencyScale);
    // Negative coordinates are lifted before folding: Z and X by 9,999, Y by 99,999.
    EXPECT_EQ(NodeKey(-1, 0, 0), 99980000000000LL * CurrencyScale);
    EXPECT_EQ(NodeKey(0, -1, 0), 999980000LL * CurrencyScale);
    EXPECT_EQ(NodeKey(0, 0, -1), 999800);
    // Z is taken modulo 10,000 m: these two points are one node.
    EXPECT_EQ(NodeKey(12345, 50, 60), NodeKey(2345, 50, 60));
    // X contributes hundredths, so odd X values stay exact.
    EXPECT_EQ(NodeKey(0, 0, 999999), 999999LL * 100);
    EXPECT_NE(NodeKey(1, 2, 3), NodeKey(1, 3, 2));
    EXPECT_LT(NodeKey(9999, 999999, 999999), SurfaceNodeKey);
    // The origin is a point like any other: 0 means "no node".
    EXPECT_EQ(NodeKey(0, 0, 0), OriginNodeKey);
    EXPECT_NE(OriginNodeKey, 0);
    EXPECT_EQ(NodeKey(10000, 0, 0), OriginNodeKey);
    EXPECT_DOUBLE_EQ(FoldSix(-1234567), 234567);
    EXPECT_DOUBLE_EQ(FoldFour(123456), 3456);
}

TEST_F(NodeKeys, SurfaceEndsShareTheSurfaceNode) {
    const int a = AddAirway(10, 10, 1000, 10, 10, 900); // starts at the surface elevation
    const int b = AddAirway(10, 10, 900, 20, 10, 900);
    AirwayFlags(b) |= AirwayFlag::SurfaceExit;
    UpdateNodeKeys();
    EXPECT_EQ(AirwayStartKey(a), SurfaceNodeKey);
    EXPECT_EQ(AirwayEndKey(a), NodeKey(900, 10, 10));
    EXPECT_EQ(AirwayStartKey(b), AirwayEndKey(a));
    EXPECT_EQ(AirwayEndKey(b), SurfaceNodeKey);
    EXPECT_EQ(ErrorLevel, 0);
    EXPECT_TRUE(Errorlist.empty());
}

TEST_F(NodeKeys, AirwaysWithBothEndsOnSurfaceAreListedAndNoticedOnce) {
    const int a = AddAirway(10, 10, 1000, 20, 10, 1100);
    const int b = AddAirway(30, 10, 1200, 40, 10, 1000);
    AddAirway(30, 10, 500, 40, 10, 400);
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "both ends on or above the surface");
    UpdateNodeKeys();
    EXPECT_EQ(ErrorLevel, 1);
    ASSERT_EQ(Errorlist.size(), 2u);
    EXPECT_EQ(Errorlist[0], std::to_string(AirwayNumber(a)) + "\tboth ends on surface");
    EXPECT_EQ(AirwayComment(b).str(), "ends on surf");
    EXPECT_TRUE(AirwayFlags(a) & AirwayFlag::ErrorMark);
    EXPECT_FALSE(AirwayFlags(3) & AirwayFlag::ErrorMark);
    EXPECT_NE(boxes.Shown()[0].prompt.find("\r\n\r\nPlease check your surface RL values"), std::string::npos);
}

TEST_F(NodeKeys, EmptySlotsAreRemovedAndBulkheadsCarryNoFlow) {
    ClearAirway(AddAirway(10, 10, 500, 20, 10, 500)); // emptied and not filled again
    AirwayName(AddAirway(10, 10, 500, 0, 0, 0)) = "to the origin";
    const int b = AddAirway(10, 10, 500, 20, 10, 500);
    AirwayResistance(b) = 1e9f;
    AirwayFlow(b) = 25;
    AirwayName(b) = "kept";
    // A slot is empty only when all six coordinates are 0: with no flags, one coordinate set keeps it (the
    // Z ones: airways on the vertical through X = Y = 0).
    for (int c = 0; c < 6; ++c) {
        const int a = AddAirway(0, 0, 0, 0, 0, 0);
        ClearAirway(a);
        (c < 3 ? AirwayStart : AirwayEnd)(c % 3 + 1, a) = 100;
        AirwayName(a) = "coordinate " + std::to_string(c);
    }
    UpdateNodeKeys();
    ASSERT_EQ(AirwayCount, 8);
    EXPECT_EQ(AirwayName(1).trimmed(), "to the origin");
    EXPECT_EQ(AirwayEndKey(1), OriginNodeKey);
    EXPECT_EQ(AirwayName(2).trimmed(), "kept");
    EXPECT_EQ(AirwayFlow(2), 0.0f);
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(AirwayName(3 + c).trimmed(), "coordinate " + std::to_string(c));
}

TEST_F(NodeKeys, UnnumberedAirwaysGetTheNextNumbers) {
    AddAirway(10, 10, 500, 20, 10, 500);
    const int b = AddAirway(20, 10, 500, 30, 10, 500);
    const int c = AddAirway(30, 10, 500, 40, 10, 500);
    AirwayNumber(b) = 7;
    NextAirwayNumber = 10;
    UpdateNodeKeys();
    EXPECT_EQ(AirwayNumber(1), 11);
    EXPECT_EQ(AirwayNumber(b), 7);
    EXPECT_EQ(AirwayNumber(c), 12);
    EXPECT_EQ(NextAirwayNumber, 12);
}

TEST_F(NodeKeys, DuplicateNumbersAreOfferedARenumbering) {
    for (int i = 1; i <= 3; ++i)
        AddAirway(i, 1, 500, i + 1, 1, 500);
    AirwayNumber(1) = 1;
    AirwayNumber(2) = 2;
    AirwayNumber(3) = 2;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbNo, "Duplicate unique airway numbers exist");
        CheckAirwayNumbers();
        EXPECT_EQ(boxes.Shown()[0].title, "Duplicate airway numbers");
        EXPECT_EQ(boxes.Shown()[0].buttonSet, VB::vbYesNo);
        EXPECT_EQ(boxes.Shown()[0].icon, VB::vbQuestion);
    }
    EXPECT_EQ(AirwayNumber(3), 2);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbYes, "Duplicate unique airway numbers exist");
        CheckAirwayNumbers();
    }
    EXPECT_EQ(AirwayNumber(1), 1);
    EXPECT_EQ(AirwayNumber(2), 2);
    EXPECT_EQ(AirwayNumber(3), 3);
    EXPECT_EQ(NextAirwayNumber, 3);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "All airways have unique numbers");
        CheckAirwayNumbers();
    }
}

TEST_F(NodeKeys, NewNumbersLieAboveEveryNumberInUseWhateverTheCounterSays) {
    // A counter below the numbers in hand, as a settings file or an old network may leave it.
    for (int i = 1; i <= 4; ++i)
        AddAirway(i, 1, 500, i + 1, 1, 500);
    AirwayNumber(1) = 5;
    AirwayNumber(2) = 9;
    NextAirwayNumber = 0;
    UpdateNodeKeys();
    EXPECT_EQ(AirwayNumber(3), 10);
    EXPECT_EQ(AirwayNumber(4), 11);
    NumberNewAirways(4, 4);
    EXPECT_EQ(AirwayNumber(4), 12);
    // Renumbering a tail (merged airways) goes on above the rest, also when the counter names the last
    // number given, as after drawing.
    NextAirwayNumber = 9;
    RenumberAirways(3, false);
    EXPECT_EQ(AirwayNumber(3), 10);
    EXPECT_EQ(AirwayNumber(4), 11);
}

TEST_F(NodeKeys, RenumberingFromTheMiddleContinuesTheCounter) {
    for (int i = 1; i <= 4; ++i)
        AddAirway(i, 1, 500, i + 1, 1, 500);
    NextAirwayNumber = 50;
    RenumberAirways(3, false);
    EXPECT_EQ(AirwayNumber(2), 0);
    EXPECT_EQ(AirwayNumber(3), 51);
    EXPECT_EQ(AirwayNumber(4), 52);
    EXPECT_EQ(NextAirwayNumber, 52);
}
