#include "common/RecordingSimulationUi.h"
#include "common/ScriptedDialogs.h"
#include "common/test_network.h"
#include "solver/checks.h"

#include <gtest/gtest.h>

#include <random>

using namespace testnet;

namespace {

using Pair = std::pair<Currency, Currency>;

// The classic insertion sort over slots, written out step by step: the reference for the fast order.
std::vector<int> insertionSortReference(const std::vector<Pair> &pairs) {
    const int n = static_cast<int>(pairs.size());
    std::vector<int> slot(n + 1);
    for (int i = 1; i <= n; ++i)
        slot[i] = i - 1;
    for (int i = 2; i <= n; ++i) {
        if (!(pairs[slot[i - 1]] < pairs[slot[i]]))
            continue;
        const int lifted = slot[i];
        int j = i;
        while (j >= 2 && pairs[lifted] >= pairs[slot[j - 1]]) {
            slot[j] = slot[j - 1];
            --j;
        }
        slot[j] = lifted;
    }
    return std::vector<int>(slot.begin() + 1, slot.end());
}

std::vector<int32_t> numbers() {
    std::vector<int32_t> result;
    for (int a = 1; a <= AirwayCount; ++a)
        result.push_back(AirwayNumber(a));
    return result;
}

} // namespace

TEST(AirwayOrder, MatchesInsertionSortOnRandomPairsWithManyEquals) {
    std::mt19937 random(12345);
    for (int trial = 0; trial < 4000; ++trial) {
        const int n =
            trial < 3900 ? 1 + static_cast<int>(random() % 40) : 300 + static_cast<int>(random() % 300);
        const int range = 1 + static_cast<int>(random() % 4);
        std::vector<Pair> pairs(n);
        for (auto &p : pairs)
            p = {static_cast<Currency>(random() % range), static_cast<Currency>(random() % range)};
        ASSERT_EQ(DescendingPairOrder(pairs), insertionSortReference(pairs)) << "trial " << trial;
    }
}

TEST(SortAirways, PutsPairsInDescendingOrderCarryingTheWholeRecord) {
    NewNetwork();
    const int low = AddAirway(1, 2, 0.5);
    const int high = AddAirway(0, 1, 0.25);
    const int middle = AddAirway(2, 0, 0.75);
    AirwayFlow(high) = 12;
    AirwayName(high) = "Intake";
    AirwayFan(middle) = 3;
    AirwaySmoke(2, low) = 44;
    SortAirways();
    ASSERT_EQ(AirwayCount, 3);
    for (int a = 2; a <= AirwayCount; ++a) {
        const Pair before{AirwayStartKey(a - 1), AirwayEndKey(a - 1)};
        EXPECT_GT(before, Pair(AirwayStartKey(a), AirwayEndKey(a)));
    }
    EXPECT_EQ(numbers(), (std::vector<int32_t>{1000 + high, 1000 + middle, 1000 + low}));
    EXPECT_FLOAT_EQ(AirwayFlow(1), 12);
    EXPECT_EQ(AirwayName(1).trimmed(), "Intake");
    EXPECT_FLOAT_EQ(AirwayResistance(1), 0.25f);
    EXPECT_EQ(AirwayFan(2), 3);
    EXPECT_EQ(AirwaySmoke(2, 3), 44);
    EXPECT_EQ(AirwayStart(1, 3), 10);
    EXPECT_EQ(AirwayEnd(1, 3), 20);
}

TEST(SortAirways, ThreeIdenticalAirwaysLeaveTheSurvivorOfTheInsertionOrder) {
    // With a smaller pair in front, each later duplicate is lifted before the earlier ones, so the first
    // entered ends last and survives; without it they stay in entry order and the last entered survives.
    struct Case {
        bool smallerFirst;
        int survivor; // 1 .. 3: which of the identical airways, in entry order
    };
    for (const Case &c : {Case{true, 1}, Case{false, 3}}) {
        NewNetwork();
        if (c.smallerFirst)
            AddAirway(1, 2, 0.5);
        std::vector<int> identical;
        for (int k = 0; k < 3; ++k)
            identical.push_back(AddAirway(3, 4, 0.5));
        if (!c.smallerFirst)
            AddAirway(1, 2, 0.5);
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbYes, "Duplicate branches exist - delete them ?");
        SortAirways();
        EXPECT_TRUE(boxes.Done());
        ASSERT_EQ(AirwayCount, 2);
        EXPECT_EQ(AirwayNumber(1), 1000 + identical[c.survivor - 1]) << c.smallerFirst;
        EXPECT_EQ(ErrorLevel, 0);
    }
}

TEST(SortAirways, DuplicateSearchModeListsWithoutAskingButStillAsksAboutZeroLength) {
    NewNetwork();
    AnalysisMode = 4;
    AddAirway(0, 1, 0.5);
    AddAirway(1, 2, 0.5);
    AddAirway(1, 2, 0.5);
    const int loop = AddAirway(2, 2, 0.5);
    AddAirway(0, 0, 0.5); // surface to surface: not a zero-length question
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbNo, "Branches with identical start/end points detected - delete them ?");
    SortAirways();
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(boxes.Shown().at(0).title, "Zero length branches");
    EXPECT_EQ(AirwayCount, 5);
    EXPECT_EQ(ErrorLevel, 1);
    ASSERT_EQ(LinesWith("\tDuplicate airway").size(), 1u);
    ASSERT_EQ(LinesWith("\tSame start/end").size(), 1u);
    EXPECT_EQ(LinesWith("\tSame start/end")[0], std::to_string(1000 + loop) + "\tSame start/end");
    CheckNetwork();
    EXPECT_EQ(LinesWith("\tDuplicate branch").size(), 1u);
}

TEST(SortAirways, ZeroLengthAirwaysAreRemovedOnYesAndFewerThanTwoAirwaysAreNotSorted) {
    NewNetwork();
    AddAirway(0, 1, 0.5);
    AddAirway(3, 3, 0.5);
    AddAirway(1, 0, 0.5);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbYes, "identical start/end");
        SortAirways();
        EXPECT_EQ(AirwayCount, 2);
    }
    NewNetwork();
    AddAirway(0, 1, 0.5);
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "No Data to sort");
    SortAirways();
    EXPECT_EQ(boxes.Shown().at(0).icon, VB::vbInformation);
}

TEST(CheckNetwork, ListsEveryMissingExitAndEntryInOneRun) {
    NewNetwork();
    RecordingSimulationUi ui;
    AddAirway(0, 1, 0.5);
    AddAirway(1, 0, 0.5);
    const int deadEnd1 = AddAirway(1, 5, 0.5); // nothing leaves 5
    const int deadEnd2 = AddAirway(1, 6, 0.5); // nothing leaves 6
    const int noEntry1 = AddAirway(8, 1, 0.5); // nothing enters 8
    const int noEntry2 = AddAirway(9, 0, 0.5); // nothing enters 9
    SortAirways();
    CheckNetwork();
    EXPECT_EQ(ErrorLevel, 1);
    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const auto line = [](int a, const char *text) { return std::to_string(1000 + a) + "\t" + text; };
    EXPECT_EQ(sorted(LinesWith("No exit from branch")),
              sorted({line(deadEnd1, "No exit from branch"), line(deadEnd2, "No exit from branch")}));
    EXPECT_EQ(sorted(LinesWith("No entry into branch")),
              sorted({line(noEntry1, "No entry into branch"), line(noEntry2, "No entry into branch")}));
    EXPECT_EQ(ui.errors.size(), 4u);
    for (int a = 1; a <= AirwayCount; ++a) {
        const bool faulty =
            AirwayComment(a).trimmed() == "No Exit" || AirwayComment(a).trimmed() == "No Entry";
        EXPECT_EQ(faulty, (AirwayFlags(a) & AirwayFlag::ErrorMark) != 0) << a;
    }
}

TEST(CheckNetwork, NumbersNodesAndFindsEndNodes) {
    NewNetwork();
    AddAirway(0, 1, 0.5);
    AddAirway(1, 2, 0.5);
    AddAirway(1, 0, 0.5);
    AddAirway(2, 0, 0.5);
    SortAirways();
    CheckNetwork();
    EXPECT_EQ(ErrorLevel, 0);
    EXPECT_EQ(NodeCount, 3);
    for (int a = 1; a <= AirwayCount; ++a)
        for (int b = 1; b <= AirwayCount; ++b) {
            EXPECT_EQ(AirwayStartKey(a) == AirwayStartKey(b), AirwayStartNode(a) == AirwayStartNode(b));
            if (AirwayEndKey(a) == AirwayStartKey(b)) {
                EXPECT_EQ(AirwayEndNode(a), AirwayStartNode(b));
            }
        }
}

TEST(CheckNetwork, SurfaceEndsTouchingOtherAirwaysAreReported) {
    NewNetwork();
    AddAirway(0, 1, 0.5);
    AddAirway(1, 0, 0.5);
    const int entry = AddAirway(0, 2, 0.4, AirwayFlag::SurfaceEntry);
    const int exit = AddAirway(2, 0, 0.4, AirwayFlag::SurfaceExit);
    const int other = AddAirway(1, 2, 0.3);
    AddAirway(2, 1, 0.3);
    // The flagged ends carry the surface key but lie on the end points of another airway.
    for (int c = 1; c <= 3; ++c) {
        AirwayStart(c, entry) = AirwayEnd(c, other);
        AirwayEnd(c, exit) = AirwayEnd(c, other);
    }
    SortAirways();
    CheckNetwork();
    EXPECT_EQ(ErrorLevel, 1);
    EXPECT_EQ(LinesWith("\tAirway into surface entry").size(), 1u);
    EXPECT_EQ(LinesWith("\tAirway into surface exit").size(), 1u);
    EXPECT_EQ(LinesWith("\tAirway into surface entry")[0],
              std::to_string(1000 + entry) + "\tAirway into surface entry");
}

TEST(CheckNetwork, ResetsOnlyFlowsBeyondTheLimit) {
    NewNetwork();
    const float flows[] = {9994.0f, -9994.0f, 9994.5f, -9994.5f};
    const float expected[] = {9994.0f, -9994.0f, 0.0f, 0.0f};
    AddAirway(0, 1, 0.5);
    AddAirway(1, 0, 0.5);
    for (float q : flows)
        AirwayFlow(AddAirway(1, 2, 0.5)) = q;
    // Unsorted, duplicate-free check of the flows alone: give each its own pair.
    for (int k = 0; k < 4; ++k) {
        AirwayStartKey(3 + k) = KeyOf(10 + k);
        AirwayEndKey(3 + k) = KeyOf(0);
    }
    CheckNetwork();
    for (int k = 0; k < 4; ++k)
        EXPECT_FLOAT_EQ(AirwayFlow(3 + k), expected[k]) << k;
}

TEST(CheckNetwork, SurfaceNodeNeedsAnAirwayLeavingAndOneEntering) {
    struct Case {
        bool intake;  // an airway from the surface exists
        bool exhaust; // an airway to the surface exists
        const char *fault;
    };
    for (const Case &c :
         {Case{false, true, "No exit from branch"}, Case{true, false, "No entry into branch"}}) {
        NewNetwork();
        AddAirway(1, 2, 0.5);
        AddAirway(2, 1, 0.5);
        const int surfaceAirway = c.intake ? AddAirway(0, 1, 0.5) : AddAirway(2, 0, 0.5);
        SortAirways();
        CheckNetwork();
        EXPECT_EQ(ErrorLevel, 1);
        ASSERT_EQ(Errorlist.size(), 1u) << c.fault;
        EXPECT_EQ(Errorlist[0], std::to_string(1000 + surfaceAirway) + "\t" + c.fault);
    }
}

TEST(SortAirways, JunctionPressuresAndArrivalTimesMoveWithTheirAirway) {
    NewNetwork();
    AddAirway(1, 2, 0.5);
    AddAirway(0, 1, 0.5);
    AirwayEndPressure(1) = -11;
    AirwaySmokeTime(1) = 7;
    AirwayEndPressure(2) = -22;
    SortAirways();
    EXPECT_EQ(AirwayNumber(1), 1002);
    EXPECT_EQ(AirwayEndPressure(1), -22);
    EXPECT_EQ(AirwayEndPressure(2), -11);
    EXPECT_EQ(AirwaySmokeTime(2), 7);
}
