#include "common/RecordingShell.h"
#include "common/ScriptedDialogs.h"
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"
#include "model/levels_views.h"

#include <gtest/gtest.h>

namespace {

class Levels : public ::testing::Test {
protected:
    RecordingShell shell;
    ScriptedDialogs boxes; // any box a test does not script fails it

    void SetUp() override {
        for (int i = 0; i <= 250; ++i) {
            LevelName(i) = "";
            LevelRange(i, 1) = LevelRange(i, 2) = 0;
        }
        UnitSystem = 1;
        UnitFactor(14, 1) = 1;
        UnitFactor(14, 2) = 3.28084f;
    }

    static void level(int i, const std::string &name, int32_t high, int32_t low) {
        LevelName(i) = name;
        LevelRange(i, 1) = high;
        LevelRange(i, 2) = low;
    }
};

TEST_F(Levels, AreSortedHighestFirstAndListedWithTheScrollRange) {
    level(1, "SURFACE", 1000, 1000);
    level(2, "L500", 500, 480);
    level(3, "L800", 800, 780);
    level(4, "L300", 300, 280);
    FillLevelList();
    EXPECT_EQ(shell.levelList, (std::vector<std::string>{"SURFACE", "L800", "L500", "L300"}));
    EXPECT_EQ(LevelRange(2, 1), 800);
    EXPECT_EQ(LevelRange(2, 2), 780);
    EXPECT_EQ(LevelRange(4, 2), 280);
    EXPECT_EQ(shell.scrollMin, 1);
    EXPECT_EQ(shell.scrollMax, 4);
}

TEST_F(Levels, EqualHeightsKeepTheirOrderAndAnEmptyTableGetsTheSurface) {
    level(1, "A", 700, 690);
    level(2, "B", 700, 650);
    level(3, "C", 800, 600);
    FillLevelList();
    EXPECT_EQ(shell.levelList, (std::vector<std::string>{"C", "A", "B"}));

    SetUp();
    FillLevelList();
    EXPECT_EQ(shell.levelList, (std::vector<std::string>{"SURFACE"}));
    EXPECT_EQ(LevelName(1), "SURFACE");
    EXPECT_EQ(shell.scrollMax, 1);
}

TEST_F(Levels, DialogListsEndAtTheFirstUnusedLevel) {
    EXPECT_TRUE(LevelListNames().empty());
    EXPECT_EQ(LevelListEnd, 1);
    level(1, "SURFACE", 1000, 1000);
    level(2, "", 500, 480); // unnamed but with bounds: in use
    level(4, "Beyond the gap", 300, 280);
    EXPECT_EQ(LevelListNames(), (std::vector<std::string>{"SURFACE", ""}));
    EXPECT_EQ(LevelListEnd, 3);
    for (int i = 1; i <= 249; ++i)
        level(i, std::to_string(i), i, i);
    EXPECT_EQ(LevelListNames().size(), 249u);
    EXPECT_EQ(LevelListEnd, 250);
}

TEST_F(Levels, TypedHeightsBeyondTheLimitsAreRefusedAndStoreNothing) {
    const struct {
        std::vector<LevelGridRow> rows;
        const char *message;
        LevelCell cell;
    } cases[] = {
        {{{"SURFACE", "10000000", "1000"}}, "Exceeds Maximum RL Limits", {1, 2}},
        {{{"SURFACE", "1000", "1000"}, {"Deep", "-5", "-10000000"}}, "Exceeds Minimum RL Limits", {2, 3}},
    };
    for (const auto &c : cases) {
        LevelName(2) = "Kept";
        LevelRange(1, 1) = LevelRange(1, 2) = 900;
        boxes.Expect(VB::vbOK, c.message);
        EXPECT_EQ(CheckLevelRanges(c.rows), c.cell) << c.message;
        EXPECT_EQ(LevelName(2), "Kept");
        EXPECT_EQ(LevelRange(1, 1), 900);
        EXPECT_EQ(boxes.Shown().back().icon, VB::vbExclamation);
    }
    // The limits themselves are heights.
    EXPECT_EQ(CheckLevelRanges({{"SURFACE", "9999999", "9999999"}, {"Deep", "-5", "-9999999"}}),
              std::nullopt);
    EXPECT_EQ(LevelRange(2, 2), -9999999);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(Levels, SwappedHighAndLowArePutRightAndDisplayUnitsConverted) {
    CheckLevelRanges({{"SURFACE", "1000", "1000"}, {"Upside", "100", "200"}});
    EXPECT_EQ(LevelRange(2, 1), 200);
    EXPECT_EQ(LevelRange(2, 2), 100);

    UnitSystem = 2;
    CheckLevelRanges({{"SURFACE", "3280.84", "3280.84"}, {"Feet", "328", "0"}});
    EXPECT_EQ(LevelRange(1, 2), 1000);
    EXPECT_EQ(LevelRange(2, 1), 100);
    EXPECT_EQ(LevelRange(2, 2), 0);
}

TEST_F(Levels, SurfaceWarningStartsExactlyAtTheSurfaceRL) {
    boxes.Expect(VB::vbOK, "The level Top is within the NO.1 (surface) RL range.");
    CheckLevelRanges({{"SURFACE", "1000", "1000"}, {"Top", "1000", "980"}});
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].title, "RL Range Problem");
    EXPECT_EQ(boxes.Shown()[0].icon, VB::vbCritical);

    CheckLevelRanges({{"SURFACE", "1000", "1000"}, {"Top", "999", "980"}});
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST_F(Levels, RowWithoutHeightsLeavesItsLowUnread) {
    CheckLevelRanges({{"SURFACE", "1000", "1000"}, {"Planned", "0", "400"}});
    EXPECT_EQ(LevelName(2), "Planned");
    EXPECT_EQ(LevelRange(2, 2), 0);
    EXPECT_EQ(shell.levelList, (std::vector<std::string>{"SURFACE", "Planned"}));
}

class Views : public ::testing::Test {
protected:
    RecordingShell shell;
    ScriptedDialogs boxes;

    void SetUp() override {
        // Storing a view reads the rotation centre kept in airway slot 0.
        MaxAirways = 100;
        ReDimNetwork();
        Tilt = 0.25f;
        for (int v = 0; v <= 110; ++v)
            ViewName(v) = "";
        ViewName(1) = " 1. Default View";
        ViewName(2) = " 2. Plan View 3D";
        ViewName(7) = "Shaft";
    }
    void TearDown() override {
        MaxAirways = 30000;
        Tilt = 0;
    }
};

TEST_F(Views, ListHoldsOnlyNamedSlotsInOrder) {
    ViewName(100) = "Last";
    ViewName(101) = "Window 1";
    FillViewList();
    EXPECT_EQ(shell.viewList,
              (std::vector<std::string>{" 1. Default View", " 2. Plan View 3D", "Shaft", "Last"}));
}

TEST_F(Views, NamedViewIsAddedSelectedAndMarksTheNetworkChanged) {
    FillViewList();
    NetworkSaved = 255;
    AddNamedView(8, 0, "Decline");
    EXPECT_EQ(ViewName(8), "Decline");
    EXPECT_EQ(ViewSingles(8, 1), 0.25f); // the current view is stored in the slot
    EXPECT_EQ(shell.viewList.back(), "Decline");
    EXPECT_EQ(shell.viewIndexSet, std::vector<int>{3});
    EXPECT_EQ(NetworkSaved, 0);

    // The view kept with a network file and code 6 stay out of the list.
    AddNamedView(0, 0, "File view");
    AddNamedView(9, 6, "Hidden");
    EXPECT_EQ(shell.viewList.size(), 4u);
    EXPECT_EQ(ViewName(0), "File view");
    EXPECT_EQ(shell.viewIndexSet, std::vector<int>{3});
}

} // namespace
