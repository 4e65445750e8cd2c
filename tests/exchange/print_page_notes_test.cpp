#include "exchange/PrintFixture.h"
#include "graphics/projection.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double HalfPi = 1.5707963267948966;

TEST_F(PrintTest, SideViewGridLabelsEveryLineWithItsElevation) {
    GridOn = true;
    GridSpacing = 100;
    ViewIs3D = 1;
    PanY = 30;
    for (int sign : {1, -1})
        for (double tilt : {HalfPi, 3 * HalfPi}) {
            printed.clear();
            AxisSignY = sign;
            Tilt = static_cast<float>(tilt);
            PrintNetwork();
            int labels = 0;
            for (const DrawnPrimitive &p : Printed(DrawnPrimitive::Text)) {
                if (p.text.rfind("GUSTROM", 0) == 0)
                    continue;
                ++labels;
                // The label stands just above the line of its elevation.
                double sx = 0, sy = 0;
                ProjectPoint(0, 0, std::stod(p.text), sx, sy);
                const double y = sign * sy;
                bool line = false;
                for (const DrawnPrimitive &l : Printed(DrawnPrimitive::Line))
                    line |= std::abs(l.y1 - y) < 1e-6 && std::abs(l.y2 - y) < 1e-6;
                EXPECT_TRUE(line) << p.text << " sign " << sign << " tilt " << tilt;
                EXPECT_LT(p.y1, y);
                EXPECT_GT(p.y1, y - 50);
            }
            EXPECT_EQ(labels, 10) << sign << " " << tilt;
        }
}

TEST_F(PrintTest, PlanGridLiesUnderTheAirwaysWithEveryLabelWhollyInsideTheBorder) {
    GridOn = true;
    GridSpacing = 100; // lines on the border itself, and one under the airway
    LevelAirway(-300, 0, 300, 0);
    PrintNetwork();
    VB::PrinterPage &page = VB::Printer();
    int labels = 0;
    for (const DrawnPrimitive &t : Printed(DrawnPrimitive::Text)) {
        if (t.text.rfind("GUSTROM", 0) == 0)
            continue;
        ++labels;
        // Measured in the font it was printed in (a hundredth of a millimetre for the page's rounding).
        page.FontSize = t.fontSize;
        page.FontBold = t.bold;
        const double slack = 0.1;
        EXPECT_GE(t.x1, WindowLeft - slack) << t.text;
        EXPECT_LE(t.x1 + page.TextWidth(t.text), WindowRight + slack) << t.text;
        EXPECT_GE(t.y1, WindowTop - slack) << t.text;
        EXPECT_LE(t.y1 + page.TextHeight(t.text), WindowBottom + slack) << t.text;
    }
    EXPECT_GT(labels, 5);
    const auto at = [&](double x1, double x2) {
        const auto line = std::find_if(printed.begin(), printed.end(), [&](const DrawnPrimitive &p) {
            return p.kind == DrawnPrimitive::Line && p.y1 == 0 && p.y2 == 0 && p.x1 == x1 && p.x2 == x2;
        });
        return line - printed.begin();
    };
    EXPECT_LT(at(WindowLeft, WindowRight), at(-300, 300));
}

TEST_F(PrintTest, FloatingTextsNeedTheirSwitchASizeAndAFitWhereTheyPrint) {
    MaxFloatingTexts = 20;
    FloatingTextString(1) = "Workshop";
    FloatingTextPosition(1, 1) = 470;
    FloatingTextString(2) = "Pump";
    FloatingTextPosition(1, 2) = -498;
    FloatingTextShown(1) = 1;
    FloatingTextShown(2) = 2;
    FloatingTextShown(3) = 0;
    AxisSignX = -1; // the texts print at -470 and 498
    GraphicsDetail = 0;
    PrintNetwork();
    EXPECT_FALSE(Text("Workshop"));
    GraphicsDetail = 256;
    FontSize(4) = 0;
    PrintNetwork();
    EXPECT_FALSE(Text("Workshop"));
    FontSize(4) = 8;
    PrintNetwork();
    ASSERT_TRUE(Text("Workshop"));
    EXPECT_EQ(Text("Workshop")->x1, -470);
    EXPECT_FALSE(Text("Pump"));
}

TEST_F(PrintTest, SpreadLegendHasSevenBoxesAndSixThresholdsAndTheTraceLegendFour) {
    SmokeMode = 1;
    const float thresholds[6] = {100, 50, 20, 10, 5, 1};
    for (int j = 0; j <= 5; ++j)
        SmokeLegendLevel(j) = thresholds[j];
    PrintNetwork();
    auto boxes = Printed(DrawnPrimitive::FilledBox);
    ASSERT_EQ(boxes.size(), 7u);
    for (int k = 0; k <= 6; ++k) {
        EXPECT_EQ(boxes[static_cast<size_t>(k)].colour, ContaminantColours(6 - k));
        EXPECT_EQ(boxes[static_cast<size_t>(k)].x1, 500);
        EXPECT_EQ(boxes[static_cast<size_t>(k)].y1, -500 + 50 * k);
    }
    for (const char *label : {"100", "50", "20", "10", "5", "1"})
        EXPECT_TRUE(Text(label)) << label;

    printed.clear();
    SmokeMode = 2;
    PrintNetwork();
    boxes = Printed(DrawnPrimitive::FilledBox);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[1].colour, 0xFF0000); // light blue for fresh air
    for (const char *label : {"unknown", "fresh", "potential source", "smoke"})
        EXPECT_TRUE(Text(label)) << label;
}

TEST_F(PrintTest, TitleBlockNamesTitleScaleLevelAndResult) {
    shell.levelList = {"SURFACE", "L1"};
    shell.levelIndex = 1;
    DataTypeCaption(1, 1) = "Airflow";
    DataTypeCaption(1, 2) = "Quantity";
    DataGroup = 1;
    DataItem = 2;
    PrintScale = 5000;
    PrintNetwork();
    const auto title = Text("GUSTROM  T   Scale 1:5000   RL Name L1   AirFlow Simulation  Airflow Quantity");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->x1, -500);
    EXPECT_LT(title->y1, -500);

    VB::SetLocaleDecimalSeparatorOverride(',');
    PrintScale = 2500.5f;
    SmokeMode = 2;
    PrintNetwork();
    EXPECT_TRUE(
        Text("GUSTROM  T   Scale 1:2500,5   RL Name L1   Contaminant Source Simulation  Airflow Quantity"));
}

} // namespace
