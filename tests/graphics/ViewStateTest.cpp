#include "GraphicsFixture.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/network_drawing.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "platform/Printer.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

class ViewState : public GraphicsTest {};

TEST_F(ViewState, SavedViewComesBackWithEverythingItKeeps) {
    picture.ScaleWidth = 300;
    picture.ScaleHeight = 200;
    picture.ScaleLeft = -150;
    picture.ScaleTop = -100;
    Tilt = 0.5f;
    Spin = 1.25f;
    PanX = 500123;
    PanY = -7000;
    LayerDisplay = 1 + 8;
    ViewMode = 3;
    RLWindowLow = -120;
    RLWindowHigh = 40;
    LevelScrollValue = 2;
    LevelElevation = 17.5;
    for (int i = 0; i <= 5; ++i)
        SelectedLevels(i) = i < 3 ? i + 4 : 0;
    AirwayStart(1, 0) = 501000;
    AirwayStart(2, 0) = -6900;
    AirwayStart(3, 0) = -55;
    RotationCentreSet = 1;
    DataCode = 12;
    GraphicsDetail = 0x200 + 3;
    ColourScheme = 1;
    PrimaryLayerVisible(3) = false;
    SecondaryLayerVisible(2) = false;
    SecondaryLayerVisible(30) = false;
    UnitSystem = 1;
    UnitText(4, 1) = "m3/s";
    ViewSingles(100, 7) = 42; // never written
    SaveView(100);
    EXPECT_EQ(ViewSingles(100, 7), 42);

    // Everything changes, then the row comes back.
    picture.ScaleWidth = picture.ScaleHeight = 1000;
    picture.ScaleLeft = picture.ScaleTop = -500;
    Tilt = Spin = 0;
    PanX = PanY = 0;
    LayerDisplay = 0;
    ViewMode = 4;
    RLWindowLow = RLWindowHigh = 0;
    LevelScrollValue = 0;
    LevelElevation = 0;
    for (int i = 0; i <= 5; ++i)
        SelectedLevels(i) = 0;
    AirwayStart(1, 0) = AirwayStart(2, 0) = AirwayStart(3, 0) = 0;
    RotationCentreSet = 0;
    DataCode = 0;
    GraphicsDetail = ColourScheme = 0;
    for (int i = 1; i <= 16; ++i)
        PrimaryLayerVisible(i) = true;
    for (int i = 1; i <= 48; ++i)
        SecondaryLayerVisible(i) = true;
    RestoreView(100);

    // The width and centre come back; the height follows the square picture, for one scale in x and y.
    EXPECT_EQ(picture.ScaleWidth, 300);
    EXPECT_EQ(picture.ScaleHeight, 300);
    EXPECT_EQ(picture.ScaleLeft, -150);
    EXPECT_EQ(picture.ScaleTop, -150);
    EXPECT_EQ(Tilt, 0.5f);
    EXPECT_EQ(Spin, 1.25f);
    EXPECT_EQ(PanX, 500123);
    EXPECT_EQ(PanY, -7000);
    EXPECT_EQ(LayerDisplay, 9);
    EXPECT_EQ(ViewMode, 3);
    EXPECT_EQ(RLWindowLow, -120);
    EXPECT_EQ(RLWindowHigh, 40);
    EXPECT_EQ(LevelScrollValue, 2);
    EXPECT_EQ(LevelElevation, 17.5);
    EXPECT_EQ(SelectedLevels(0), 4);
    EXPECT_EQ(SelectedLevels(2), 6);
    EXPECT_EQ(SelectedLevels(3), 0);
    EXPECT_EQ(AirwayStart(1, 0), 501000);
    EXPECT_EQ(AirwayStart(2, 0), -6900);
    EXPECT_EQ(AirwayStart(3, 0), -55);
    EXPECT_EQ(RotationCentreSet, 1);
    EXPECT_EQ(DataCode, 12);
    EXPECT_EQ(GraphicsDetail, 0x203);
    EXPECT_EQ(ColourScheme, 1);
    for (int i = 1; i <= 16; ++i)
        EXPECT_EQ(PrimaryLayerVisible(i), i != 3) << i;
    for (int i = 1; i <= 48; ++i)
        EXPECT_EQ(SecondaryLayerVisible(i), i != 2 && i != 30) << i;
    EXPECT_EQ(ViewRestored, 1);
    EXPECT_EQ(shell.dataGroupIndex, 0);
    EXPECT_EQ(shell.dataItemIndex, 0);
    EXPECT_EQ(shell.labels["LblUnit"], "m3/s");
}

TEST_F(ViewState, RowEdgeCasesRestoreAsDocumented) {
    // A primary mask of 0 shows all primary layers; a secondary mask of 0 hides them all.
    const int slot = 20;
    ViewSingles(slot, 5) = 400;
    ViewSingles(slot, 6) = 300;
    ViewSingles(slot, 3) = -200;
    ViewSingles(slot, 4) = -150;
    ViewSingles(slot, 10) = 1;
    ViewSingles(slot, 11) = 100;
    ViewSingles(slot, 12) = 140;
    for (int f = 1; f <= 5; ++f)
        ViewCurrency(slot, f) = 0;
    for (int i = 1; i <= 16; ++i)
        PrimaryLayerVisible(i) = i % 2 == 0;
    DataCode = 23;
    ViewSingles(slot, 27) = 0; // not stored
    ViewSingles(slot, 28) = 0; // not stored
    RestoreView(slot);
    for (int i = 1; i <= 16; ++i)
        EXPECT_TRUE(PrimaryLayerVisible(i)) << i;
    for (int i = 1; i <= 48; ++i)
        EXPECT_FALSE(SecondaryLayerVisible(i)) << i;
    EXPECT_EQ(LevelElevation, 120);
    EXPECT_EQ(DataCode, 23);

    // An off-centre world window is rewritten centred, with the same area shown through the pan.
    ViewSingles(slot, 3) = 100;
    ViewSingles(slot, 4) = 50;
    ViewSingles(slot, 26) = 1;
    RestoreView(slot);
    EXPECT_EQ(ViewSingles(slot, 3), -200);
    EXPECT_EQ(ViewSingles(slot, 4), -150);
    EXPECT_EQ(ViewSingles(slot, 15), 300);
    EXPECT_EQ(ViewSingles(slot, 16), 200);
    EXPECT_EQ(ViewSingles(slot, 26), 0);
    EXPECT_EQ(PanX, 300);
    EXPECT_EQ(PanY, 200);
    EXPECT_EQ(picture.ScaleLeft, -200);

    // A row without a world window gives only the angles and the 3-D flag.
    const int bare = 21;
    ViewSingles(bare, 1) = 0.25f;
    ViewSingles(bare, 14) = 0;
    ViewSingles(bare, 9) = 3;
    LayerDisplay = 0;
    RestoreView(bare);
    EXPECT_EQ(Tilt, 0.25f);
    EXPECT_EQ(LayerDisplay, 0);
    EXPECT_EQ(picture.ScaleWidth, 400);

    // A minimized window keeps its view.
    picture.Minimized = true;
    ViewRestored = 0;
    RestoreView(slot);
    EXPECT_EQ(ViewRestored, 0);
    EXPECT_EQ(Tilt, 0.25f);
}

TEST_F(ViewState, BuiltInViewsApplyOnlyTheirAngles) {
    const float quarter = static_cast<float>(ViewPi / 2);
    ViewSingles(3, 1) = quarter;
    ViewSingles(3, 2) = 0;
    ViewSingles(3, 14) = 1;
    ViewSingles(3, 5) = 999; // ignored
    ViewSingles(3, 9) = 2;   // ignored
    ViewSingles(3, 28) = 45; // ignored
    AxisSignY = -1;
    RotationCentreSet = 1;
    DataCode = 12;
    RestoreView(3);
    EXPECT_EQ(ViewIs3D, 1);
    EXPECT_FLOAT_EQ(Tilt, -quarter);
    EXPECT_EQ(picture.ScaleWidth, 1000);
    EXPECT_EQ(LayerDisplay, 0);
    EXPECT_EQ(DataCode, 12);
    EXPECT_EQ(ViewRestored, 1);

    AirwayStart(1, 0) = 70;
    AirwayStart(2, 0) = 80;
    ViewSingles(1, 14) = 0;
    RestoreView(1);
    EXPECT_EQ(ViewIs3D, 0);
    EXPECT_EQ(PanX, 70);
    EXPECT_EQ(PanY, 80);
    EXPECT_TRUE(shell.menuChecked["mnuPlanS"]);
    EXPECT_FALSE(shell.menuChecked["mnu3d"]);
}

TEST_F(ViewState, CopiedViewCarriesEveryField) {
    for (int f = 1; f <= 28; ++f)
        ViewSingles(101, f) = static_cast<float>(f) * 1.5f;
    for (int f = 1; f <= 5; ++f)
        ViewCurrency(101, f) = f * 10000;
    CopyView(1, 3);
    for (int f = 1; f <= 28; ++f)
        EXPECT_EQ(ViewSingles(103, f), f * 1.5f);
    for (int f = 1; f <= 5; ++f)
        EXPECT_EQ(ViewCurrency(103, f), f * 10000);
    CopyView(1, 9); // no such window: nothing happens
}

TEST_F(ViewState, FitGivesTheExpectedWorldWindows) {
    // Empty network: the default box around the default centre.
    DefaultScaleWidth = 1000;
    DefaultCentreX = -5000;
    DefaultCentreY = 2000;
    FitNetwork();
    EXPECT_DOUBLE_EQ(picture.ScaleWidth, 1200);
    EXPECT_DOUBLE_EQ(picture.ScaleHeight, 1200);
    EXPECT_EQ(PanX, -5000);
    EXPECT_EQ(PanY, 2000);

    // A single vertical airway: 100 m extent, 120 m window.
    AddAirway(300, 400, 0, 300, 400, 100);
    SetVisibleAirways();
    FitNetwork();
    EXPECT_DOUBLE_EQ(picture.ScaleWidth, 120);
    EXPECT_EQ(PanX, 300);
    EXPECT_EQ(PanY, 400);
    EXPECT_EQ(AirwayStart(3, 0), 50);

    // A 1 m network: the smallest window, 5 m high.
    AirwayEnd(1, 1) = 301;
    AirwayEnd(2, 1) = 401;
    SetVisibleAirways();
    FitNetwork();
    EXPECT_NEAR(picture.ScaleHeight, 5, 1e-9);

    // A normal network in a window half as high as wide; the centre is the mean of the visible ends.
    picture.Resize(400, 200);
    AirwayCount = 0;
    AddAirway(0, 0, -10, 1000, 500, -30);
    AddAirway(1000, 500, -30, 1000, 0, -50);
    SetVisibleAirways();
    FitNetwork();
    EXPECT_FLOAT_EQ(AspectRatio, 0.5f);
    EXPECT_DOUBLE_EQ(picture.ScaleWidth, 1200);
    EXPECT_DOUBLE_EQ(picture.ScaleHeight, 600);
    EXPECT_EQ(PanX, 500);
    EXPECT_EQ(PanY, 250);
    EXPECT_EQ(AirwayStart(1, 0), 750);
    EXPECT_EQ(AirwayStart(2, 0), 250);
    EXPECT_EQ(AirwayStart(3, 0), -30);
    EXPECT_EQ(RotationCentreSet, 1);

    // A flat network still fits by its width.
    AirwayCount = 0;
    AddAirway(0, 0, 0, 500, 0, 0);
    SetVisibleAirways();
    FitNetwork();
    EXPECT_DOUBLE_EQ(picture.ScaleWidth, 600);
}

TEST_F(ViewState, FitTakesInEveryLabelWhereverItsAirwayStands) {
    SetBuiltInColours();
    SetBuiltInSymbols();
    SetBuiltInFonts();
    FontScale = 0;
    GraphicsDetail = 2; // airway names
    AxisSignY = -1;
    // A grid of 20 m drives named "D", and the drive amid it named far longer than any at the edges.
    for (int i = 0; i < 9; ++i)
        for (int j = 0; j < 9; ++j)
            for (const auto &[di, dj] : {std::pair{1, 0}, std::pair{0, 1}})
                if (i + di < 9 && j + dj < 9) {
                    const int a = AddAirway(20 * i, 20 * j, 0, 20 * (i + di), 20 * (j + dj), 0);
                    AirwayFlags(a) |= AirwayFlag::LayerVisible;
                    AirwayName(a) = i == 4 && j == 4 && di == 1 ? std::string(25, 'W') : "D";
                }
    SetVisibleAirways();
    FitNetwork();
    PrepareDrawing();
    std::vector<DrawnPrimitive> drawn;
    picture.Recording = &drawn;
    DrawNetwork();
    picture.Recording = nullptr;
    const auto label = std::find_if(drawn.begin(), drawn.end(),
                                    [](const DrawnPrimitive &p) { return p.text == std::string(25, 'W'); });
    ASSERT_NE(label, drawn.end());
    picture.FontSize = label->fontSize;
    picture.FontBold = label->bold;
    const double right = picture.ToPixelX(label->x1 + picture.TextWidth(label->text));
    EXPECT_GT(picture.ToPixelX(label->x1), 0);
    EXPECT_LT(right, picture.PixelWidth()) << "ends at pixel " << right;
}

// A fit measures only the airways whose bound, found without drawing, reaches further than what it has
// measured: each bound must hold every text, symbol and stroke its airway draws, and every point they are
// drawn at, in both turns of the y axis, whichever texts are shown.
TEST_F(ViewState, BoundsFoundWithoutDrawingHoldAllThatEachAirwayDraws) {
    SetBuiltInColours();
    SetBuiltInSymbols();
    LoadSymbolPictures();
    SetBuiltInFonts();
    FontScale = 0;
    // Each text class in a size and weight of its own, so that a line taken from the wrong class shows.
    FontSize(1) = 10;
    FontSize(2) = 16;
    FontSize(3) = 7;
    FontBold(2) = 1;
    ResistanceTypeName(1) = "Regulator, shut          "; // printed with its blanks
    const auto named = [](int a, const char *start, const char *end, const char *name) {
        AirwayStartName(a) = start;
        AirwayEndName(a) = end;
        AirwayName(a) = name;
        AirwayFlags(a) |= AirwayFlag::LayerVisible;
        AirwayFlow(a) = 1234.5f;
    };
    // Drives along the axes, so that what stands beside a line reaches out of the line's own box.
    named(AddAirway(0, 0, 0, 300, 0, 0), "West", "East end", "  Main drive  ");
    named(AddAirway(300, 0, 0, 300, 40, -200), "Collar", "Shaft bottom", "");
    named(AddAirway(-100, 0, 0, -100, 300, 0), "South", "North", "Cross-cut");
    // Across the axes, with no names at their ends, the symbol point at the start: what the middle and the
    // symbol point hold stands clear of the rest.
    const int fan = AddAirway(400, 0, 0, 400, 300, 0);
    named(fan, "", "", "Ret");
    AirwayFan(fan) = 1;
    AirwayFanCount(fan) = 2;
    AirwayIconPosition(fan) = -0.3f;
    const int fixed = AddAirway(500, 0, -200, 500, 300, -200);
    named(fixed, "", "   ", "Ramp");
    AirwayFlags(fixed) |= AirwayFlag::FixedFlow | AirwayFlag::ErrorMark;
    AirwayComment(fixed) = " Check this regulator's setting ";
    const int door = AddAirway(600, 0, -100, 600, 300, -100);
    named(door, "", "", "");
    AirwayResistanceType(door) = 1;
    AirwayParallelCount(door) = 3;

    struct Row {
        const char *what;
        int axisY, detail, dataCode;
    };
    const Row rows[] = {
        {"everything, y up", -1, 511, 12},
        {"everything, y down", 1, 511, 12},
        {"resistances, y up", -1, 511, 32},
        {"airway numbers, names at the middle", 1, 2 | 4, 52},
        {"node names and symbols", -1, 1 | 16 | 32 | 64, 12},
        {"symbols and arrows", 1, 16 | 64, 12},
    };
    for (const Row &row : rows) {
        AxisSignY = row.axisY;
        GraphicsDetail = row.detail;
        DataCode = row.dataCode;
        SetVisibleAirways();
        FitNetwork();
        PrepareFitRecords();
        const std::vector<DrawnBound> bounds = DrawnBounds();
        ASSERT_EQ(static_cast<int>(bounds.size()), AirwayScreenCount) << row.what;
        const auto holds = [](const QRectF &outer, const QRectF &inner) {
            constexpr double Slack = 1e-3; // pixels: the drawing places its texts in singles
            return inner.left() >= outer.left() - Slack && inner.right() <= outer.right() + Slack &&
                   inner.top() >= outer.top() - Slack && inner.bottom() <= outer.bottom() + Slack;
        };
        int texts = 0;
        for (int k = 1; k <= AirwayScreenCount; ++k) {
            const DrawnBound &bound = bounds[static_cast<size_t>(k - 1)];
            for (const auto &[rect, at] : MeasureDrawn({k}).items) {
                texts += rect.width() > 1 && rect.height() > 1 ? 1 : 0;
                EXPECT_TRUE(holds(bound.rect, rect))
                    << row.what << ", airway " << AirwayScreen(k).airway << " " << rect.left() << " "
                    << rect.top() << " " << rect.right() << " " << rect.bottom() << " in "
                    << bound.rect.left() << " " << bound.rect.top() << " " << bound.rect.right() << " "
                    << bound.rect.bottom();
                EXPECT_TRUE(holds(bound.placedAt, at)) << row.what << ", airway " << AirwayScreen(k).airway;
            }
        }
        EXPECT_GE(texts, 6) << row.what;
    }
}

TEST_F(ViewState, CentreFollowsWhatTheWindowShows) {
    AddAirway(0, 0, 0, 100, 0, 20);
    AddAirway(5000, 5000, 500, 5100, 5000, 500); // outside the window
    SetVisibleAirways();
    picture.ScaleWidth = picture.ScaleHeight = 400;
    picture.ScaleLeft = picture.ScaleTop = -200;
    PanX = 40;
    PanY = 10;
    PrepareDrawing();
    ASSERT_EQ(AirwayScreenCount, 1);
    WindowCentre();
    EXPECT_EQ(AirwayStart(1, 0), 40);
    EXPECT_EQ(AirwayStart(2, 0), 10);
    EXPECT_EQ(AirwayStart(3, 0), 10);

    CentreOfVisible();
    EXPECT_EQ(AirwayStart(1, 0), 2550);
    EXPECT_EQ(AirwayStart(3, 0), 255);
    CentreAtView();
    EXPECT_EQ(AirwayStart(1, 0), 40);
    EXPECT_EQ(AirwayStart(3, 0), 255);
}

TEST_F(ViewState, CaptionShowsTitlesAndScale) {
    NetworkFileTitle = "";
    NetworkTitle = "  ";
    // On the screen: 1000 m over 500 pixels of 1/3780 m (96 per inch) is 1:7560, whatever the page.
    VB::SetPrinterPageSizeProvider([] { return std::optional<QSizeF>(QSizeF(200, 1000)); });
    ShowWindowTitle();
    EXPECT_EQ(shell.caption, "GUSTROM [] [Scale = 1:7560]");

    // With the print dialog open: 1200 m and a tenth fit 200 mm less half a percent at 1:6633.
    PrintPageShown = true;
    NetworkFileTitle = "mine.sim";
    NetworkTitle = "North block";
    picture.ScaleWidth = 1200;
    ShowWindowTitle();
    VB::SetPrinterPageSizeProvider({});
    EXPECT_EQ(WindowExtent, 1200);
    EXPECT_EQ(ScaleNumber, 6633);
    EXPECT_EQ(shell.caption, "GUSTROM [mine.sim  North block] [Scale = 1:6633]");
    // Without a printer the previous scale stays.
    ShowWindowTitle();
    EXPECT_EQ(ScaleNumber, 6633);
}

TEST_F(ViewState, ThreeDSwitchCentresOnWhatIsShown) {
    AddAirway(-100, 0, 10, 100, 0, 30);
    SetVisibleAirways();
    PrepareDrawing();
    View3D();
    EXPECT_EQ(ViewIs3D, 1);
    EXPECT_EQ(AirwayStart(3, 0), 20);
    EXPECT_TRUE(shell.menuChecked["mnu3d"]);
    EXPECT_EQ(PanX, 0);
    PlanView();
    EXPECT_EQ(ViewIs3D, 0);
}

TEST_F(ViewState, OnlyTheHookedWindowForwardsWheelEvents) {
    static int forwarded;
    static int lastRotation;
    forwarded = 0;
    SetWheelHandler([](int, int rotation, int, int) {
        ++forwarded;
        lastRotation = rotation;
    });
    HookWheel(0);
    EXPECT_TRUE(WheelEvent(0, 8, 120, 10, 20));
    EXPECT_EQ(lastRotation, 120);
    EXPECT_FALSE(WheelEvent(1, 0, -120, 0, 0));
    HookWheel(1);
    EXPECT_FALSE(WheelEvent(0, 0, -120, 0, 0));
    EXPECT_TRUE(WheelEvent(1, 0, -120, 0, 0));
    EXPECT_EQ(lastRotation, -120);
    UnhookWheel();
    EXPECT_FALSE(WheelEvent(1, 0, 120, 0, 0));
    EXPECT_EQ(forwarded, 2);
    SetWheelHandler(nullptr);
}

} // namespace
