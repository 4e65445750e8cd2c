#include "graphics/DrawingFixture.h"

#include <cmath>

namespace {

class NetworkDrawing : public DrawingTest {
protected:
    // Lines drawn after the airway lines themselves.
    std::vector<DrawnPrimitive> DecorationLines(size_t airwayLines) const {
        std::vector<DrawnPrimitive> lines = Of(DrawnPrimitive::Line);
        lines.erase(lines.begin(), lines.begin() + static_cast<long>(std::min(airwayLines, lines.size())));
        return lines;
    }
};

TEST_F(NetworkDrawing, ArrowTipAndBarbsPointTowardTheExitEnd) {
    GraphicsDetail = 64;
    // The arrow size is 1/200 of the 1000 m window times the arrow icon size 3: 15 m.
    const struct {
        int x1, y1, x2, y2;
        double tipX, tipY, theta;
    } cases[] = {
        {-100, 0, 100, 0, 60, 0, ViewPi},         // to the right: barbs point left
        {100, 0, -100, 0, -60, 0, 0},             // to the left
        {0, -100, 0, 100, 0, 60, 3 * ViewPi / 2}, // downward in the window
        {0, 100, 0, -100, 0, -60, ViewPi / 2},    // upward
    };
    for (const auto &c : cases) {
        AirwayCount = 0;
        const int a = AddAirway(c.x1, c.y1, 0, c.x2, c.y2, 0);
        Show({a});
        DrawRecorded();
        const std::vector<DrawnPrimitive> arrow = DecorationLines(1);
        ASSERT_EQ(arrow.size(), 2u) << c.x1 << "," << c.y1;
        const DrawnPrimitive &toTip = arrow[0], &fromTip = arrow[1];
        EXPECT_NEAR(toTip.x2, c.tipX, 1e-3);
        EXPECT_NEAR(toTip.y2, c.tipY, 1e-3);
        EXPECT_NEAR(fromTip.x1, c.tipX, 1e-3);
        EXPECT_NEAR(fromTip.y1, c.tipY, 1e-3);
        EXPECT_NEAR(toTip.x1, c.tipX + 15 * std::cos(c.theta - 0.3), 1e-3);
        EXPECT_NEAR(toTip.y1, c.tipY + 15 * std::sin(c.theta - 0.3), 1e-3);
        EXPECT_NEAR(fromTip.x2, c.tipX + 15 * std::cos(c.theta + 0.3), 1e-3);
        EXPECT_NEAR(fromTip.y2, c.tipY + 15 * std::sin(c.theta + 0.3), 1e-3);
        EXPECT_EQ(toTip.colour, ColourTable(0));
    }
    // A zero-length segment (a shaft seen from above) has no direction to show.
    AirwayCount = 0;
    const int shaft = AddAirway(50, 50, 0, 50, 50, -100);
    Show({shaft});
    DrawRecorded();
    EXPECT_TRUE(DecorationLines(1).empty());
}

TEST_F(NetworkDrawing, DetailZeroDrawsTheLinesOnly) {
    const int a = AddAirway(-100, 0, 0, 100, 0, 0);
    const int b = AddAirway(0, -100, 0, 0, 100, 0);
    AirwayName(a) = "Main drive";
    AirwayEndName(a) = "J1";
    AirwayFan(b) = -1;
    AirwayFlags(b) |= AirwayFlag::ContaminantSource;
    FloatingTextShown(1) = 1;
    FloatingTextString(1) = "Note";
    FloatingTextShown(2) = 0;
    DataCode = 12;
    Show({a, b});
    GraphicsDetail = 0;
    DrawRecorded();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(Of(DrawnPrimitive::Line).size(), 2u);
    GraphicsDetail = 511;
    DrawRecorded();
    EXPECT_GT(drawn.size(), 2u);
}

TEST_F(NetworkDrawing, MiddleTextStackOrderAndColours) {
    GraphicsDetail = 1 | 2 | 4 | 8;
    DataCode = 32;
    const int a = AddAirway(-100, 0, 0, 100, 0, 0);
    AirwayName(a) = "Main drive";
    AirwayEndName(a) = "J2";
    AirwayResistanceType(a) = 2;
    AirwayResistance(a) = 10;
    Show({a});
    DrawRecorded();
    EXPECT_TRUE(ResistanceLabel.empty());
    const std::vector<DrawnPrimitive> texts = Of(DrawnPrimitive::Text);
    ASSERT_EQ(texts.size(), 4u);
    // The node name at the exit end, in the node-text colour.
    EXPECT_EQ(texts[0].text, "J2");
    EXPECT_EQ(texts[0].colour, ColourTable(4));
    EXPECT_NEAR(texts[0].x1, 100 + LetterHeight / 2, 1e-3);
    // One line of the node font above the end, clear of the end's value below it.
    picture.FontSize = texts[0].fontSize;
    EXPECT_NEAR(texts[0].y1, 0 - picture.TextHeight("F"), 1e-3);
    // At the middle, growing upward: resistance name, data label (both data colour), airway name (line
    // colour).
    EXPECT_EQ(texts[1].text, "Steel Door");
    EXPECT_EQ(texts[2].text, AirwayDataText(32, a, 0));
    EXPECT_EQ(texts[3].text, "Main drive");
    EXPECT_EQ(texts[1].colour, ColourTable(5));
    EXPECT_EQ(texts[2].colour, ColourTable(5));
    EXPECT_EQ(texts[3].colour, ColourTable(0));
    // Each line one line of its own font above the one before, so none overlaps another, whatever the fonts.
    NameFontSize = 2 * DataFontSize;
    DrawRecorded();
    const std::vector<DrawnPrimitive> stack = Of(DrawnPrimitive::Text);
    ASSERT_EQ(stack.size(), 4u);
    EXPECT_NEAR(stack[1].y1, 0, 1e-3);
    for (size_t i = 1; i <= 3; ++i) {
        EXPECT_NEAR(stack[i].x1, 0, 1e-3);
        if (i == 1)
            continue;
        picture.FontSize = stack[i].fontSize;
        EXPECT_NEAR(stack[i - 1].y1 - stack[i].y1, picture.TextHeight("F"), 1e-3) << i;
    }

    // The checks' comment takes the first line; an empty one leaves it to the data label.
    AirwayFlags(a) |= AirwayFlag::ErrorMark;
    AirwayComment(a) = "";
    AirwayResistanceType(a) = 0;
    DrawRecorded();
    const std::vector<DrawnPrimitive> marked = Of(DrawnPrimitive::Text);
    ASSERT_EQ(marked.size(), 3u);
    EXPECT_EQ(marked[1].text, AirwayDataText(32, a, 0));
    EXPECT_NEAR(marked[1].y1, 0, 1e-3);
    EXPECT_EQ(marked[2].colour, PictureBox::QBColor(15)); // the name takes the white of the error mark
}

TEST_F(NetworkDrawing, OnlyAnAirwaysOwnSymbolOverTheCornerOfItsTextsShiftsThem) {
    GraphicsDetail = 2 | 16;
    // A fixed quantity's mark lies on the corner, the next airway's fan 0.7 of the way along.
    const int fixedFlow = AddAirway(-100, 0, 0, 100, 0, 0), fan = AddAirway(-100, 100, 0, 100, 100, 0);
    AirwayFlags(fixedFlow) |= AirwayFlag::FixedFlow;
    AirwayFan(fan) = 3;
    AirwayIconPosition(fan) = 0.4f;
    AirwayName(fixedFlow) = AirwayName(fan) = "Drive";
    Show({fixedFlow, fan});
    DrawRecorded();
    const std::vector<DrawnPrimitive> names = Of(DrawnPrimitive::Text);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_GT(names[0].x1, 0);
    EXPECT_EQ(names[1].x1, 0);
}

TEST_F(NetworkDrawing, ResistanceNameNeverCarriesOverToTheNextAirway) {
    GraphicsDetail = 4;
    DataCode = 12;
    const int a = AddAirway(-100, 0, 0, 100, 0, 0);
    AirwayFlow(a) = 5;
    Show({a});
    ResistanceLabel = "Steel Door"; // left behind by a data text built elsewhere
    DrawRecorded();
    for (const auto &t : Of(DrawnPrimitive::Text))
        EXPECT_NE(t.text, "Steel Door");
}

TEST_F(NetworkDrawing, CoordinatesCodeWritesXYZJoinedByCommas) {
    GraphicsDetail = 4;
    DataCode = 37;
    const int a = AddAirway(-100, 0, 0, 120, -30, 45);
    Show({a});
    DrawRecorded();
    bool found = false;
    for (const auto &t : Of(DrawnPrimitive::Text))
        if (t.text == "120,-30,45") {
            found = true;
            EXPECT_NEAR(t.x1, 120 + LetterHeight / 2, 1e-3);
            EXPECT_EQ(t.colour, ColourTable(4));
        }
    EXPECT_TRUE(found);

    // In British units the same point shows in whole feet.
    UnitSystem = 2;
    DrawRecorded();
    found = false;
    for (const auto &t : Of(DrawnPrimitive::Text))
        found = found || t.text == "394,-98,148";
    EXPECT_TRUE(found);
}

TEST_F(NetworkDrawing, SymbolsOfBulkheadFixedResistanceFanAndFixedQuantity) {
    GraphicsDetail = 8 | 16;
    const int bulkhead = AddAirway(-300, -200, 0, 300, -200, 0);
    AirwayResistanceType(bulkhead) = 1;
    const int fixedRes = AddAirway(-300, 0, 0, 300, 0, 0);
    AirwayResistanceType(fixedRes) = 50;
    const int fan = AddAirway(-300, 200, 0, 300, 200, 0);
    AirwayFan(fan) = 3;
    const int regulator = AddAirway(-300, 300, 0, 300, 300, 0);
    AirwayFlags(regulator) |= AirwayFlag::FixedFlow;
    AirwayPressure(regulator) = -20;
    Show({bulkhead, fixedRes, fan, regulator});
    DrawRecorded();
    const std::vector<DrawnPrimitive> pictures = Of(DrawnPrimitive::Picture);
    ASSERT_EQ(pictures.size(), 4u);
    EXPECT_EQ(pictures[0].pictureKey, SymbolPicture(11).cacheKey());
    EXPECT_EQ(pictures[1].pictureKey, SymbolPicture(12).cacheKey());
    EXPECT_EQ(pictures[2].pictureKey, SymbolPicture(3).cacheKey());
    EXPECT_EQ(pictures[3].pictureKey, SymbolPicture(9).cacheKey());
    EXPECT_NE(SymbolPicture(11).cacheKey(), SymbolPicture(12).cacheKey());
    // Centred on the symbol point, 0.3 of the way along, at 1/200 of the window times the icon size.
    EXPECT_NEAR(pictures[0].x1 + pictures[0].x2 / 2, -300 + 600 * 0.3, 1e-3);
    EXPECT_NEAR(pictures[0].x2, 25, 1e-3);
    // The fixed-quantity mark sits at the middle.
    EXPECT_NEAR(pictures[3].x1 + pictures[3].x2 / 2, 0, 1e-3);

    // On a hidden layer no fan or resistance marks show, whatever the layer display asks for.
    for (int a : {bulkhead, fixedRes, fan, regulator})
        AirwayFlags(a) &= ~AirwayFlag::LayerVisible;
    LayerDisplay = 127;
    PrepareDrawing();
    drawn.clear();
    picture.Recording = &drawn;
    DrawNetwork();
    picture.Recording = nullptr;
    EXPECT_TRUE(Of(DrawnPrimitive::Picture).empty());
}

TEST_F(NetworkDrawing, NodeSymbolsAtEntryEndsAndSteepExitEnds) {
    GraphicsDetail = 32;
    const int flat = AddAirway(-100, 0, 0, 100, 0, 0);
    const int steep = AddAirway(-100, 100, 0, -50, 100, -200);
    const int offScreen = AddAirway(-700, 0, 0, 100, 50, 0);
    Show({flat, steep, offScreen});
    AirwayLinks(2, 1, flat) = 4; // connection lists built: exit ends come from the airways leaving them
    AirwayLinks(2, 1, steep) = 4;
    DrawRecorded();
    const std::vector<DrawnPrimitive> nodes = Of(DrawnPrimitive::Picture);
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_NEAR(nodes[0].x1 + nodes[0].x2 / 2, -100, 1e-3);
    EXPECT_NEAR(nodes[1].x1 + nodes[1].x2 / 2, -100, 1e-3);
    EXPECT_NEAR(nodes[2].x1 + nodes[2].x2 / 2, -50, 1e-3);
    for (const auto &n : nodes)
        EXPECT_EQ(n.pictureKey, SymbolPicture(4).cacheKey());
}

TEST_F(NetworkDrawing, ScaledFontsVanishInAWideWindow) {
    GraphicsDetail = 2;
    FontScale = 1;
    const int a = AddAirway(-100, 0, 0, 100, 0, 0);
    AirwayName(a) = "Main";
    Show({a});
    picture.ScaleLeft = picture.ScaleTop = -2500;
    picture.ScaleWidth = picture.ScaleHeight = 5000;
    DrawRecorded();
    EXPECT_EQ(NameFontSize, 0);
    EXPECT_TRUE(Of(DrawnPrimitive::Text).empty());
}

TEST_F(NetworkDrawing, SymbolArtworkIsDrawnForEveryNameAndCursor) {
    for (const char *name : {"Line", "Arrow", "Smoke2", "FanBig", "Node2", "Hazard2", "BBH2", "PinRed2",
                             "Pinblu2", "Res", "Fixed"}) {
        const QImage image = SymbolArtwork(name);
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.size(), QSize(32, 32));
        // Something is drawn, and the corners stay transparent.
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        EXPECT_GT(opaque, 20) << name;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name;
    }
    EXPECT_TRUE(SymbolArtwork("NoSuchPicture").isNull());
    for (const char *name : {"MAGNIFY", "HAND", "TAG", "CROSS", "PASTE", "MOVE", "REVERSE", "DELETE", "FAN",
                             "ALPHA", "CLOUD", "EDIT", "INFO", "INSERT", "TRACE", "ROTATE", "COPY"}) {
        const CursorArtwork c = ToolCursorArtwork(name);
        ASSERT_FALSE(c.image.isNull()) << name;
        EXPECT_TRUE(c.hotX >= 0 && c.hotX < 32 && c.hotY >= 0 && c.hotY < 32) << name;
    }
    EXPECT_FALSE(ToolCursorArtwork("magnify").image.isNull());
}

} // namespace
