#include "graphics/DrawingFixture.h"
#include "graphics/view_state.h"

#include <algorithm>

namespace {

class DrawingFilters : public DrawingTest {
protected:
    int flat = 0, steep = 0;

    void SetUp() override {
        DrawingTest::SetUp();
        flat = AddAirway(-200, 0, 0, 200, 0, 0);
        steep = AddAirway(-200, 200, 0, -100, 200, -300);
        AirwayName(flat) = "Flat";
        AirwayName(steep) = "Steep";
        AirwayEndName(flat) = "F2";
        AirwayEndName(steep) = "S2";
        Show({flat, steep});
        GraphicsDetail = 1 | 2 | 32 | 64;
    }

    // Decorations (everything but the two airway lines) drawn for each airway, told apart by position.
    void Decorations(int &ofFlat, int &ofSteep) {
        DrawRecorded();
        ofFlat = ofSteep = 0;
        for (size_t i = 2; i < drawn.size(); ++i) {
            const DrawnPrimitive &p = drawn[i];
            (p.y1 > 100 ? ofSteep : ofFlat)++;
        }
    }
};

TEST_F(DrawingFilters, DisplayModesPickedAirwayAndFlowWindowDecideWhatIsDecorated) {
    int ofFlat = 0, ofSteep = 0;
    Decorations(ofFlat, ofSteep);
    const int allFlat = ofFlat, allSteep = ofSteep;
    ASSERT_GT(allFlat, 3);
    ASSERT_GT(allSteep, 3);

    // Selected data only: an airway whose data is hidden shows only its line.
    DataDisplayMode = 3;
    AirwayFlags(flat) |= AirwayFlag::DataHidden;
    Decorations(ofFlat, ofSteep);
    EXPECT_EQ(ofFlat, 0);
    EXPECT_EQ(ofSteep, allSteep);
    AirwayFlags(flat) &= ~AirwayFlag::DataHidden;

    // Vertical data only: the flat airway keeps its arrow and node pictures (2 lines, 2 pictures), no texts.
    DataDisplayMode = 1;
    Decorations(ofFlat, ofSteep);
    EXPECT_EQ(ofFlat, 4);
    EXPECT_EQ(ofSteep, allSteep);
    for (const auto &t : Of(DrawnPrimitive::Text))
        EXPECT_NE(t.text, "Flat");
    // Horizontal data only: the reverse.
    DataDisplayMode = 2;
    Decorations(ofFlat, ofSteep);
    EXPECT_EQ(ofFlat, allFlat);
    EXPECT_LT(ofSteep, allSteep);
    DataDisplayMode = 0;

    // A picked airway is the only one decorated.
    PickedAirway = steep;
    Decorations(ofFlat, ofSteep);
    EXPECT_EQ(ofFlat, 0);
    EXPECT_EQ(ofSteep, allSteep);
    PickedAirway = 0;

    // Dimmed by flow: outside the flow window nothing but the line.
    DimOption = 1;
    MinShownFlow = 1;
    MaxShownFlow = 10;
    AirwayFlow(flat) = 5;
    AirwayFlow(steep) = -5;
    Decorations(ofFlat, ofSteep);
    EXPECT_EQ(ofFlat, allFlat);
    EXPECT_EQ(ofSteep, 0);
    DimOption = 0;
}

TEST_F(DrawingFilters, TextsOfAnAirwayInTheBackgroundColourVanishWithIt) {
    ColourTable(0) = ColourTable(3);
    GraphicsDetail = 1 | 2 | 4;
    DataCode = 12;
    AirwayFlow(flat) = 3;
    DrawRecorded();
    for (const auto &t : Of(DrawnPrimitive::Text)) {
        // The node name and airway name take the background colour; the data label keeps the colour in
        // force, which the text colour rule set to the background too.
        const bool ofFlat = t.text == "F2" || t.text == "Flat" || t.text == AirwayDataText(12, flat, 0);
        if (ofFlat) {
            EXPECT_EQ(t.colour, ColourTable(3)) << t.text;
        }
    }
}

TEST_F(DrawingFilters, JunctionPressuresAtTheEnds) {
    GraphicsDetail = 4;
    AirwayEndPressure(flat) = -250;
    AirwayStartPressure(steep) = -100;
    AirwayEndPressure(steep) = -400;
    SurfacePressure = 101;
    AirDensity = 1.2f;
    const struct {
        int code;
        std::string flatEnd, steepStart;
    } cases[] = {
        {26, FormatValue(-250, 8, 0, 0), FormatValue(-100, 8, 0, 0)},
        {27, FormatValue(100.75f, 13, 0, 0), FormatValue(100.9f, 13, 0, 0)},
        // Reference elevation unset: the entry end of airway slot 1 (Z 0). The steep entry end is at Z 0,
        // its exit end 300 m below carries 0.3 × 1.2 × 9.81 kPa more air.
        {28, FormatValue(100.75f, 13, 0, 0), FormatValue(100.9f, 13, 0, 0)},
    };
    for (const auto &c : cases) {
        DataCode = c.code;
        DrawRecorded();
        std::vector<std::string> texts;
        for (const auto &t : Of(DrawnPrimitive::Text))
            texts.push_back(t.text);
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.flatEnd), texts.end()) << c.code;
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.steepStart), texts.end()) << c.code;
    }
    DataCode = 28;
    DrawRecorded();
    const std::string steepEnd =
        FormatValue(static_cast<float>(-0.4 + 101 + 300 * 1.2 * 9.81 / 1000), 13, 0, 0);
    bool found = false;
    for (const auto &t : Of(DrawnPrimitive::Text))
        found = found || t.text == steepEnd;
    EXPECT_TRUE(found) << steepEnd;
}

TEST_F(DrawingFilters, FloatingTextsAreWrittenWithTheirMarkEvenOutsideTheWindow) {
    GraphicsDetail = 256;
    FloatingTextPosition(1, 1) = 50;
    FloatingTextPosition(2, 1) = 60;
    FloatingTextString(1) = "Refuge bay";
    FloatingTextPosition(1, 2) = 90000;
    FloatingTextPosition(2, 2) = 0;
    FloatingTextString(2) = "Far away";
    FloatingTextShown(1) = 1;
    FloatingTextShown(2) = 2;
    FloatingTextShown(3) = 0;
    DrawRecorded();
    const std::vector<DrawnPrimitive> circles = Of(DrawnPrimitive::Circle);
    const std::vector<DrawnPrimitive> texts = Of(DrawnPrimitive::Text);
    ASSERT_EQ(circles.size(), 2u);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Refuge bay");
    EXPECT_NEAR(texts[0].x1, 50, 1e-3);
    EXPECT_NEAR(texts[0].y1, 60, 1e-3);
    EXPECT_NEAR(circles[0].x2, 1, 1e-3); // radius: a thousandth of the window width
    EXPECT_EQ(texts[0].colour, ColourTable(4));
    EXPECT_EQ(texts[1].text, "Far away");
}

TEST_F(DrawingFilters, RedrawAllPaintsEveryOpenUnfrozenWindowAndEndsOnTheActiveOne) {
    PictureBox second(200, 200), frozen(200, 200);
    second.Tag = "1";
    frozen.Tag = "2";
    SetWindowPicture(1, &second);
    SetWindowPicture(2, &frozen);
    for (int w = 1; w <= 2; ++w) {
        ActiveWindow = w;
        WindowPicture(w)->ScaleLeft = WindowPicture(w)->ScaleTop = -500;
        WindowPicture(w)->ScaleWidth = WindowPicture(w)->ScaleHeight = 1000;
        SaveView(100 + w);
        WindowOpen(w) = true;
    }
    WindowFrozen(2) = true;
    ActiveWindow = 0;
    for (PictureBox *box : {&picture, &second, &frozen}) {
        box->BackColor = 0x123456;
        box->Cls();
        box->BackColor = ColourTable(3);
    }
    RedrawAll();
    EXPECT_EQ(ActiveWindow, 0);
    EXPECT_EQ(picture.Image().pixel(3, 3), Rgb(ColourTable(3)));
    EXPECT_EQ(second.Image().pixel(3, 3), Rgb(ColourTable(3)));
    EXPECT_EQ(frozen.Image().pixel(3, 3), Rgb(0x123456));
    ASSERT_FALSE(shell.focusedWindows.empty());
    EXPECT_EQ(shell.focusedWindows.back(), 0);

    // A maximized active window is the only one repainted.
    second.BackColor = 0x123456;
    second.Cls();
    second.BackColor = ColourTable(3);
    picture.Maximized = true;
    RedrawAll();
    EXPECT_EQ(second.Image().pixel(3, 3), Rgb(0x123456));
    picture.Maximized = false;
    WindowFrozen(2) = false;
    WindowOpen(1) = WindowOpen(2) = false;
    SetWindowPicture(1, nullptr);
    SetWindowPicture(2, nullptr);
}

} // namespace

namespace {

TEST_F(DrawingFilters, LinesOverAllWindowsDrawWithoutClearing) {
    picture.BackColor = 0x123456;
    picture.Cls();
    picture.BackColor = ColourTable(3);
    RedrawLinesAllWindows();
    EXPECT_EQ(picture.Image().pixel(3, 3), Rgb(0x123456));
    EXPECT_EQ(picture.Image().pixel(250, 250), Rgb(ColourTable(0))); // the flat airway through the middle
    EXPECT_EQ(ActiveWindow, 0);
}

} // namespace
