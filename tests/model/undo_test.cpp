#include "common/RecordingShell.h"
#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/undo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Bit-exact text of every stored field of one airway, for comparing whole networks.
std::string airwayText(int a) {
    std::ostringstream s;
    auto bits = [&](float f) {
        uint32_t u;
        std::memcpy(&u, &f, sizeof u);
        s << u << '|';
    };
    s << AirwayStartName(a).str() << '|' << AirwayEndName(a).str() << '|' << AirwayName(a).str() << '|'
      << AirwayStartKey(a) << '|' << AirwayEndKey(a) << '|';
    for (int c = 1; c <= 3; ++c)
        s << AirwayStart(c, a) << '|' << AirwayEnd(c, a) << '|';
    bits(AirwaySize(1, a));
    bits(AirwaySize(2, a));
    // The layer-visible mark belongs to the display, not to the stored airway.
    s << (AirwayFlags(a) & ~AirwayFlag::LayerVisible) << '|' << AirwayResistanceType(a) << '|'
      << AirwayShockType(a) << '|' << AirwayWallType(a) << '|';
    bits(AirwayFrictionFactor(a));
    bits(AirwayShockLength(a));
    s << AirwayComment(a).str() << '|';
    bits(AirwayResistance(a));
    bits(AirwayFlow(a));
    s << AirwayFan(a) << '|' << AirwayFanCount(a) << '|';
    bits(AirwayLength(a));
    bits(AirwayPressure(a));
    bits(AirwayContaminant(a));
    s << AirwayPrimaryLayer(a) << '|' << AirwaySecondaryLayer(a) << '|';
    bits(AirwayStartPressure(a));
    bits(AirwayEndPressure(a));
    s << AirwayUndoStamp(a) << '|' << AirwayNumber(a) << '|';
    bits(AirwayIconPosition(a));
    s << AirwayStation(a) << '|' << AirwayParallelCount(a) << '|' << AirwayCurvePercent(a) << '|'
      << AirwaySmoke(1, a) << '|' << AirwaySmoke(2, a);
    return s.str();
}

std::vector<std::string> network() {
    std::vector<std::string> all;
    for (int a = 1; a <= AirwayCount; ++a)
        all.push_back(airwayText(a));
    return all;
}

class Undo : public ::testing::Test {
protected:
    TestFolder folder;
    RecordingShell shell;
    ScriptedDialogs unexpected; // any box a test does not script fails it

    void SetUp() override {
        MaxAirways = 200;
        UndoBufferSize = 1000;
        MaxFloatingTexts = 10;
        ReDimNetwork();
        AirwayCount = 0;
        NextAirwayNumber = 0;
        UndoStampCounter = 0;
        AutoSimulate = false;
        ReversalStepPending = false;
        LevelRange(1, 1) = 1000;
        LevelRange(1, 2) = 1000;
        ResetUndoSteps();
        ResetUndoFile();
    }

    // Fills slot a with a level airway 100 m long starting at x + 1000.
    static void fill(int a, int x) {
        AirwayStartName(a) = "N" + std::to_string(x);
        AirwayEndName(a) = "N" + std::to_string(x + 100);
        AirwayName(a) = "Drive " + std::to_string(x);
        AirwayStart(1, a) = x + 1000;
        AirwayEnd(1, a) = x + 1100;
        AirwayStart(2, a) = AirwayEnd(2, a) = 500;
        AirwayStart(3, a) = AirwayEnd(3, a) = 100;
        AirwaySize(1, a) = 4;
        AirwaySize(2, a) = 5.5f;
        AirwayFlags(a) = AirwayFlag::Rectangular;
        AirwayWallType(a) = 4;
        AirwayFrictionFactor(a) = 0.01f;
        AirwayFlow(a) = 12.345678f;
        AirwayPrimaryLayer(a) = 1;
        AirwaySecondaryLayer(a) = 1;
    }

    // The draw tool: a new airway recorded once, then the step is complete.
    static int draw(int x) {
        const int a = ++AirwayCount;
        fill(a, x);
        UpdateNodeKeys();
        RecordUndo(a, UndoCode::After, UndoStep);
        ++UndoStep;
        return a;
    }

    // An edit of one or more airways as one step.
    template <typename F> static void edit(const std::vector<int> &airways, F change) {
        for (int a : airways) {
            RecordUndo(a, UndoCode::Before, UndoStep);
            change(a);
            RecordUndo(a, UndoCode::After, UndoStep);
        }
        ++UndoStep;
    }

    // The delete tool on a fence: every airway recorded before it is cleared, then packed.
    static void remove(const std::vector<int> &airways) {
        for (int a : airways) {
            RecordUndo(a, UndoCode::Before, UndoStep);
            ClearAirway(a);
        }
        PackAirways();
        ++UndoStep;
    }
};

TEST_F(Undo, DrawnAirwayIsRemovedByUndoAndBroughtBackWholeByRedo) {
    draw(0);
    const int a2 = draw(200);
    const auto drawn = network();
    const std::string second = airwayText(a2);

    UndoAction();
    EXPECT_EQ(AirwayCount, 1);
    EXPECT_EQ(network(), std::vector<std::string>(drawn.begin(), drawn.begin() + 1));
    EXPECT_EQ(UndoStep, 2);

    RedoAction();
    EXPECT_EQ(AirwayCount, 2);
    EXPECT_EQ(airwayText(2), second);
    EXPECT_EQ(network(), drawn);
    EXPECT_EQ(UndoStep, 3);
}

TEST_F(Undo, EditIsTakenBackWithOldStampAndRedoneWithNewValues) {
    const int a = draw(0);
    const auto before = network();
    const int32_t oldStamp = AirwayUndoStamp(a);
    edit({a}, [](int b) {
        AirwaySize(1, b) = 7;
        AirwayName(b) = "Renamed";
        AirwayFlow(b) = -3;
    });
    const auto edited = network();
    EXPECT_NE(AirwayUndoStamp(a), oldStamp);

    UndoAction();
    EXPECT_EQ(network(), before);
    EXPECT_EQ(AirwayUndoStamp(1), oldStamp);

    RedoAction();
    EXPECT_EQ(network(), edited);
}

TEST_F(Undo, StartAndEndOfTheLogAreReported) {
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "No more actions to undo");
    UndoAction();
    EXPECT_EQ(UndoStep, 1);

    draw(0);
    boxes.Expect(VB::vbOK, "No more actions available to redo");
    RedoAction();
    EXPECT_EQ(AirwayCount, 1);
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(boxes.Shown().size(), 2u);
}

TEST_F(Undo, OneStepCoversAWholeFenceAction) {
    for (int i = 0; i < 6; ++i)
        draw(i * 1000);
    const auto full = network();
    remove({2, 4, 5});
    ASSERT_EQ(AirwayCount, 3);
    const auto afterDelete = network();

    UndoAction();
    ASSERT_EQ(AirwayCount, 6);
    // Every recorded airway is back unchanged, at its own slot.
    EXPECT_EQ(network(), full);

    RedoAction();
    EXPECT_EQ(network(), afterDelete);
}

TEST_F(Undo, AnAirwayBroughtBackAfterARenumberingNeverRepeatsANumber) {
    draw(0);
    const int b = draw(200);
    draw(400);
    remove({b});
    RenumberAirways(1, true); // 1 and 3 become 1 and 2
    UndoAction();
    ASSERT_EQ(AirwayCount, 3);
    std::vector<int32_t> numbers;
    for (int a = 1; a <= AirwayCount; ++a)
        numbers.push_back(AirwayNumber(a));
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(AirwayName(2).trimmed(), "Drive 200");
    EXPECT_EQ(AirwayNumber(2), 3);
}

TEST_F(Undo, WallAndShockCodesAndLongNamesSurviveUndoAndRedo) {
    const int a = draw(0);
    const std::string forty(40, 'W');
    edit({a}, [&](int b) {
        AirwayWallType(b) = 10;
        AirwayShockType(b) = 6;
        AirwayResistanceType(b) = 10;
        AirwayStartName(b) = forty;
        AirwayEndName(b) = std::string(40, 'E');
        AirwayName(b) = std::string(40, 'N');
        AirwayComment(b) = "checked ok";
        AirwayFrictionFactor(b) = 0.0123457f;
    });
    const auto edited = network();
    edit({a}, [](int b) { AirwayWallType(b) = 3; });

    UndoAction();
    EXPECT_EQ(network(), edited);
    EXPECT_EQ(AirwayWallType(1), 10);
    EXPECT_EQ(AirwayShockType(1), 6);
    EXPECT_EQ(AirwayResistanceType(1), 10);
    EXPECT_EQ(AirwayStartName(1).str(), forty);

    UndoAction();
    RedoAction();
    EXPECT_EQ(network(), edited);
}

TEST_F(Undo, NewEditAfterUndoReplacesTheUndoneStep) {
    draw(0);
    draw(200);
    const int slotOfStep3 = UndoSlot;
    draw(400);
    UndoAction();
    ASSERT_EQ(AirwayCount, 2);

    draw(600);
    EXPECT_EQ(UndoLog(1, slotOfStep3), 3);
    EXPECT_EQ(UndoLog(3, slotOfStep3), AirwayUndoStamp(3));
    EXPECT_EQ(UndoSlot, slotOfStep3 + 1);

    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "No more actions available to redo");
    RedoAction();
    EXPECT_EQ(AirwayCount, 3);
    EXPECT_EQ(AirwayStart(1, 3), 1600);
}

TEST_F(Undo, DrawAndEditInOneStepIsTakenBackTogether) {
    draw(0);
    const auto one = network();
    // A tool that creates an airway and then adjusts it within the same action.
    const int a = ++AirwayCount;
    fill(a, 500);
    UpdateNodeKeys();
    RecordUndo(a, UndoCode::After, UndoStep);
    RecordUndo(a, UndoCode::Before, UndoStep);
    AirwayFlow(a) = 99;
    RecordUndo(a, UndoCode::After, UndoStep);
    ++UndoStep;
    const auto two = network();

    UndoAction();
    EXPECT_EQ(network(), one);
    RedoAction();
    EXPECT_EQ(network(), two);
}

TEST_F(Undo, PendingReversalStepIsUndoneWithTheStepBeforeIt) {
    draw(0);
    const auto one = network();
    draw(300);
    // The solver reverses airway 1 under a step of its own.
    edit({1}, [](int b) {
        std::swap(AirwayStart(1, b), AirwayEnd(1, b));
        AirwayFlow(b) = -AirwayFlow(b);
    });
    ReversalStepPending = true;

    UndoAction();
    EXPECT_FALSE(ReversalStepPending);
    EXPECT_EQ(network(), one);
    EXPECT_EQ(UndoStep, 2);
}

TEST_F(Undo, FullBufferIsReportedOnceAndRecordingGoesOnAtSlotOne) {
    UndoBufferSize = 4;
    ReDimNetwork();
    ResetUndoSteps();
    ResetUndoFile();
    ScriptedDialogs boxes;
    draw(0);
    draw(200);
    draw(400);
    boxes.Expect(VB::vbOK, "Undo buffer full - clearing buffer ...");
    draw(600);
    EXPECT_EQ(UndoSlot, 1);
    draw(800);
    EXPECT_EQ(UndoLog(1, 1), 5);
    EXPECT_EQ(UndoSlot, 2);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    // The newest step is still undone correctly from the wrapped slot.
    UndoAction();
    EXPECT_EQ(AirwayCount, 4);
}

TEST_F(Undo, RecordingMarksResultsOutOfDateOncePerStep) {
    NetworkBalanced = true;
    draw(0);
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(shell.simCaption, "SIM");
    EXPECT_EQ(shell.simColour, 255 + 192 * 256 + 128 * 65536);
    EXPECT_EQ(shell.comboColour, 255 + 255 * 256 + 192 * 65536);
    for (int i = 1; i < 50; ++i)
        draw(200 * i);
    // An edit of every airway as one step, and one more step after results were claimed again.
    const int marked = shell.simLabelSets;
    std::vector<int> all(50);
    std::iota(all.begin(), all.end(), 1);
    edit(all, [](int a) { AirwaySize(1, a) = 3; });
    EXPECT_EQ(shell.simLabelSets, marked + 1);
    NetworkBalanced = true;
    shell.simCaption = "OK";
    edit(all, [](int a) { AirwaySize(1, a) = 2; });
    EXPECT_EQ(shell.simLabelSets, marked + 2);
    EXPECT_EQ(shell.simCaption, "SIM");
    EXPECT_FALSE(NetworkBalanced);
}

TEST_F(Undo, EditOfAFullNetworkIsUndoneWithoutLosingAirways) {
    MaxAirways = 5;
    ReDimNetwork();
    for (int i = 0; i < 5; ++i)
        draw(i * 1000);
    const auto full = network();
    edit({2, 3}, [](int b) { AirwaySize(2, b) = 9; });

    ScriptedDialogs boxes; // no message box may appear
    UndoAction();
    ASSERT_EQ(AirwayCount, 5);
    EXPECT_EQ(network(), full);
}

TEST_F(Undo, StampsBeyondSixteenBitsStillFindTheirAirway) {
    UndoStampCounter = 70000;
    draw(0);
    draw(200);
    const auto two = network();
    edit({1}, [](int b) { AirwayFlow(b) = 1; });
    // An airway whose stamp agrees in the low 16 bits only must not be taken for the edited one.
    AirwayUndoStamp(2) = AirwayUndoStamp(1) - 65536;
    const auto decoy = airwayText(2);

    UndoAction();
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_EQ(airwayText(1), two[0]);
    EXPECT_EQ(airwayText(2), decoy);
}

TEST_F(Undo, RecordsStayInThisProcessAndLeaveSharedTempFilesAlone) {
    folder.Write("undo.dat", "another copy's records");
    ResetUndoFile();
    draw(0);
    UndoAction();
    RedoAction();
    EXPECT_EQ(folder.Read("undo.dat"), "another copy's records");
    EXPECT_EQ(GetTempDir(), folder.path());
}

TEST_F(Undo, AirwayChangedTwiceInOneStepIsRedoneOnce) {
    draw(0);
    draw(300);
    const auto before = network();
    // A move that touches airway 1 at both ends records it twice in the same step.
    RecordUndo(1, UndoCode::Before, UndoStep);
    AirwayStart(2, 1) = 700;
    RecordUndo(1, UndoCode::After, UndoStep);
    RecordUndo(1, UndoCode::Before, UndoStep);
    AirwayEnd(2, 1) = 700;
    RecordUndo(1, UndoCode::After, UndoStep);
    ++UndoStep;
    UpdateNodeKeys();
    const std::string moved = airwayText(1);

    UndoAction();
    EXPECT_EQ(network(), before);

    RedoAction();
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_EQ(airwayText(1), moved);
}

} // namespace
