// Picks on hand-made screen records of a 1000 m wide window: the pick tolerance is 1000 / 25 = 40 m.
#include "graphics/picking.h"
#include "GraphicsFixture.h"
#include "graphics/tool_state.h"

namespace {

class Picking : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        PickDivisor = 25;
        AirwayScreenCount = 0;
        LevelElevation = 0;
    }
    // A drawn segment of airway a in window positions.
    void Record(int a, float x1, float y1, float x2, float y2) {
        AirwayScreenRecord &r = AirwayScreen(++AirwayScreenCount);
        r = AirwayScreenRecord{};
        r.x1 = x1;
        r.y1 = y1;
        r.x2 = x2;
        r.y2 = y2;
        r.airway = a;
    }
};

TEST_F(Picking, EndPickTakesTheNearestEndWithinTheSquareAndSetsTheElevationOnlyOnAHit) {
    AddAirway(1000, 2000, 100, 1100, 2000, 120);
    AddAirway(1100, 2000, 120, 1200, 2000, 140);
    AddAirway(5000, 5000, 70, 5000, 5000, 90); // drawn as one point
    AirwayStartName(1) = "  Shaft top";
    AirwayEndName(1) = "Junction A";
    Record(1, 0, 0, 100, 0);
    Record(2, 100, 0, 200, 0);
    Record(3, 300, 300, 300, 300);
    const struct {
        float x, y;
        int end;
        int32_t wantZ;
        const char *name;
    } cases[] = {
        {10, 3, 1, 100, "Shaft top"},   // nearer to the start of airway 1
        {95, 3, -1, 120, "Junction A"}, // two ends at one node: the earlier record wins
        {301, 299, 3, 70, ""},          // both ends of one record coincide: the start end wins
        {140, 0, 0, -1, "&&"},          // exactly the tolerance from the node: on the border, no hit
        {161, 0, -2, 140, ""},          // just inside the square of the far end of airway 2
        {260, 30, 0, -1, "&&"},         // beyond every end
    };
    for (const auto &c : cases) {
        LevelElevation = -1;
        int32_t X = -7, Y = -8, Z = -1;
        std::string name = "old";
        int end = 99;
        PickAirwayEnd(c.x, c.y, X, Y, Z, name, end);
        EXPECT_EQ(end, c.end) << c.x << "," << c.y;
        EXPECT_EQ(name, c.name) << c.x;
        EXPECT_EQ(Z, c.wantZ) << c.x;
        EXPECT_EQ(LevelElevation, c.wantZ) << c.x;
        if (c.end == 0) {
            EXPECT_EQ(X, -7);
            EXPECT_EQ(Y, -8);
        }
    }
    EXPECT_FLOAT_EQ(PickTolerance, 40);
}

TEST_F(Picking, EndPickOfAnEmptyNetworkFindsNothing) {
    int32_t X = 1, Y = 2, Z = 3;
    std::string name;
    int end = 5;
    PickAirwayEnd(0, 0, X, Y, Z, name, end);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(name, "&&");
    EXPECT_EQ(X, 1);
}

TEST_F(Picking, AirwayPickHitsWithinTheToleranceInsideItsBox) {
    AddAirway(0, 0, 0, 400, 0, 0);
    AddAirway(0, 0, 0, 100, 100, 0);
    AddAirway(0, 0, 0, 0, 300, 0);
    AddAirway(0, 0, 0, 0, 0, 0);
    Record(1, 0, -500, 400, -500); // level
    Record(2, 0, 0, 100, 100);     // diagonal: its box is not widened
    Record(3, -300, 0, -300, 300); // upright
    Record(4, 200, 200, 200, 200); // a single point is never picked
    const struct {
        float x, y;
        int airway;
    } cases[] = {
        {200, -460, 1},     // exactly the tolerance above a level segment still hits
        {200, -459.99f, 0}, // just beyond it
        {-20, -500, 0},     // before the start: a level segment's box is not widened along it
        {50, 52, 2},        // near a diagonal
        {105, 103, 0},      // just beyond the end of a diagonal: outside its box though near its line
        {-290, 150, 3},     // upright segment by horizontal distance
        {-300, 330, 0},     // beyond the end of an upright segment
        {200, 200, 0},      // on a segment drawn as one point
    };
    for (const auto &c : cases) {
        int32_t X = 0, Y = 0, Z = 0;
        int airway = -1;
        PickAirway(c.x, c.y, X, Y, Z, airway);
        EXPECT_EQ(airway, c.airway) << c.x << "," << c.y;
    }
}

TEST_F(Picking, AirwayPickAtAQuarterGivesTheWorldPointAQuarterAlong) {
    // The screen segment is not proportional to the airway (as under perspective): the fraction is
    // measured on the screen and applied in the world.
    AddAirway(1000, 2000, 100, 1400, 2800, 300);
    Record(1, 0, 0, 400, 0);
    LevelElevation = -5;
    int32_t X = 0, Y = 0, Z = 0;
    int airway = 0;
    PickAirway(100, 0, X, Y, Z, airway);
    EXPECT_EQ(airway, 1);
    EXPECT_FLOAT_EQ(PickedFraction, 0.25f);
    EXPECT_EQ(X, 1100);
    EXPECT_EQ(Y, 2200);
    EXPECT_EQ(Z, 150);
    EXPECT_DOUBLE_EQ(LevelElevation, 150);

    // A miss gives the cursor at the working elevation and keeps that elevation.
    PanX = 5000;
    PanY = 6000;
    PickAirway(123.4f, -300.6f, X, Y, Z, airway);
    EXPECT_EQ(airway, 0);
    EXPECT_EQ(X, 5123);
    EXPECT_EQ(Y, 5699);
    EXPECT_EQ(Z, 150);
    EXPECT_DOUBLE_EQ(LevelElevation, 150);
}

TEST_F(Picking, PicksTurnTheCursorIntoRecordSpaceByTheAxisSigns) {
    AddAirway(0, 0, 10, 300, 0, 10);
    AxisSignX = -1;
    Record(1, -100, 0, -400, 0); // view positions 100 .. 400
    int32_t X = 0, Y = 0, Z = 0;
    int airway = 0;
    PickAirway(200, 5, X, Y, Z, airway);
    EXPECT_EQ(airway, 1);
    std::string name;
    int end = 0;
    PickAirwayEnd(395, 0, X, Y, Z, name, end);
    EXPECT_EQ(end, -1);
    EXPECT_TRUE(FenceHoldsAirways(350, -10, 450, 10));
    EXPECT_FALSE(FenceHoldsAirways(-450, -10, -350, 10));
}

TEST_F(Picking, FloatingTextPickSnapsToTheAnchor) {
    FloatingTextPosition(1, 2) = 100;
    FloatingTextPosition(2, 2) = 50;
    FloatingTextPosition(3, 2) = 7;
    FloatingTextString(2) = "Fan room";
    FloatingTextShown(1) = 2;
    FloatingTextShown(2) = 0;
    float x = 110, y = 45;
    int32_t X = 0, Y = 0, Z = 0;
    std::string text;
    int number = 0;
    PickFloatingText(x, y, X, Y, Z, text, number);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(text, "Fan room");
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(Z, 7);

    x = 140; // on the border of the square
    y = 50;
    text = "kept";
    PickFloatingText(x, y, X, Y, Z, text, number);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(x, 140);
    EXPECT_EQ(X, 140);
}

TEST_F(Picking, FenceHoldsAnAirwayByItsStartEndOrMidpointWithBoundsIncluded) {
    AddAirway(0, 0, 0, 100, 0, 0);
    Record(1, 0, 0, 100, 0);
    const struct {
        int32_t l, b, r, t;
        bool found;
    } cases[] = {{40, -10, 60, 10, true},  // midpoint only
                 {100, 0, 120, 10, true},  // end on the corner
                 {-20, -5, 0, 0, true},    // start on the edge
                 {10, -10, 40, 10, false}, // crosses the line but holds none of the three points
                 {200, 200, 300, 300, false}};
    for (const auto &c : cases)
        EXPECT_EQ(FenceHoldsAirways(c.l, c.b, c.r, c.t), c.found) << c.l;
    AirwayScreenCount = 0;
    EXPECT_FALSE(FenceHoldsAirways(-1000, -1000, 1000, 1000));
}

} // namespace
