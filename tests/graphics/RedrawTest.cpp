#include "graphics/DrawingFixture.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"

#include <cmath>

namespace {

class Redrawing : public DrawingTest {};

TEST_F(Redrawing, NoRepaintWithoutTagInAFrozenWindowOrWhileSuspended) {
    AddAirway(-400, 0, 0, 400, 0, 0);
    Show({1});
    const int32_t before = 0x123456;
    const struct {
        const char *tag;
        bool frozen, suspended, repaints;
    } cases[] = {{"", false, false, false},
                 {"0", true, false, false},
                 {"0", false, true, false},
                 {"0", false, false, true}};
    for (const auto &c : cases) {
        picture.BackColor = before;
        picture.Cls();
        picture.BackColor = ColourTable(3);
        picture.Tag = c.tag;
        WindowFrozen(0) = c.frozen;
        RedrawSuspended = c.suspended;
        Redraw();
        EXPECT_EQ(picture.Image().pixel(5, 5), Rgb(c.repaints ? ColourTable(3) : before))
            << c.tag << c.frozen;
        EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);
    }
    RedrawSuspended = false;
}

TEST_F(Redrawing, LevelColoursAndTheSelectedAirwayOnTheirPixels) {
    // Window: world -500..500 on 500 pixels, 2 m per pixel; single-level plan view of RL 0..100.
    ViewMode = 1;
    RLWindowLow = 0;
    RLWindowHigh = 100;
    const int onLevel = AddAirway(-400, -200, 50, 400, -200, 50);
    const int below = AddAirway(-400, 0, 50, 400, 0, -50);
    const int above = AddAirway(-400, 100, 50, 400, 100, 150);
    const int selected = AddAirway(-400, 200, 50, 400, 200, 50);
    AirwayFlags(selected) |= AirwayFlag::Selected;
    Show({onLevel, below, above, selected});
    Redraw();
    const QImage &image = picture.Image();
    EXPECT_EQ(image.pixel(10, 10), Rgb(ColourTable(3)));
    EXPECT_EQ(image.pixel(250, 150), Rgb(ColourTable(0)));
    EXPECT_EQ(image.pixel(250, 250), Rgb(ColourTable(1)));
    EXPECT_EQ(image.pixel(250, 300), Rgb(ColourTable(2)));
    int whiteRows = 0;
    for (int y = 330; y <= 370; ++y)
        whiteRows += image.pixel(250, y) == qRgb(255, 255, 255) ? 1 : 0;
    EXPECT_EQ(whiteRows, 2);
    EXPECT_EQ(AirwayScreen(4).width, 2);
}

TEST_F(Redrawing, ShaftInSingleLevelPlanShowsAsAnOffsetStroke) {
    ViewMode = 1;
    RLWindowLow = 0;
    RLWindowHigh = 100;
    const int shaft = AddAirway(10, 20, 50, 10, 20, -300);
    Show({shaft});
    PrepareDrawing();
    ASSERT_EQ(AirwayScreenCount, 1);
    EXPECT_FLOAT_EQ(AirwayScreen(1).x1, 10);
    EXPECT_FLOAT_EQ(AirwayScreen(1).x2, 10 - 15);
    EXPECT_FLOAT_EQ(AirwayScreen(1).y2, 20 - 15);
    EXPECT_EQ(AirwayScreen(1).colour, ColourTable(1));
}

TEST_F(Redrawing, ColourSchemesSmokeClassesAndMarks) {
    const int a = AddAirway(-100, 0, 0, 100, 0, 0);
    Show({a});
    const struct {
        int scheme;
        int32_t flags;
        int smokeMode;
        int smoke;
        int32_t colour;
    } cases[] = {
        {1, AirwayFlag::FreshAir, 0, 0, ColourTable(2)},
        {1, AirwayFlag::ExhaustAir | AirwayFlag::FreshAir, 0, 0, ColourTable(1)},
        {0, AirwayFlag::ErrorMark, 0, 0, PictureBox::QBColor(15)},
        {0, 0, 2, 5, PictureBox::QBColor(14)},
        {0, 0, 2, 7, PictureBox::QBColor(11)},
        {0, 0, 2, 0, PictureBox::QBColor(8)},
        {0, 0, 1, 0, PictureBox::QBColor(8)},
        {0, 0, 1, 250, PictureBox::QBColor(9)}, // reaches the bounds 0 and 200: the higher class counts
        {0, 0, 1, 700, PictureBox::QBColor(12)},
        {0, 0, 1, 1000, PictureBox::QBColor(15)}, // the top class, white
    };
    // The legend of a spread whose maximum is 1000.
    const float bounds[6] = {1000, 800, 600, 400, 200, 0};
    for (int k = 0; k <= 5; ++k)
        SmokeLegendLevel(k) = bounds[k];
    SmokeDisplayTime = 0;
    for (const auto &c : cases) {
        ColourScheme = c.scheme;
        SmokeMode = c.smokeMode;
        AirwayFlags(a) = AirwayFlag::Rectangular | AirwayFlag::LayerVisible | c.flags;
        AirwaySmoke(2, a) = c.smoke;
        AirwaySmokeTime(a) = 0;
        PrepareDrawing();
        ASSERT_EQ(AirwayScreenCount, 1);
        EXPECT_EQ(AirwayScreen(1).colour, c.colour) << c.scheme << " " << c.flags << " " << c.smoke;
    }
    SmokeMode = 0;
}

TEST_F(Redrawing, ClippingKeepsOnlyAirwaysThatCanShow) {
    const struct {
        int x1, y1, x2, y2;
        bool kept;
    } cases[] = {
        {-900, 0, -600, 100, false},    // both beyond the left edge
        {100, 600, 200, 900, false},    // both beyond the bottom edge
        {-800, 0, 100, 0, true},        // crosses the left edge
        {-700, -300, -300, -700, true}, // passes outside the top-left corner
        {-900, -900, 900, 900, true},   // crosses the whole window
    };
    for (const auto &c : cases) {
        AirwayCount = 0;
        const int a = AddAirway(c.x1, c.y1, 0, c.x2, c.y2, 0);
        Show({a});
        PrepareDrawing();
        EXPECT_EQ(AirwayScreenCount, c.kept ? 1 : 0) << c.x1 << "," << c.y1;
    }
}

TEST_F(Redrawing, GridOnlyInPlanAndEdgeOnViewsOnMultiplesOfTheSpacing) {
    GridOn = true;
    GridSpacing = 100;
    PanX = 30;
    PanY = -70;
    RefreshWindowBounds();
    const auto gridLines = [&] {
        DrawGridRecorded();
        return Of(DrawnPrimitive::Line);
    };
    const auto isMultiple = [](double v, double spacing) {
        const double r = v / spacing;
        return std::abs(r - std::round(r)) < 1e-6;
    };

    // Plan, SI: 10 vertical and 10 horizontal lines on whole 100 m, labelled with their coordinate.
    std::vector<DrawnPrimitive> lines = gridLines();
    int vertical = 0, horizontal = 0;
    for (const auto &l : lines) {
        EXPECT_EQ(l.colour, ColourTable(6));
        if (l.x1 == l.x2) {
            ++vertical;
            EXPECT_TRUE(isMultiple(l.x1 + PanX, 100)) << l.x1;
        } else {
            ++horizontal;
            EXPECT_TRUE(isMultiple(l.y1 + PanY, 100)) << l.y1;
        }
    }
    EXPECT_EQ(vertical, 10);
    EXPECT_EQ(horizontal, 10);
    bool labelled = false;
    for (const auto &t : Of(DrawnPrimitive::Text)) {
        labelled = labelled || t.text == "400";
        // A label cut by the window's edge would misread: every label lies wholly inside.
        EXPECT_LE(t.x1 + picture.TextWidth(t.text), WindowRight) << t.text;
        EXPECT_LE(t.y1 + picture.TextHeight(t.text), WindowBottom) << t.text;
    }
    EXPECT_TRUE(labelled);

    // British units: the spacing counts in feet.
    UnitSystem = 2;
    lines = gridLines();
    ASSERT_FALSE(lines.empty());
    for (const auto &l : lines) {
        if (l.x1 == l.x2) {
            EXPECT_TRUE(isMultiple(l.x1 + PanX, 30.48)) << l.x1;
        }
    }
    UnitSystem = 1;

    // 3-D: no grid; seen exactly edge-on: elevation lines only.
    ViewIs3D = 1;
    Tilt = 0.7f;
    EXPECT_TRUE(gridLines().empty());
    Tilt = static_cast<float>(ViewPi / 2);
    lines = gridLines();
    ASSERT_FALSE(lines.empty());
    for (const auto &l : lines) {
        EXPECT_NE(l.x1, l.x2);
        EXPECT_TRUE(isMultiple(l.y1 + PanY, 100)) << l.y1;
    }
    ViewIs3D = 0;
    Tilt = 0;
}

TEST_F(Redrawing, GridLinesCloserThanAPixelBecomeOneBand) {
    GridOn = true;
    GridSpacing = 1;
    picture.ScaleLeft = picture.ScaleTop = -5000;
    picture.ScaleWidth = picture.ScaleHeight = 10000;
    RefreshWindowBounds();
    DrawGridRecorded();
    EXPECT_TRUE(Of(DrawnPrimitive::Line).empty());
    EXPECT_EQ(Of(DrawnPrimitive::Band).size(), 2u);
    EXPECT_EQ(picture.Image().pixel(250, 250), Rgb(ColourTable(6)));
    // The labels are thinned to what fits, not one per line.
    EXPECT_LT(Of(DrawnPrimitive::Text).size(), 100u);
}

TEST_F(Redrawing, ToolCursorsFollowTheToolAndButton) {
    BuildToolCursorTable();
    ToolCode = 0;
    SetToolCursor(1);
    EXPECT_EQ(picture.MousePointer, PictureBox::vbCustom);
    EXPECT_EQ(picture.MouseIcon, "Magnify");
    SetToolCursor(2);
    EXPECT_EQ(picture.MouseIcon, "Hand");
    ToolCode = 91; // the copy tool's second code
    SetToolCursor(1);
    EXPECT_EQ(picture.MouseIcon, "Copy");
    ToolCode = 3; // no cursor of its own
    SetToolCursor(1);
    EXPECT_EQ(picture.MousePointer, PictureBox::vbCrosshair);
    ToolCode = 0;
}

} // namespace

namespace {

TEST_F(Redrawing, GridLabelsShowTheWorldCoordinateWithAFlippedAxis) {
    GridOn = true;
    GridSpacing = 100;
    AxisSignX = -1;
    PanX = 30;
    PanY = -70; // no horizontal line on the top edge
    RefreshWindowBounds();
    DrawGridRecorded();
    int checked = 0;
    for (const auto &t : Of(DrawnPrimitive::Text)) {
        if (t.y1 != WindowTop)
            continue; // labels of the horizontal lines
        // The label at the top of a vertical line names the world X that the line stands on.
        const double worldX = t.x1 * AxisSignX + PanX;
        EXPECT_EQ(t.text, FormatValue(static_cast<float>(worldX), 14, 0, 0)) << t.x1;
        EXPECT_NEAR(std::remainder(worldX, 100.0), 0, 1e-9);
        ++checked;
    }
    EXPECT_GE(checked, 5);
    AxisSignX = 1;
}

} // namespace
