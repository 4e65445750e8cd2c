#include "GraphicsFixture.h"

#include "graphics/drawing_prep.h"
#include "graphics/visible.h"

namespace {

class ScreenRecords : public GraphicsTest {};

TEST_F(ScreenRecords, OnlyAirwaysThatCanShowGetARecord) {
    picture.ScaleWidth = picture.ScaleHeight = 200;
    picture.ScaleLeft = picture.ScaleTop = -100;
    PanX = 1000;
    PanY = 2000;
    AxisSignY = -1;
    IconSize(0) = 2;
    const int crossing = AddAirway(800, 2000, 0, 1200, 2000, 0);
    AddAirway(700, 1950, 0, 850, 2050, 0);  // both ends left of the window
    AddAirway(950, 2150, 0, 1050, 2300, 0); // both ends beyond one edge
    const int inside = AddAirway(990, 1990, 0, 1010, 2010, 0);
    AirwayFlags(inside) |= AirwayFlag::Selected;
    SetVisibleAirways();
    PrepareDrawing();
    ASSERT_EQ(AirwayScreenCount, 2);
    EXPECT_TRUE(ScreenRecordsPresent);
    const AirwayScreenRecord &first = AirwayScreen(1);
    EXPECT_EQ(first.airway, crossing);
    EXPECT_EQ(first.x1, -200);
    EXPECT_EQ(first.x2, 200);
    EXPECT_EQ(first.y1, 0);
    EXPECT_EQ(first.width, 2);
    const AirwayScreenRecord &second = AirwayScreen(2);
    EXPECT_EQ(second.airway, inside);
    EXPECT_EQ(second.y1, 10); // window y runs against the projected y with AxisSignY = -1
    EXPECT_EQ(second.width, 4);
    EXPECT_EQ(second.colour, 0xFFFFFF);
    EXPECT_EQ(WindowExtent, 200);

    // The fit pass keeps every visible airway.
    FitPass = true;
    PrepareDrawing();
    FitPass = false;
    EXPECT_EQ(AirwayScreenCount, 4);
}

TEST_F(ScreenRecords, SteepAirwaysAreMarkedAsSuch) {
    const struct {
        int dz;
        int length;
        int incline;
    } cases[] = {{100, 100, 5}, {10, 100, 6}, {-70, 100, 5}, {66, 100, 6}};
    for (const auto &c : cases) {
        AirwayCount = 0;
        const int a = AddAirway(0, 0, 0, 10, 0, c.dz);
        AirwayLength(a) = static_cast<float>(c.length);
        SetVisibleAirways();
        PrepareDrawing();
        EXPECT_EQ(AirwayIncline, c.incline) << c.dz;
    }
}

} // namespace
