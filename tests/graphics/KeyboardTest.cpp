#include "graphics/keyboard.h"
#include "MouseFixture.h"
#include "model/Gustrom1.h"
#include "model/undo.h"

namespace {

class Keyboard : public MouseTest {
protected:
    void SetUp() override {
        MouseTest::SetUp();
        GridOn = false;
        ViewMode = 4;
        PreviousViewMode = 0;
        CurrentLevel = 0;
        shell.scrollMin = 1;
        shell.scrollMax = 3;
        shell.scrollValue = 1;
        for (int level = 1; level <= 3; ++level) {
            LevelRange(level, 1) = 1000 - 100 * level;
            LevelRange(level, 2) = 980 - 100 * level;
        }
    }
    static void Key(int code) { KeyCommand(code); }
};

TEST_F(Keyboard, FunctionKeysSelectTheirToolsAndCommands) {
    const struct {
        int key, code, mode;
    } tools[] = {{113, 0, 0},  {114, 4, 1}, {115, 8, 4},  {116, 6, 2},  {117, 7, 3},
                 {118, 10, 6}, {119, 9, 5}, {120, 13, 9}, {121, 12, 8}, {122, 21, 15}};
    for (const auto &t : tools) {
        ToolMode = 99;
        ToolCode = 31;
        Key(t.key);
        EXPECT_EQ(ToolCode, t.code) << t.key;
        EXPECT_EQ(ToolMode, t.mode) << t.key;
        EXPECT_EQ(PreviousToolCode, 31) << t.key;
    }
    EXPECT_EQ(shell.rotationTimerStops, 10);

    // Commands run and leave the tool as it was.
    ToolCode = 4;
    ToolMode = 1;
    for (int key : {123, 9, 36})
        Key(key);
    EXPECT_EQ(shell.commands, (std::vector<int>{14, 5, 1}));
    EXPECT_EQ(ToolCode, 4);
    EXPECT_EQ(ToolMode, 1);
}

TEST_F(Keyboard, AnUnlistedKeyOnlyStopsTheRotationAndNotesTheTool) {
    ToolCode = 6;
    PreviousToolCode = 0;
    ToolMode = 2;
    AddAirway(0, 0, 0, 10, 0, 0);
    AirwayFlags(1) |= AirwayFlag::Selected;
    Key('A');
    EXPECT_EQ(shell.rotationTimerStops, 1);
    EXPECT_EQ(PreviousToolCode, 6);
    EXPECT_EQ(ToolCode, 6);
    EXPECT_EQ(ToolMode, 2);
    EXPECT_TRUE(shell.commands.empty());
    EXPECT_NE(AirwayFlags(1) & AirwayFlag::Selected, 0);
}

TEST_F(Keyboard, BackspaceUndoesThroughTheModel) {
    ResetUndoSteps();
    boxes.Expect(VB::vbOK, "No more actions to undo");
    Key(KeyCode::Back);
    EXPECT_TRUE(boxes.Done());
    EXPECT_TRUE(shell.commands.empty());
}

TEST_F(Keyboard, UpAndDownStepTheLevelWithinTheList) {
    const struct {
        int start, key, want;
    } cases[] = {{1, KeyCode::Up, 1}, {1, KeyCode::Down, 2}, {2, KeyCode::Up, 1}, {3, KeyCode::Down, 3}};
    for (const auto &c : cases) {
        shell.scrollValue = c.start;
        Key(c.key);
        EXPECT_EQ(shell.scrollValue, c.want) << c.start << " " << c.key;
        EXPECT_EQ(LastKey, c.key);
    }
}

TEST_F(Keyboard, LevelStepWithTheDrawToolNotesWhereTheConstructionBegan) {
    ToolMode = 1;
    WorkingElevation = 0;
    LevelElevation = 890;
    PressLevel = 0;
    shell.scrollValue = 2;
    Key(KeyCode::Down);
    EXPECT_EQ(WorkingElevation, 890);
    EXPECT_EQ(PressLevel, 2);
    EXPECT_EQ(shell.scrollValue, 3);
}

TEST_F(Keyboard, GridToggleFlipsTheFlagAndTheMenuCheck) {
    ToggleGridFlag();
    EXPECT_TRUE(GridOn);
    EXPECT_TRUE(shell.menuChecked["mnuGridFlag"]);
    ToggleGridFlag();
    EXPECT_FALSE(GridOn);
    EXPECT_FALSE(shell.menuChecked["mnuGridFlag"]);
}

TEST_F(Keyboard, SingleLevelToggleReturnsToThePreviousModeWithTheSameRange) {
    ViewMode = 3;
    RangeLow = 300;
    RangeHigh = 700;
    RLWindowLow = 300;
    RLWindowHigh = 700;
    CurrentLevel = 1;
    shell.scrollValue = 2;
    ToggleSingleLevel();
    EXPECT_EQ(ViewMode, 1);
    EXPECT_EQ(PreviousViewMode, 3);
    EXPECT_EQ(RLWindowLow, 780);
    EXPECT_EQ(RLWindowHigh, 800);
    ToggleSingleLevel();
    EXPECT_EQ(ViewMode, 3);
    EXPECT_EQ(PreviousViewMode, 1);
    EXPECT_EQ(RLWindowLow, 300);
    EXPECT_EQ(RLWindowHigh, 700);
    EXPECT_EQ(shell.levelIndex, -1);
    EXPECT_EQ(CurrentLevel, 1);
    EXPECT_TRUE(shell.menuChecked["mnuLevels(2)"]);
    EXPECT_FALSE(shell.menuChecked["mnuLevels(0)"]);
    EXPECT_FALSE(ComboUpdating);
}

TEST_F(Keyboard, SingleLevelToggleFromTheStartStateReturnsToAllLevels) {
    ViewMode = 1;
    PreviousViewMode = 0;
    ToggleSingleLevel();
    EXPECT_EQ(ViewMode, 4);
    EXPECT_TRUE(shell.menuChecked["mnuLevels(3)"]);
}

} // namespace
