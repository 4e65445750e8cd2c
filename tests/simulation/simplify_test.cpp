#include "common/run_fixture.h"
#include "simulation/simplify.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <cstdlib>
#include <string>

using namespace testnet;

namespace {

class Simplify : public SimRunTest {
protected:
    SimplifyFilter filter;

    // An underground airway from node to node (10 m apart per node number, on one line) carrying 5 m³/s,
    // its resistance computed from its geometry.
    static int Drive(int from, int to, float flow = 5) {
        const int a = AddAirway(from, to, 0.1);
        AirwayResistanceType(a) = 0;
        AirwayLength(a) = 10.0f * static_cast<float>(std::abs(to - from));
        AirwayFlow(a) = flow;
        return a;
    }
    static int SlotNamed(const std::string &name) {
        for (int a = 1; a <= AirwayCount; ++a)
            if (AirwayName(a).trimmed() == name)
                return a;
        return 0;
    }
    // The run, with its message: the reduction and the joins left to keep resistances (none: no line).
    int Run(int expectedRemoved, int expectedLeft = 0) {
        const std::string reduced =
            "The network size was reduced by " + std::to_string(expectedRemoved) + " airways";
        boxes.Expect(VB::vbOK, expectedLeft == 0 ? reduced
                                                 : reduced + "\r\n" + std::to_string(expectedLeft) +
                                                       " joins were left to keep");
        const int removed = SimplifyNetwork(filter);
        EXPECT_TRUE(boxes.Done());
        EXPECT_EQ(expectedLeft == 0,
                  boxes.Shown().back().prompt.find("joins were left") == std::string::npos);
        for (int a = 1; a <= AirwayCount; ++a)
            EXPECT_NE(AirwayStartKey(a), -9999 * CurrencyScale) << "no marker stays";
        return removed;
    }
};

} // namespace

TEST_F(Simplify, AStraightChainBecomesOneAirwayThatOneUndoSplitsAgain) {
    AirwayName(Drive(1, 2)) = "First";
    AirwayName(Drive(2, 3)) = "Second";
    AirwayName(Drive(3, 4)) = "Third";
    const int step = UndoStep;
    EXPECT_EQ(Run(2), 2);
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayName(1).trimmed(), "First");
    EXPECT_EQ(AirwayStart(1, 1), 10);
    EXPECT_EQ(AirwayEnd(1, 1), 40);
    EXPECT_EQ(AirwayLength(1), 10) << "the first airway's length until it is recomputed";
    EXPECT_EQ(UndoStep, step + 1);
    UndoAction();
    EXPECT_EQ(AirwayCount, 3);
    EXPECT_NE(SlotNamed("Second"), 0);
    EXPECT_EQ(AirwayEnd(1, SlotNamed("First")), 20);
}

TEST_F(Simplify, CombinedLengthsAreAddedAndFixed) {
    Drive(1, 2);
    Drive(2, 4);
    filter.combineLengths = true;
    Run(1);
    EXPECT_EQ(AirwayLength(1), 30);
    EXPECT_NE(AirwayFlags(1) & AirwayFlag::FixedLength, 0);
}

TEST_F(Simplify, FansFixedQuantitiesSurfaceEndsJunctionsRingsAndUnselectedAirwaysStopAChain) {
    const struct {
        const char *what;
        void (*build)();
        int removed;
        int left = 0; // joins left to keep a resistance, a fan or a fixed flow or pressure
    } cases[] = {
        {"nothing in series",
         [] {
             Drive(1, 2);
             Drive(5, 6);
         },
         0},
        {"a fan",
         [] {
             Drive(1, 2);
             AirwayFan(Drive(2, 3)) = 1;
         },
         0, 1},
        {"a fixed pressure downstream",
         [] {
             Drive(1, 2);
             AirwayFan(Drive(2, 3)) = -1;
         },
         0, 1},
        {"a fixed quantity downstream",
         [] {
             Drive(1, 2);
             AirwayFlags(Drive(2, 3)) |= AirwayFlag::FixedFlow;
         },
         0, 1},
        {"a door downstream",
         [] {
             Drive(1, 2);
             AirwayResistanceType(Drive(2, 3)) = 2;
         },
         0, 1},
        {"a bulkhead downstream",
         [] {
             Drive(1, 2);
             AirwayResistanceType(Drive(2, 3)) = 1;
         },
         0, 1},
        {"a fixed resistance downstream",
         [] {
             Drive(1, 2);
             AirwayResistanceType(Drive(2, 3)) = TypedPreset;
         },
         0, 1},
        {"a fixed resistance upstream",
         [] {
             AirwayResistanceType(Drive(1, 2)) = TypedPreset;
             Drive(2, 3);
         },
         0, 1},
        {"a fixed length, the lengths not combined",
         [] {
             AirwayFlags(Drive(1, 2)) |= AirwayFlag::FixedLength;
             Drive(2, 3);
         },
         0, 1},
        {"a door upstream, extended",
         [] {
             AirwayResistanceType(Drive(1, 2)) = 2;
             Drive(2, 3);
         },
         1},
        {"a door upstream, its preset replacing the computed resistance",
         [] {
             PresetResistanceReplaces = 1;
             AirwayResistanceType(Drive(1, 2)) = 2;
             Drive(2, 3);
         },
         0, 1},
        {"a surface end",
         [] {
             Drive(1, 2);
             Drive(2, 0);
         },
         0},
        {"a junction",
         [] {
             Drive(1, 2);
             Drive(2, 3);
             Drive(2, 4);
         },
         0},
        {"a two-airway ring",
         [] {
             Drive(1, 2);
             Drive(2, 1);
         },
         0},
        {"a bend beyond the angle",
         [] {
             Drive(1, 2);
             AirwayEnd(2, Drive(2, 3)) = 50;
         },
         0},
        {"an unselected second airway",
         [] {
             AirwayFlags(Drive(1, 2)) |= AirwayFlag::Selected;
             Drive(2, 3);
         },
         0},
        {"a selected chain",
         [] {
             AirwayFlags(Drive(1, 2)) |= AirwayFlag::Selected;
             AirwayFlags(Drive(2, 3)) |= AirwayFlag::Selected;
         },
         1},
    };
    filter.selectedOnly = false;
    for (const auto &c : cases) {
        NewNetwork(200, 20);
        PresetResistanceReplaces = 0;
        c.build();
        const int before = AirwayCount;
        const int step = UndoStep;
        filter.selectedOnly = std::string(c.what).find("selected") != std::string::npos;
        EXPECT_EQ(Run(c.removed, c.left), c.removed) << c.what;
        EXPECT_EQ(AirwayCount, before - c.removed) << c.what;
        EXPECT_EQ(UndoStep, step + (c.removed > 0 ? 1 : 0)) << c.what;
    }
}

TEST_F(Simplify, ZeroFlowAirwaysGoOnlyFromCurrentResults) {
    for (const bool balanced : {true, false}) {
        NewNetwork(200, 20);
        Drive(1, 2, 0);
        Drive(5, 6, 3);
        NetworkBalanced = balanced;
        filter.removeZeroFlow = true;
        const int step = UndoStep;
        if (balanced) {
            Run(1);
            ASSERT_EQ(AirwayCount, 1);
            EXPECT_EQ(AirwayFlow(1), 3);
            EXPECT_EQ(UndoStep, step + 1);
            UndoAction();
            EXPECT_EQ(AirwayCount, 2);
        } else {
            boxes.Expect(VB::vbOK, "Zero flow airways not removed - network not balanced");
            EXPECT_EQ(SimplifyNetwork(filter), 0);
            EXPECT_EQ(AirwayCount, 2);
            EXPECT_EQ(UndoStep, step);
        }
    }
}

TEST_F(Simplify, TheWindowRunsWithItsBarsAndBoxes) {
    frmSimplify window;
    EXPECT_EQ(window.TxtL->text(), "200");
    EXPECT_EQ(window.TxtA->text(), "15");
    window.HSA->setValue(0);
    EXPECT_EQ(window.TxtA->text(), "0");
    EXPECT_EQ(window.CheckR->toolTip(), "Airways with preset resistance will not be filtered");
    AirwayResistanceType(Drive(1, 2)) = 1;
    Drive(2, 3);
    // Ticked, the box keeps the bulkhead out of the chain.
    window.CheckR->click();
    ASSERT_TRUE(window.CheckR->isChecked());
    boxes.Expect(VB::vbOK, "reduced by 0 airways");
    window.CmdSimp->click();
    EXPECT_EQ(AirwayCount, 2);
    window.CheckR->click();
    boxes.Expect(VB::vbOK, "reduced by 1 airways");
    window.CmdSimp->click();
    EXPECT_EQ(AirwayCount, 1);
}

TEST_F(Simplify, AJoinNeverLeavesTwoAirwaysBetweenTheSameNodes) {
    // Without the refusal 1-2-3 would become a second airway from 1 to 3, which the network check refuses.
    for (const bool reversed : {false, true}) {
        NewNetwork(200, 20);
        Drive(1, 2);
        Drive(2, 3);
        reversed ? Drive(3, 1) : Drive(1, 3);
        Run(0);
        EXPECT_EQ(AirwayCount, 3) << reversed;
    }
}
