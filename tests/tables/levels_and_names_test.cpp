#include "common/RealKeys.h"
#include "graphics/locate.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "tables/TableFixture.h"
#include "tables/frmRLBase.h"
#include "tables/frmRange.h"
#include "tables/name_lists.h"

#include <QTest>

#include <functional>
#include <memory>

namespace {

class LevelTableTest : public TableWindowTest<frmRLBase> {
protected:
    void SetUp() override {
        TableWindowTest::SetUp();
        LevelName(1) = "Surface";
        // Level i (2 .. 249) from RL 1000 - 10 i down 5 m.
        for (int level = 2; level <= 249; ++level) {
            LevelName(level) = std::to_string(level);
            LevelName(level).insert(0, 1, 'L');
            LevelRange(level, 1) = 1000 - 10 * level;
            LevelRange(level, 2) = 995 - 10 * level;
        }
    }
    void Open() {
        Show();
        window->GridRL->SetFocus();
    }
    VBGrid &grid() { return *window->GridRL; }
    void Select(int row, int col, int rowSel, int colSel) {
        grid().SetRow(row);
        grid().SetCol(col);
        grid().SetRowSel(rowSel);
        grid().SetColSel(colSel);
    }
};

} // namespace

TEST_F(LevelTableTest, ANamelessLevelShowsNoRangesAndDeleteRemovesRowsOnlyAcrossAllThreeColumns) {
    LevelName(3).clear();
    Open();
    EXPECT_EQ(grid().TextMatrix(3, 2), "");
    EXPECT_EQ(grid().TextMatrix(4, 1), "L4");

    Select(5, 1, 6, 1);
    RealKeys::Click(&grid(), Qt::Key_Delete);
    EXPECT_EQ(grid().TextMatrix(5, 1), "");
    EXPECT_EQ(grid().TextMatrix(6, 1), "");
    EXPECT_EQ(grid().TextMatrix(7, 1), "L7");

    Select(5, 1, 6, 3);
    RealKeys::Click(&grid(), Qt::Key_Delete);
    EXPECT_FALSE(window->TxtEdit->isVisible()); // Delete types nothing into a cell
    EXPECT_EQ(grid().TextMatrix(5, 1), "L7");
    EXPECT_EQ(grid().TextMatrix(247, 1), "L249");
    EXPECT_EQ(grid().TextMatrix(248, 1), "");
    EXPECT_EQ(grid().TextMatrix(249, 2), "");
    EXPECT_TRUE(window->LevelsChanged);
}

TEST_F(LevelTableTest, OkStoresTheLevelsAndResetsTheWindowOfTheShownLevel) {
    shell.scrollValue = 4;
    Open();
    grid().SetTextMatrix(4, 1, "Decline");
    NetworkSaved = 255;
    window->RLOK_Click();
    EXPECT_EQ(LevelName(4), "Decline");
    EXPECT_EQ(RLWindowHigh, 960);
    EXPECT_EQ(RLWindowLow, 955);
    EXPECT_DOUBLE_EQ(LevelElevation, 957.5);
    EXPECT_EQ(shell.levelIndex, 3);
    EXPECT_EQ(NetworkSaved, 0);
}

TEST_F(LevelTableTest, ARefusedHeightKeepsTheTableOpenOnItsCellAndStoresNothing) {
    Open();
    grid().SetTextMatrix(4, 1, "Decline");
    grid().SetTextMatrix(6, 3, "-10000000");
    NetworkSaved = 255;
    boxes.Expect(VB::vbOK, "Exceeds Minimum RL Limits");
    window->RLOK_Click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(std::pair(grid().Row(), grid().Col()), std::pair(6, 3));
    EXPECT_EQ(LevelName(4), "L4");
    EXPECT_EQ(NetworkSaved, 255);
}

TEST_F(LevelTableTest, EscAfterTypingAsksAndNoKeepsTheLevelsWhileSaveStoresEvenUnchanged) {
    VB::SetLocaleDecimalSeparatorOverride(',');
    DecimalSeparator = ',';
    Open();
    // Esc in the edit box drops that cell's edit only; the window stays.
    grid().SetRow(3);
    RealKeys::Type(&grid(), "Y");
    RealKeys::Click(window->TxtEdit, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->TxtEdit->isVisible());
    EXPECT_EQ(grid().TextMatrix(3, 1), "L3");
    // A level name takes no comma and keeps its point.
    grid().SetRow(2);
    RealKeys::Type(&grid(), ",");
    EXPECT_FALSE(window->TxtEdit->isVisible());
    RealKeys::Type(&grid(), "X");
    RealKeys::Type(window->TxtEdit, ",.1\r");
    EXPECT_EQ(grid().TextMatrix(2, 1), "X.1");
    boxes.Expect(VB::vbNo, "Save spreadsheet changes to network ?");
    RealKeys::Click(&grid(), Qt::Key_Escape);
    EXPECT_EQ(LevelName(2), "L2");
    EXPECT_FALSE(window->isVisible());

    Open();
    LevelName(2) = "Changed behind the window";
    window->mnuSave_Click();
    EXPECT_EQ(LevelName(2), "L2");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(LevelTableTest, EveryWayOutAfterAnEditAsksAndCancelThereKeepsTheWindowWithItsEdits) {
    const struct {
        const char *way;
        std::function<void(frmRLBase &)> leave;
    } ways[] = {
        {"File > Exit", [](frmRLBase &w) { w.MenuItem("mnuExit")->trigger(); }},
        {"Esc", [](frmRLBase &w) { RealKeys::Click(w.GridRL, Qt::Key_Escape); }},
        {"close box", [](frmRLBase &w) { w.close(); }},
    };
    for (const auto &way : ways) {
        Open();
        grid().SetRow(2);
        RealKeys::Type(&grid(), "X");
        RealKeys::Type(window->TxtEdit, "\r");
        boxes.Expect(VB::vbCancel, "Save spreadsheet changes to network ?");
        way.leave(*window);
        ASSERT_FALSE(boxes.Shown().empty()) << way.way;
        EXPECT_EQ(boxes.Shown().back().buttonSet, VB::vbYesNoCancel) << way.way;
        EXPECT_TRUE(window->isVisible()) << way.way;
        EXPECT_EQ(grid().TextMatrix(2, 1), "X") << way.way;
        EXPECT_EQ(LevelName(2), "L2") << way.way;
        boxes.Expect(VB::vbNo, "Save spreadsheet changes to network ?");
        way.leave(*window);
        EXPECT_FALSE(window->isVisible()) << way.way;
        EXPECT_EQ(LevelName(2), "L2") << way.way;
        EXPECT_TRUE(boxes.Done()) << way.way;
    }
}

TEST_F(LevelTableTest, TheRangeRunsFromTheTopOfOneLevelToTheBottomOfTheOtherInEitherOrder) {
    LevelRange(2, 1) = 500;
    LevelRange(3, 2) = 300;
    LevelRange(4, 1) = 300;
    LevelRange(5, 2) = 480;
    struct Case {
        int from, to;
        int32_t low, high;
        float working;
    };
    for (const Case &c : {Case{2, 3, 300, 500, 300}, Case{4, 5, 300, 480, 480}}) {
        frmRange range;
        range.Form_Load();
        range.CmbRL1->SetListIndex(c.from - 1);
        range.CmbRL2->SetListIndex(c.to - 1);
        range.Command1_Click();
        EXPECT_EQ(RLWindowLow, c.low) << c.from;
        EXPECT_EQ(RLWindowHigh, c.high) << c.from;
        EXPECT_EQ(WorkingElevation, c.working) << c.from;
    }
    frmRange range;
    range.Form_Load();
    range.CmbRL1->SetListIndex(8);
    range.Command2_Click();
    EXPECT_EQ(RLWindowHigh, 480);
    // OK with no level chosen in one list changes nothing either.
    range.CmbRL2->SetListIndex(-1);
    range.Command1_Click();
    EXPECT_EQ(RLWindowHigh, 480);
    EXPECT_EQ(WorkingElevation, 480);
}

TEST_F(ModelTest, NameListsHoldEachTrimmedNameOnceAndAClickFindsItsAirways) {
    ScriptedDialogs boxes;
    LevelName(2) = "Main level"; // the level the found airways lie on
    LevelRange(2, 1) = 200;
    LevelRange(2, 2) = 0;
    EXPECT_TRUE(DistinctNames(4).empty());
    const char *names[] = {"Main", "Main", " Main", "MAIN", "", "Decline"};
    for (const char *name : names) {
        const int a = AddAirway(AirwayCount * 100, 0, 100, AirwayCount * 100 + 50, 0, 100);
        AirwayName(a) = name;
        std::string node = "N";
        node += name;
        AirwayStartName(a) = node;
    }
    AirwayEndName(6) = "Exit only";
    EXPECT_EQ(DistinctNames(4), (std::vector<std::string>{"Decline", "Main", "MAIN"}));
    EXPECT_EQ(AirwayName(3).trimmed(), "Main");

    frmListAirNodes nodes;
    nodes.Form_Load();
    EXPECT_EQ(nodes.List1->ListCount(), 5);
    for (int i = 0; i < nodes.List1->ListCount(); ++i)
        EXPECT_NE(nodes.List1->List(i), "Exit only");

    frmListAirNames branches;
    branches.Form_Load();
    SearchPosition = 0;
    branches.List1->SetListIndex(0); // "Decline"
    EXPECT_EQ(SearchText, "DECLINE");
    EXPECT_EQ(SearchKind, 4);
    EXPECT_EQ(SearchPosition, 7);
}
