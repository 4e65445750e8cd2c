#include "EditFixture.h"

#include "graphics/locate.h"

namespace {

class Locate : public EditTest {
protected:
    void SetUp() override {
        EditTest::SetUp();
        const char *const names[] = {"Main", "Drive A", "Shaft", "DRIVE b", "old drive"};
        for (int i = 0; i < 5; ++i)
            AirwayName(Drive(-400 + 160 * i, 0, -300 + 160 * i, 0)) = names[i];
        AirwayEndName(3) = "n7";
        AirwayStartName(5) = "N7 East";
        LevelName(2) = "Level 1";
        LevelRange(2, 1) = 200;
        LevelRange(2, 2) = 0;
        shell.scrollMin = 1;
        shell.scrollMax = 2;
        Ready();
        SearchKind = SearchPosition = 0;
    }
    // Where the last search landed: the slot before the next start.
    static int Found() { return SearchPosition - 1; }
};

TEST_F(Locate, ANameSearchVisitsEveryMatchInSlotOrderThenWraps) {
    boxes.ExpectInput("drive");
    LocateByName(4, 0);
    std::vector<int> found{Found()};
    for (int i = 0; i < 3; ++i) {
        FindNextBranch();
        found.push_back(Found());
    }
    EXPECT_EQ(found, (std::vector<int>{2, 4, 5, 2}));
    EXPECT_EQ(SearchText, "DRIVE");
    // The view is centred on the airway found.
    EXPECT_EQ(AirwayStart(1, 0), -190);
    EXPECT_EQ(PanX, -190);

    // A node name matches at either end; nothing found keeps the position.
    boxes.ExpectInput("n7");
    LocateByName(5, 0);
    EXPECT_EQ(Found(), 3);
    FindNextBranch();
    EXPECT_EQ(Found(), 5);
    boxes.ExpectInput("zzz").Expect(VB::vbOK, "No branches to find!");
    LocateByName(4, 0);
    EXPECT_EQ(Found(), 5);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(Locate, AnAirwayBelowEveryLevelAddsOneGlobalLevelAndAHiddenLayerIsShown) {
    AirwayStart(3, 4) = AirwayEnd(3, 4) = -500;
    AirwayPrimaryLayer(4) = 5;
    PrimaryLayerVisible(5) = false;
    Ready();
    const std::vector<int> hidden = Visible();
    ASSERT_EQ(std::count(hidden.begin(), hidden.end(), 4), 0);
    boxes.Expect(VB::vbOK, "Could not find a valid defined display level the airway was on!");
    LocateByName(3, 4);
    EXPECT_EQ(Found(), 4);
    EXPECT_EQ(shell.scrollMax, 3);
    EXPECT_EQ(shell.scrollValue, 3);
    EXPECT_EQ(shell.levelList, std::vector<std::string>{"Global Level"});
    EXPECT_EQ(LevelName(3), "Global Level");
    EXPECT_EQ(LevelRange(3, 1), 100);
    EXPECT_EQ(LevelRange(3, 2), -500);
    EXPECT_EQ(RLWindowLow, -500);
    EXPECT_TRUE(PrimaryLayerVisible(5));
    const std::vector<int> shown = Visible();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), 4), 1);
    EXPECT_TRUE(boxes.Done());
}

} // namespace
