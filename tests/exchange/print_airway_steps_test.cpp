#include "exchange/PrintFixture.h"
#include "exchange/print_steps.h"

#include <random>

namespace {

bool strictlyInside(double x, double y) {
    return WindowLeft < x && x < WindowRight && WindowTop < y && y < WindowBottom;
}

TEST_F(PrintTest, ClippedEndsLieOnTheSegmentWithinTheBorder) {
    const int a = AddAirway(0, 0, 0, 10, 0, 0);
    WindowLeft = -100;
    WindowRight = 100;
    WindowTop = -50;
    WindowBottom = 50;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-250, 250);
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        AirwayScreenRecord r{coordinate(random), coordinate(random), coordinate(random), coordinate(random),
                             a};
        if (i % 10 == 0)
            r.x2 = r.x1; // vertical segments too
        ClippedAirway c;
        const bool kept = ClipToPage(r, c);
        // A segment through the window's inside is always printed.
        bool crossesInside = false;
        for (int k = 0; k <= 100; ++k)
            crossesInside |=
                strictlyInside(r.x1 + (r.x2 - r.x1) * k / 100.0, r.y1 + (r.y2 - r.y1) * k / 100.0);
        if (crossesInside) {
            ASSERT_TRUE(kept) << i;
        }
        if (!kept)
            continue;
        ++accepted;
        EXPECT_EQ(c.StartInside, strictlyInside(r.x1, r.y1) ? 1 : 0);
        EXPECT_EQ(c.EndInside, strictlyInside(r.x2, r.y2) ? 1 : 0);
        const double length = std::hypot(r.x2 - r.x1, r.y2 - r.y1);
        for (auto [x, y] : {std::pair{c.X1, c.Y1}, std::pair{c.X2, c.Y2}}) {
            ASSERT_TRUE(x >= -100 && x <= 100 && y >= -50 && y <= 50) << i;
            const double cross = (r.x2 - r.x1) * (y - r.y1) - (r.y2 - r.y1) * (x - r.x1);
            EXPECT_LE(std::abs(cross), 1e-3 * length * length + 1e-3) << i;
        }
    }
    EXPECT_GT(accepted, 300);
    // An end exactly on the border counts as outside.
    ClippedAirway onBorder;
    ASSERT_TRUE(ClipToPage({-100, 0, 0, 50, a}, onBorder));
    EXPECT_EQ(onBorder.StartInside + onBorder.EndInside, 0);
    // Only the border would show of a segment along an edge.
    EXPECT_FALSE(ClipToPage({-100, -80, -100, 80, a}, *std::make_unique<ClippedAirway>()));
}

TEST_F(PrintTest, SpreadLevelsGiveLineColourAndWidthAndUnreachedAirwaysPrintDotted) {
    SmokeMode = 1;
    const float thresholds[6] = {100, 50, 20, 10, 5, 1};
    for (int j = 0; j <= 5; ++j)
        SmokeLegendLevel(j) = thresholds[j];
    const struct {
        int value;
        float lowest;
        int32_t colour;
        int width;
        int style;
    } cases[] = {{60, 1, 0x000080, 8, VB::PrinterPage::vbSolid},
                 {100, 1, 0x008080, 9, VB::PrinterPage::vbSolid},
                 {0, 1, 0x808080, 3, VB::PrinterPage::vbDot},
                 {1, 2, 0x808080, 3, VB::PrinterPage::vbDot}};
    for (const auto &c : cases) {
        printed.clear();
        AirwayScreenCount = 0;
        const int a = LevelAirway(-100, 0, 100, 0);
        AirwaySmoke(2, a) = c.value;
        SmokeLegendLevel(5) = c.lowest;
        PrintNetwork();
        const DrawnPrimitive line = Printed(DrawnPrimitive::Line).at(0);
        EXPECT_EQ(line.colour, c.colour) << c.value;
        EXPECT_EQ(line.width, c.width) << c.value;
        EXPECT_EQ(line.penStyle, c.style) << c.value;
    }
}

TEST_F(PrintTest, BlackPrintingKeepsDimmedAirwaysDottedAndColourPrintsWhiteBlack) {
    LevelAirway(-100, 0, 100, 0, 0x808080);
    LevelAirway(-100, 50, 100, 50, 0x0000FF);
    LevelAirway(-100, 80, 100, 80, 0xFFFFFF); // selected
    PrintInColour = 0;
    PrintNetwork();
    auto lines = Printed(DrawnPrimitive::Line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].penStyle, VB::PrinterPage::vbDot);
    EXPECT_EQ(lines[1].penStyle, VB::PrinterPage::vbSolid);
    for (const auto &line : lines)
        EXPECT_EQ(line.colour, 0);
    printed.clear();
    PrintInColour = 1;
    PrintNetwork();
    lines = Printed(DrawnPrimitive::Line);
    EXPECT_EQ(lines[1].colour, 0x0000FF);
    EXPECT_EQ(lines[2].colour, 0);
}

TEST_F(PrintTest, ArrowsStandAtFourOrSixTenthsAndNeverReachOutside) {
    GraphicsDetail = 64;
    IconSize(1) = 4;                     // arrows of 1000 / 200 × 4 = 20 page units
    LevelAirway(-100, 0, 100, 0);        // left to right: the tip at 0.4
    LevelAirway(100, 100, -100, 100);    // right to left: the tip at 0.6
    LevelAirway(0, 200, 0, 300);         // straight down: at 0.4
    LevelAirway(0, -100, 800, -100);     // exit end cut by the border
    LevelAirway(-499, -200, -489, -200); // barbs beyond the left edge
    PrintNetwork();
    const auto lines = Printed(DrawnPrimitive::Line);
    // Each arrow is two barbs after its airway's line; the tip ends the first barb.
    ASSERT_EQ(lines.size(), 5u + 3u * 2u);
    const std::pair<double, double> tips[3] = {{-20, 0}, {-20, 100}, {0, 240}};
    for (int k = 0; k < 3; ++k) {
        const DrawnPrimitive &barb = lines[1 + 3 * k];
        EXPECT_NEAR(barb.x2, tips[k].first, 1e-3) << k;
        EXPECT_NEAR(barb.y2, tips[k].second, 1e-3) << k;
        EXPECT_NEAR(std::hypot(barb.x1 - barb.x2, barb.y1 - barb.y2), 20, 1e-3);
    }
}

TEST_F(PrintTest, SymbolsNeedTheirPointInsideAndFixedFlowNeedsNoSwitch) {
    GraphicsDetail = 0;
    const int fixed = LevelAirway(-100, 0, 100, 0);
    AirwayFlags(fixed) |= AirwayFlag::FixedFlow;
    AirwayPressure(fixed) = -5;
    AirwayIconPosition(fixed) = 0.2f;
    const int onEdge = LevelAirway(-600, 100, -400, 100); // its symbol point is its clipped start
    AirwayFlags(onEdge) |= AirwayFlag::FixedFlow;
    AirwayIconPosition(onEdge) = -0.3f;
    PrintNetwork();
    const auto pictures = Printed(DrawnPrimitive::Picture);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].pictureKey, SymbolPicture(9).cacheKey()); // "Res"
    EXPECT_NEAR(pictures[0].x1 + pictures[0].x2 / 2, 0, 1e-3);
}

TEST_F(PrintTest, HiddenDataInSelectedModePrintsLineAndSymbolsOnly) {
    GraphicsDetail = 511;
    DataDisplayMode = 3;
    const int a = LevelAirway(-100, 0, 100, 0);
    AirwayFlags(a) |= AirwayFlag::DataHidden;
    AirwayResistanceType(a) = 1;
    AirwayName(a) = "Door";
    AirwayStartName(a) = "N1";
    PrintNetwork();
    EXPECT_EQ(Printed(DrawnPrimitive::Line).size(), 1u);
    const auto pictures = Printed(DrawnPrimitive::Picture);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].pictureKey, SymbolPicture(6).cacheKey()); // the bulkhead, no node
    EXPECT_FALSE(Text("Door"));
    EXPECT_FALSE(Text("N1"));
}

TEST_F(PrintTest, JunctionValuesPrintInPascalsAndMetresExitEndFirst) {
    GraphicsDetail = 4;
    SurfacePressure = 101;
    AirDensity = 1.2f;
    const struct {
        int code;
        float endPressure;
        int endZ;
        const char *exitText;
        const char *startText;
    } cases[] = {{27, 1500, -100, "102.500", "101.000"},
                 {26, -1234.6f, -100, "-1235", "0"},
                 {28, 0, -100, "102.177", "101.000"},
                 {37, 0, 980, "40,0,980", "-40,0,0"}};
    for (int system : {1, 2})
        for (const auto &c : cases) {
            printed.clear();
            AirwayCount = AirwayScreenCount = 0;
            UnitSystem = system;
            DataCode = c.code;
            // Steep: 80 m along and 100 m down gives values at both ends.
            const int a = AddAirway(-40, 0, 0, 40, 0, c.endZ);
            AirwayFlags(a) |= AirwayFlag::LayerVisible;
            AirwayStartPressure(a) = 0;
            AirwayEndPressure(a) = c.endPressure;
            Record(a, -40, 0, 40, 0);
            const int level = AddAirway(-300, 300, 0, -100, 300, 0);
            AirwayFlags(level) |= AirwayFlag::LayerVisible;
            Record(level, -300, 300, -100, 300);
            PrintNetwork();
            // The steep airway's two values, the level airway's exit value, the title.
            const auto texts = Printed(DrawnPrimitive::Text);
            ASSERT_EQ(texts.size(), 4u) << c.code;
            EXPECT_EQ(texts[0].text, c.exitText) << c.code << " units " << system;
            EXPECT_NEAR(texts[0].x1, 40 + CellWidth / 2, 1e-3);
            EXPECT_EQ(texts[1].text, c.startText) << c.code;
            EXPECT_NEAR(texts[2].x1, -100 + CellWidth / 2, 1e-3) << c.code;
        }
}

TEST_F(PrintTest, NoteAndValuePrintOpaqueAndTheNameAfterThemTransparent) {
    GraphicsDetail = 2 | 4;
    const int a = LevelAirway(-100, 0, 100, 0);
    AirwayFlags(a) |= AirwayFlag::ErrorMark;
    AirwayComment(a) = "Converge 3";
    AirwayName(a) = "North drive";
    AirwayFlow(a) = 12.5f;
    PrintNetwork();
    const auto texts = Printed(DrawnPrimitive::Text);
    ASSERT_EQ(texts.size(), 4u); // and the title
    EXPECT_EQ(texts[0].text, "ERROR Converge 3");
    EXPECT_TRUE(texts[0].opaque);
    EXPECT_TRUE(texts[1].opaque);
    EXPECT_EQ(texts[2].text, "North drive");
    EXPECT_FALSE(texts[2].opaque);
    // One line above the other, upwards from the middle of the airway.
    EXPECT_NEAR(texts[0].y1, 0, 1e-3);
    EXPECT_NEAR(texts[1].y1, -CellHeight, 1e-3);
    EXPECT_NEAR(texts[2].y1, -2 * CellHeight, 1e-3);
}

} // namespace
