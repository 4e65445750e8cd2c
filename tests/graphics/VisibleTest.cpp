#include "GraphicsFixture.h"

#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/units.h"

namespace {

class VisibleList : public GraphicsTest {};

TEST_F(VisibleList, HiddenLayersAreLeftOutOrKeptUnmarked) {
    const int a = AddAirway(0, 0, 0, 10, 0, 0);
    const int b = AddAirway(0, 0, 0, 0, 10, 0);
    const int c = AddAirway(0, 0, 0, 0, 0, 10);
    AirwayPrimaryLayer(b) = 3;
    AirwaySecondaryLayer(c) = 0;
    PrimaryLayerVisible(3) = false;
    const struct {
        int layerDisplay;
        std::vector<int> want;
    } cases[] = {{0, {a, c}}, {1, {a, b, c}}, {2, {a, b, c}}, {4, {a, c}}};
    for (const auto &cs : cases) {
        LayerDisplay = cs.layerDisplay;
        SetVisibleAirways();
        EXPECT_EQ(Visible(), cs.want) << cs.layerDisplay;
        EXPECT_TRUE(AirwayFlags(a) & AirwayFlag::LayerVisible);
        EXPECT_FALSE(AirwayFlags(b) & AirwayFlag::LayerVisible);
    }
    EXPECT_EQ(AirwaySecondaryLayer(c), 1);

    // Layer numbers outside the tables stand for the nearest layer.
    AirwaySecondaryLayer(a) = 99;
    AirwayPrimaryLayer(c) = -4;
    SecondaryLayerVisible(48) = false;
    LayerDisplay = 0;
    SetVisibleAirways();
    EXPECT_EQ(Visible(), std::vector<int>{c});
}

TEST_F(VisibleList, LevelWindowTakesEndsInsideAndThroughAirwaysWithTheOption) {
    const int shaft = AddAirway(0, 0, 100, 0, 0, 200);
    ViewMode = 1;
    const struct {
        int32_t low, high;
        int detail;
        bool shown;
    } cases[] = {{150, 160, 0, false},    {150, 160, 0x200, true},  {200, 300, 0, true},
                 {200, 300, 0x200, true}, {201, 300, 0x200, false}, {0, 99, 0x200, false}};
    for (const auto &c : cases) {
        RLWindowLow = c.low;
        RLWindowHigh = c.high;
        GraphicsDetail = c.detail;
        SetVisibleAirways();
        EXPECT_EQ(Visible() == std::vector<int>{shaft}, c.shown)
            << c.low << ".." << c.high << " " << c.detail;
    }
    // Layer mark is set whatever the level test says.
    EXPECT_TRUE(AirwayFlags(shaft) & AirwayFlag::LayerVisible);
}

TEST_F(VisibleList, SelectedLevelsListEachAirwayAndTextOnce) {
    LevelRange(3, 1) = 100;
    LevelRange(3, 2) = 0;
    LevelRange(4, 1) = 150;
    LevelRange(4, 2) = 50;
    const int both = AddAirway(0, 0, 75, 10, 0, 75);
    const int lower = AddAirway(0, 0, 20, 10, 0, 20);
    const int upper = AddAirway(0, 0, 140, 10, 0, 140);
    AddAirway(0, 0, 500, 10, 0, 500);
    const int zs[] = {20, 75, 140, 900};
    for (int t = 1; t <= 4; ++t) {
        FloatingTextUsed(t) = true;
        FloatingTextPosition(3, t) = zs[t - 1];
    }
    ViewMode = 2;
    SelectedLevels(0) = 3;
    SelectedLevels(1) = 4;
    SelectedLevels(2) = 0;
    SetVisibleAirways();
    EXPECT_EQ(Visible(), (std::vector<int>{both, lower, upper}));
    std::vector<int> texts;
    for (int i = 1; FloatingTextShown(i) != 0; ++i)
        texts.push_back(FloatingTextShown(i));
    EXPECT_EQ(texts, (std::vector<int>{1, 2, 3}));
    // The elevation window stays at the last selected level.
    EXPECT_EQ(RLWindowLow, 50);
    EXPECT_EQ(RLWindowHigh, 150);
}

TEST_F(VisibleList, FlowFilterComparesTheSignedFlow) {
    const int reversed = AddAirway(0, 0, 0, 10, 0, 0);
    const int inside = AddAirway(0, 0, 0, 0, 10, 0);
    AirwayFlow(reversed) = -5;
    AirwayFlow(inside) = 50;
    MinShownFlow = 1;
    MaxShownFlow = 100;
    DimOption = 1;
    SetVisibleAirways();
    EXPECT_EQ(Visible(), (std::vector<int>{reversed, inside}));
    DimOption = 2;
    SetVisibleAirways();
    EXPECT_EQ(Visible(), std::vector<int>{inside});
}

TEST_F(VisibleList, EmptySlotsAndEmptyNetworkGiveNothing) {
    SetVisibleAirways();
    EXPECT_EQ(VisibleAirways(1), 0);
    AddAirway(0, 0, 0, 1, 1, 1);
    const int empty = AddAirway(0, 0, 0, 1, 1, 1);
    AirwayStartKey(empty) = 0;
    SetVisibleAirways();
    EXPECT_EQ(Visible(), std::vector<int>{1});
}

TEST_F(VisibleList, ViewModeSwitchesRebuildOrKeepTheListWhenCancelled) {
    LevelRange(2, 1) = 500;
    LevelRange(2, 2) = 480;
    const int onLevel = AddAirway(0, 0, 490, 10, 0, 490);
    AddAirway(0, 0, 0, 10, 0, 0);
    shell.scrollValue = 2;
    SetViewMode(0);
    EXPECT_EQ(ViewMode, 1);
    EXPECT_EQ(RLWindowLow, 480);
    EXPECT_EQ(RLWindowHigh, 500);
    EXPECT_EQ(LevelElevation, 490);
    EXPECT_EQ(WorkingElevation, 490);
    EXPECT_EQ(shell.levelIndexSet.back(), 1);
    EXPECT_EQ(Visible(), std::vector<int>{onLevel});
    EXPECT_TRUE(shell.menuChecked["mnuLevels(0)"]);

    // Choosing selected levels without a choice made changes nothing: the check mark stays on the mode.
    SetViewMode(1);
    EXPECT_EQ(ViewMode, 1);
    EXPECT_EQ(Visible(), std::vector<int>{onLevel});
    EXPECT_FALSE(shell.menuChecked["mnuLevels(1)"]);
    EXPECT_TRUE(shell.menuChecked["mnuLevels(0)"]);

    SetViewMode(3);
    EXPECT_EQ(ViewMode, 4);
    EXPECT_EQ(Visible().size(), 2u);

    SetViewMode(2);
    EXPECT_EQ(ViewMode, 3);
    EXPECT_EQ(RangeLow, 480);
    EXPECT_EQ(RangeHigh, 500);
}

TEST_F(VisibleList, AViewOpensOnTheLevelNewAirwaysTake) {
    SetBuiltInUnits();
    UnitSystem = 1;
    const char *names[] = {"SURFACE", "900 Level", "800 Level"};
    const int32_t bands[][2] = {{1000, 1000}, {910, 890}, {810, 790}};
    for (int l = 1; l <= 3; ++l) {
        LevelName(l) = names[l - 1];
        LevelRange(l, 1) = bands[l - 1][0];
        LevelRange(l, 2) = bands[l - 1][1];
    }
    const struct {
        double viewLevel, elevation;
        int level;
        const char *z;
    } cases[] = {{3, 0, 3, "800"},    // the view's own level
                 {0, 795, 3, "800"},  // the level that holds the view's elevation
                 {0, 880, 2, "900"},  // between levels: the first level below the surface
                 {7, 880, 2, "900"}}; // a level the table does not have
    for (const auto &c : cases) {
        LevelScrollValue = c.viewLevel;
        LevelElevation = c.elevation;
        ShowWorkingLevel();
        EXPECT_EQ(LevelScrollValue, c.level) << c.viewLevel << " " << c.elevation;
        EXPECT_EQ(shell.levelIndex, c.level - 1) << c.viewLevel << " " << c.elevation;
        EXPECT_EQ(shell.labels["TxtZ"], c.z) << c.viewLevel << " " << c.elevation;
        EXPECT_EQ(LevelElevation, (bands[c.level - 1][0] + bands[c.level - 1][1]) / 2.0);
    }
}

} // namespace
