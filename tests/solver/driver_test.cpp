#include "common/run_fixture.h"
#include "model/node_keys.h"
#include "model/text_files.h"
#include "platform/Busy.h"
#include "platform/VBError.h"
#include "solver/balance.h"
#include "solver/certification.h"
#include "solver/driver.h"
#include "solver/fan_curves.h"
#include "solver/meshes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

using namespace testnet;

namespace {

// Surface -> node 1 -> node 2 -> surface through a fan: 50 m³/s at a duty of 500 Pa.
struct FanCircuit {
    int intake, middle, fan;
    FanCircuit() {
        SetLinearFan(1, 1000, 10);
        intake = AddAirway(0, 1, 0.05);
        middle = AddAirway(1, 2, 0.05);
        fan = AddFanAirway(2, 0, 0.1, 1);
    }
};

// A strong exhaust fan at node 2 draws air backwards through a weak fan airway from node 1 to the
// surface (blended stall pressure 150 Pa).
struct StalledFan {
    int intake, link, strong, weak;
    StalledFan() {
        SetLinearFan(1, 100, 1);
        SetLinearFan(2, 3000, 10);
        intake = AddAirway(0, 1, 0.5);
        link = AddAirway(1, 2, 0.01);
        strong = AddFanAirway(2, 0, 0.01, 2);
        weak = AddFanAirway(1, 0, 0.5, 1, 1, false, 50);
    }
};

// Two airways drawn against the flow: one from node 1 out to the surface (flagged as a surface exit)
// that in fact takes air in, and one from node 2 to node 1. The fan at node 2 exhausts.
struct DrawnBackwards {
    int outward, backward, fan, shaft;
    explicit DrawnBackwards(int32_t backwardFlags = 0) {
        SetLinearFan(1, 1000, 10);
        outward = AddAirway(1, 0, 0.05, AirwayFlag::SurfaceExit);
        AirwayStartName(outward) = "N1";
        AirwayEndName(outward) = "TOP";
        backward = AddAirway(2, 1, 0.05, backwardFlags);
        AirwayStartName(backward) = "N2";
        AirwayEndName(backward) = "N1";
        fan = AddFanAirway(2, 0, 0.1, 1);
        shaft = AddAirway(0, 2, 0.2);
    }
};

struct Ends {
    int32_t start[3], end[3];
    std::string startName, endName;
    int32_t flags;
};

Ends endsOf(int a) {
    Ends e{};
    for (int c = 1; c <= 3; ++c) {
        e.start[c - 1] = AirwayStart(c, a);
        e.end[c - 1] = AirwayEnd(c, a);
    }
    e.startName = AirwayStartName(a).str();
    e.endName = AirwayEndName(a).str();
    e.flags = AirwayFlags(a);
    return e;
}

void expectReversed(const Ends &before, int a) {
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(AirwayStart(c, a), before.end[c - 1]);
        EXPECT_EQ(AirwayEnd(c, a), before.start[c - 1]);
    }
    EXPECT_EQ(AirwayStartName(a).str(), before.endName);
    EXPECT_EQ(AirwayEndName(a).str(), before.startName);
    auto keyAt = [](const VBArray<int32_t, 2> &point, int slot) {
        return point(3, slot) >= 0 ? SurfaceNodeKey : NodeKey(point(3, slot), point(2, slot), point(1, slot));
    };
    EXPECT_EQ(AirwayStartKey(a), keyAt(AirwayStart, a));
    EXPECT_EQ(AirwayEndKey(a), keyAt(AirwayEnd, a));
    EXPECT_GT(AirwayFlow(a), 0.0f);
}

} // namespace

TEST_F(SimRunTest, NetworksOfNoneOrOneAirwayAreRefusedWithoutChangingAnything) {
    const struct {
        int airways;
        const char *message;
    } cases[] = {{0, "No data to simulate"}, {1, "Not enough data to simulate"}};
    for (const auto &c : cases) {
        testnet::NewNetwork(20, 5);
        if (c.airways == 1)
            AddAirway(0, 1, 0.1);
        NetworkBalanced = true;
        NetworkSaved = 255;
        Errorlist = {"7\tNo exit from branch"};
        boxes.Expect(VB::vbOK, c.message);
        Simulate();
        EXPECT_EQ(AirwayCount, c.airways);
        EXPECT_EQ(NetworkSaved, 255);
        EXPECT_TRUE(NetworkBalanced);
        EXPECT_EQ(RunState, 0);
        EXPECT_EQ(Errorlist.size(), 1u);
        EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);
    }
    EXPECT_EQ(ui.progressShown, 0);
    EXPECT_TRUE(ui.stages.empty());
    EXPECT_TRUE(boxes.Done());
}

TEST_F(SimRunTest, AFanRunBeyondItsCurveIsAWarningOfABalancedRun) {
    // Surface -> 1 -> 2 -> surface through the fan with little resistance: the fan runs past its last
    // measured point (90 m³/s, 100 Pa), on the straight run to -200 Pa at 100 m³/s.
    SetLinearFan(1, 1000, 10);
    AddAirway(0, 1, 0.001);
    AddAirway(1, 2, 0.001);
    const int fan = AddFanAirway(2, 0, 0.001, 1);
    Simulate();
    // The curve's run still sets the flow: 0.003 Q² = 100 - 30 (Q - 90).
    EXPECT_NEAR(AirwayFlow(SlotOf(fan)), (-30 + std::sqrt(900 + 4 * 0.003 * 2800)) / (2 * 0.003), 0.01);
    EXPECT_EQ(Errorlist, std::vector<std::string>{std::to_string(1000 + fan) + "\tFan beyond its curve"});
    EXPECT_EQ(ErrorLevel, 2);
    EXPECT_EQ(ui.errorWindowCaptions, std::vector<std::string>{"Warning-reversals"});
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_EQ(shell.simCaption, "OK");
}

TEST_F(SimRunTest, AMaxAllowableErrorBelowWhatSingleFlowsHoldIsRaisedForTheRunAndTheWarningsSaySo) {
    // The circuit's 50 m³/s are held in single precision to 2^-18 m³/s: a finer tolerance is raised to it,
    // that one itself is not.
    const float spacing = std::ldexp(1.0f, -18);
    for (const float tolerance : {1e-6f, spacing}) {
        SetUp();
        FanCircuit circuit;
        MaxError = tolerance;
        Simulate();
        EXPECT_TRUE(NetworkBalanced) << tolerance;
        EXPECT_EQ(LinesWith("for this run"),
                  tolerance < spacing ? std::vector<std::string>{"Max Allowable Error raised to " +
                                                                 NumberText(spacing) + " m3/s for this run"}
                                      : std::vector<std::string>{})
            << tolerance;
        EXPECT_EQ(MaxError, tolerance) << "the setting stays as typed";
    }
}

TEST_F(SimRunTest, SurfaceStartAndFixedFlowPressures) {
    const int intake = AddAirway(0, 1, 0.01);
    const int fixed = AddFixedFlow(1, 0, 0.01, 10);
    Simulate();
    const int i = SlotOf(intake), f = SlotOf(fixed);
    EXPECT_NEAR(AirwayStartPressure(i), 0.0, 1e-6);
    EXPECT_NEAR(AirwayEndPressure(i), -1.0, 1e-4);
    // The fixing pressure closes the mesh: 1 Pa through each airway.
    EXPECT_NEAR(AirwayPressure(f), 2.0, 1e-4);
    EXPECT_NEAR(AirwayStartPressure(f), -1.0, 1e-4);
    EXPECT_NEAR(AirwayEndPressure(f), 0.0, 1e-4);
    EXPECT_FLOAT_EQ(AirwayFlow(f), 10.0f);
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_EQ(shell.simCaption, "OK");
    EXPECT_EQ(shell.simColour, 0xFF00);
    EXPECT_EQ(shell.comboColour, 0xC0FFC0);
    EXPECT_EQ(NetworkSaved, 0);
    EXPECT_EQ(RunState, 255);
    EXPECT_EQ(ui.errorClosed, 1);
}

TEST_F(SimRunTest, FanAirwayReportsItsDutyPressureAndJunctionsCloseAtTheSurface) {
    FanCircuit net;
    Simulate();
    const int fan = SlotOf(net.fan);
    EXPECT_NEAR(AirwayFlow(fan), 50.0, 0.01);
    EXPECT_NEAR(AirwayPressure(fan), 1000 - 10 * AirwayFlow(fan), 1e-3);
    EXPECT_NEAR(AirwayEndPressure(SlotOf(net.intake)), -125.0, 0.5);
    EXPECT_NEAR(AirwayEndPressure(SlotOf(net.middle)), -250.0, 1.0);
    EXPECT_NEAR(AirwayEndPressure(fan), 0.0, 1.0);
    EXPECT_EQ(ErrorLevel, 0);
    // A run again stands on the balanced results: certified as they are; after an edit, solved again.
    for (const bool edited : {false, true}) {
        if (edited) {
            RecordUndo(fan, 2, UndoStep);
            RecordUndo(fan, 1, UndoStep);
            ++UndoStep;
        }
        Simulate();
        EXPECT_EQ(LastBalance.newtonSteps + LastBalance.sweeps == 0, !edited) << edited;
        EXPECT_NEAR(AirwayFlow(SlotOf(net.fan)), 50.0, 0.01) << edited;
        EXPECT_EQ(shell.simCaption, "OK") << edited;
    }
}

TEST_F(SimRunTest, FanDrivenBeyondItsCurveReports9999) {
    SetLinearFan(1, 1000, 10); // curve ends at 100 m³/s
    SetLinearFan(2, 5000, 10);
    AddAirway(0, 1, 0.1);
    AddFanAirway(1, 2, 0.01, 2);
    AddAirway(2, 3, 0.1);
    const int weak = AddFanAirway(3, 0, 0.01, 1);
    Simulate();
    EXPECT_GT(AirwayFlow(SlotOf(weak)), 100.0f);
    EXPECT_EQ(AirwayPressure(SlotOf(weak)), 9999.0f);
}

TEST_F(SimRunTest, FanWithReversedFlowIsReportedAndKeepsItsDirection) {
    StalledFan net;
    AirwayIconPosition(net.weak) = 0.3f;
    Simulate();
    const int w = SlotOf(net.weak);
    EXPECT_LT(AirwayFlow(w), -1.0f);
    EXPECT_EQ(AirwayStart(1, w), 10); // still drawn from node 1
    EXPECT_EQ(AirwayEndKey(w), SurfaceNodeKey);
    EXPECT_EQ(AirwayPressure(w), -9999.0f);
    EXPECT_EQ(ErrorLevel, 2);
    EXPECT_EQ(LinesWith("Fan flow reversed"), std::vector<std::string>{"1004\tFan flow reversed"});
    EXPECT_EQ(AirwayComment(w).str(), CommentText("Flow Reversed").str());
    EXPECT_TRUE(AirwayFlags(w) & AirwayFlag::ErrorMark);
    // Junctions use the airway's own stall pressure and the loss of its actual flow direction, so its
    // end meets the surface again.
    EXPECT_NEAR(AirwayEndPressure(w), 0.0, 2.0);
    EXPECT_EQ(ui.errorWindowCaptions, std::vector<std::string>{"Warning-reversals"});
    EXPECT_EQ(shell.simCaption, "OK");
    EXPECT_EQ(UndoStep, 1);
}

TEST_F(SimRunTest, AirwaysDrawnAgainstTheFlowComeOutReversedInOneUndoStep) {
    DrawnBackwards net;
    const Ends outward = endsOf(net.outward), backward = endsOf(net.backward);
    // The edit before the run: one step of its own.
    RecordUndo(net.backward, 2, UndoStep);
    RecordUndo(net.backward, 1, UndoStep);
    ++UndoStep;
    Simulate();
    const int o = SlotOf(net.outward), b = SlotOf(net.backward);
    expectReversed(outward, o);
    expectReversed(backward, b);
    EXPECT_EQ(AirwayStartKey(o), SurfaceNodeKey);
    EXPECT_NE(AirwayEndKey(o), SurfaceNodeKey);
    EXPECT_EQ(AirwayFlags(o) & (AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit),
              AirwayFlag::SurfaceEntry);
    EXPECT_EQ(AirwayStartKey(b), AirwayEndKey(o));
    EXPECT_EQ(LogEntries(),
              (std::vector<std::pair<int, int>>{{1, 2}, {1, 1}, {2, 2}, {2, 1}, {2, 2}, {2, 1}}));
    EXPECT_EQ(UndoStep, 3);
    EXPECT_TRUE(ReversalStepPending);
    EXPECT_EQ(ErrorLevel, 0);
    EXPECT_EQ(shell.simCaption, "OK");
    // The pressures follow the reversed airways.
    EXPECT_NEAR(AirwayStartPressure(b), AirwayEndPressure(o), 1e-3);
}

TEST_F(SimRunTest, FixedDirectionAirwayTurnsOnlyWithConsentAndJoinsTheReversalStep) {
    for (const int answer : {VB::vbYes, VB::vbNo}) {
        SetUp();
        DrawnBackwards net(AirwayFlag::FixedDirection);
        const Ends backward = endsOf(net.backward);
        boxes.Expect(answer, "'FIXED DIRECTION'");
        Simulate();
        const int b = SlotOf(net.backward);
        if (answer == VB::vbYes) {
            expectReversed(backward, b);
            EXPECT_EQ(LogEntries(), (std::vector<std::pair<int, int>>{{1, 2}, {1, 1}, {1, 2}, {1, 1}}));
        } else {
            EXPECT_EQ(AirwayStart(1, b), backward.start[0]);
            EXPECT_LT(AirwayFlow(b), 0.0f);
            EXPECT_EQ(LogEntries(), (std::vector<std::pair<int, int>>{{1, 2}, {1, 1}}));
        }
        EXPECT_EQ(UndoStep, 2);
        EXPECT_TRUE(ReversalStepPending);
        EXPECT_EQ(boxes.Shown().back().title, "Reverse airways");
    }
}

TEST_F(SimRunTest, CancelDuringBalancingLeavesNoResults) {
    StalledFan net;
    for (int a = 1; a <= AirwayCount; ++a) {
        AirwayStartPressure(a) = 123;
        AirwayEndPressure(a) = 456;
        AirwayLinks(1, 1, a) = -5;
    }
    NetworkBalanced = true;
    ui.onPump = [&] {
        if (ui.Reached("Balancing airflows"))
            RunState = 255;
    };
    Simulate();
    EXPECT_EQ(ErrorLevel, 1);
    // The last run's results no longer stand, and the flows the sweeps left are shown as not balanced.
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(shell.simCaption, "NOT BAL");
    EXPECT_EQ(std::count_if(Errorlist.begin(), Errorlist.end(),
                            [](const std::string &line) {
                                // Stopped before any sweep: there is no estimate to give.
                                return line == "Not balanced: the run was stopped, the flow error left "
                                               "cannot be estimated";
                            }),
              1);
    EXPECT_EQ(ui.errorWindowCaptions, std::vector<std::string>{"Sim Fail Error List"});
    EXPECT_EQ(ui.stages.back(), "Simulation Failed !");
    for (int a = 1; a <= AirwayCount; ++a) {
        EXPECT_EQ(AirwayStartPressure(a), 123.0f);
        EXPECT_EQ(AirwayEndPressure(a), 456.0f);
        EXPECT_EQ(AirwayLinks(1, 1, a), -5);
    }
    EXPECT_EQ(UndoSlot, 1);
    EXPECT_FALSE(ui.Reached("Resolving Pressures"));
}

TEST_F(SimRunTest, EditAfterARunThatGaveUpShowsTheResultsOutOfDateUnderAnyStep) {
    StalledFan net;
    ui.onPump = [&] {
        if (ui.Reached("Balancing airflows"))
            RunState = 255;
    };
    const int step = UndoStep;
    auto edit = [&] {
        RecordUndo(net.link, UndoCode::Before, UndoStep);
        AirwayResistance(net.link) *= 2;
        RecordUndo(net.link, UndoCode::After, UndoStep);
        ++UndoStep;
    };
    edit();
    UndoAction();
    ASSERT_EQ(UndoStep, step);
    Simulate();
    ASSERT_EQ(shell.simCaption, "NOT BAL");
    // The new edit has the step number of the undone one, which marked the results out of date before.
    edit();
    EXPECT_EQ(shell.simCaption, "SIM");
}

TEST_F(SimRunTest, CallsDuringARunAreRefusedAndTheRunCompletes) {
    FanCircuit net;
    bool tried = false;
    ui.onPump = [&] {
        EXPECT_TRUE(VB::IsBusy());
        if (tried || !ui.Reached("Balancing airflows"))
            return;
        tried = true;
        const std::size_t stages = ui.stages.size();
        const int count = AirwayCount;
        AnalysisMode = 0;
        Simulate();
        EXPECT_EQ(ui.stages.size(), stages);
        EXPECT_EQ(AirwayCount, count);
        EXPECT_EQ(RunState, 0);
    };
    Simulate();
    EXPECT_TRUE(tried);
    EXPECT_FALSE(VB::IsBusy());
    EXPECT_EQ(ui.progressShown, 1);
    EXPECT_EQ(shell.simCaption, "OK");
}

TEST_F(SimRunTest, StagesAndProgressOfACompleteRun) {
    FanCircuit net;
    Simulate();
    EXPECT_EQ(ui.stages, (std::vector<std::string>{"Checking airways", "Meshing airways",
                                                   "Balancing airflows", "Resolving Pressures"}));
    EXPECT_EQ(ui.progress, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 87, 95, 100}));
    EXPECT_TRUE(ui.balanceLabelsShown);
    EXPECT_FALSE(ui.sweepFigures.empty());
    EXPECT_EQ(ui.progressShown, 1);
    EXPECT_EQ(ui.progressClosed, 1);
    EXPECT_EQ(ui.errorsCleared, 1);
    EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);
}

TEST_F(SimRunTest, TroubleshootingModesMakeNoReversals) {
    const struct {
        int mode;
        const char *message; // closing message, or nothing
    } cases[] = {{1, "There are NO unnecessary bulkheads."},
                 {2, "There were NO unnecessary bulkheads removed."},
                 {3, "There are NO fans that are being restricted by other fans."},
                 {4, nullptr}};
    for (const auto &c : cases) {
        SetUp();
        DrawnBackwards net;
        AirwayFlow(net.backward) = -5; // stale from an earlier run
        const Ends backward = endsOf(net.backward);
        AnalysisMode = c.mode;
        if (c.message)
            boxes.Expect(VB::vbOK, c.message);
        Simulate();
        const int b = SlotOf(net.backward);
        EXPECT_EQ(AirwayStart(1, b), backward.start[0]) << c.mode;
        EXPECT_EQ(UndoSlot, 1) << c.mode;
        EXPECT_FALSE(NetworkBalanced) << c.mode;
        EXPECT_EQ(shell.simCaption, "SIM") << c.mode;
        EXPECT_FALSE(ui.Reached("Balancing airflows")) << c.mode;
        EXPECT_FALSE(ui.Reached("Simulation Failed !")) << c.mode;
        EXPECT_EQ(AnalysisMode, c.mode);
    }
    EXPECT_TRUE(boxes.Done());
}

TEST_F(SimRunTest, NonConvergingModeClosesWithItsMessageWhenAllConverges) {
    FanCircuit net;
    AnalysisMode = -1;
    boxes.Expect(VB::vbOK, "There are NO major convergence problems");
    Simulate();
    EXPECT_EQ(shell.simCaption, "OK");
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(SimRunTest, NonConvergingModeListingReversesWithUndoAndDoesNotShowOK) {
    DrawnBackwards net;
    // A fan whose pressure drops at one flow where the network needs it: neither the whole-network solve
    // nor the sweeps settle on the drop.
    for (int p = 1; p <= 9; ++p)
        FanCurveFlow(p, 1) = 40;
    FanCurveFlow(10, 1) = 50;

    AnalysisMode = -1;
    MaxIterations = 2;
    boxes.Expect(VB::vbNo, "convergence of");
    Simulate();
    EXPECT_FALSE(LinesWith("Converge Error").empty());
    EXPECT_EQ(ErrorLevel, 1);
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwayFan(a) == 0) {
            EXPECT_GE(AirwayFlow(a), 0.0f) << a;
        }
    }
    // Every reversal went into the undo log under one step.
    EXPECT_GT(UndoSlot, 1);
    for (const auto &[step, action] : LogEntries())
        EXPECT_EQ(step, 1);
    EXPECT_EQ(UndoStep, 2);
    EXPECT_NE(shell.simCaption, "OK");
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(ui.errorWindowCaptions, std::vector<std::string>{"Sim Fail Error List"});
}

TEST_F(SimRunTest, AWholeNetworkSolveThatRunsOutOfStepsLeavesItsFlowsToTheSweeps) {
    DrawnBackwards net;
    // The fan's pressure drops at 40 m³/s, where the network needs it: the solve steps about the drop until
    // its steps run out.
    for (int p = 1; p <= 9; ++p)
        FanCurveFlow(p, 1) = 40;
    FanCurveFlow(10, 1) = 50;
    MaxIterations = 1;
    boxes.Expect(VB::vbNo, "convergence of");
    Simulate();
    EXPECT_GE(LastBalance.newtonSteps, 50);
    // One sweep from the solve's flows, at the drop; from the flows the run was given it leaves 20 m³/s.
    EXPECT_NEAR(AirwayFlow(SlotOf(net.fan)), 40, 1);
}

TEST_F(SimRunTest, ABalanceIsSaidToWantMoreSweepsOnlyWhenFewerThanFourRan) {
    for (const int sweeps : {3, 4}) {
        SetUp();
        FanCircuit net;
        SetSteppedFan(1); // no correction beyond the tolerance, yet the flows never settle
        MaxError = 0.05f;
        MaxIterations = sweeps;
        boxes.Expect(VB::vbNo, "convergence of 100%");
        Simulate();
        const std::string said = sweeps < 4
                                     ? "could not be confirmed in 3 sweeps (it takes 4; raise Max Iterations)"
                                     : "Not balanced: the meshes did not converge";
        EXPECT_EQ(LinesWith(said + ", the flow error left cannot be estimated").size(), 1u);
    }
}

TEST_F(SimRunTest, FailedChecksStopTheRunAndShowTheErrors) {
    for (const int mode : {0, 2}) {
        SetUp();
        AddAirway(0, 1, 0.1);
        AddAirway(1, 2, 0.1); // nothing leaves node 2
        NetworkBalanced = true;
        AnalysisMode = mode;
        ShowProgress = 0;
        const std::size_t shown = ui.errorWindowCaptions.size();
        const int closed = ui.errorClosed;
        Simulate();
        EXPECT_EQ(ErrorLevel, 1);
        EXPECT_EQ(LinesWith("No exit from branch").size(), 1u);
        EXPECT_FALSE(NetworkBalanced);
        EXPECT_EQ(shell.simCaption, "SIM");
        EXPECT_EQ(ui.stages.back(), "Simulation Failed !");
        EXPECT_EQ(ui.progressShown, 0);
        // The next run of a caller that sets no mode runs as this one did.
        EXPECT_EQ(AnalysisMode, mode);
        EXPECT_EQ(NetworkSaved, 0);
        if (mode == 0) {
            EXPECT_EQ(ui.errorWindowCaptions, std::vector<std::string>{"Sim Fail Error List"});
        } else {
            // The removal of bulkheads never leaves the error window open.
            EXPECT_EQ(ui.errorWindowCaptions.size(), shown);
            EXPECT_EQ(ui.errorClosed, closed + 1);
        }
    }
}

TEST_F(SimRunTest, FixedQuantitiesThatCannotAllHoldFailTheRunBeforeBalancing) {
    // Junction 1 has only fixed airways: a fixed inflow, a fixed outflow and a bulkhead (fixed at nothing).
    const struct {
        double in, out;
        bool holds;
    } cases[] = {{6, 6, true}, {10, 6, false}};
    for (const auto &c : cases) {
        SetUp();
        AddAirway(0, 2, 0.01);
        const int in = AddFixedFlow(2, 1, 0.01, c.in);
        const int out = AddFixedFlow(1, 3, 0.01, c.out);
        const int bulkhead = AddBulkhead(1, 2);
        AddAirway(3, 0, 0.01);
        AddAirway(2, 3, 0.01);
        Simulate();
        std::vector<std::string> lines = LinesWith("Fixed quantities do not balance");
        if (c.holds) {
            EXPECT_TRUE(lines.empty()) << c.in;
            continue;
        }
        // Each fixed airway at the junction is named (test airways are numbered 1000 + their slot).
        std::sort(lines.begin(), lines.end());
        std::vector<std::string> named;
        for (const int added : {in, out, bulkhead})
            named.push_back(std::to_string(1000 + added) + "\tFixed quantities do not balance");
        EXPECT_EQ(lines, named);
        EXPECT_EQ(ErrorLevel, 1);
        EXPECT_FALSE(NetworkBalanced);
        EXPECT_NE(shell.simCaption, "OK");
        EXPECT_FALSE(ui.Reached("Balancing airflows"));
        EXPECT_EQ(ui.errorWindowCaptions.back(), "Sim Fail Error List");
    }
}

TEST_F(SimRunTest, ARunThatCannotBalanceNamesTheAirwayAndKeepsEveryFigureItStartedFrom) {
    struct Airway {
        int from, to;
        double r;                     // Ns²/m⁸
        float pressure = 0, flow = 0; // Pa of a fixed pressure, m³/s it had
        int32_t flags = 0;
    };
    using AirwayFlag::FixedFlow;
    const struct {
        const char *fault, *caption;
        int named; // the airway the fault names, counted from 0
        std::vector<Airway> airways;
    } cases[] = {
        {"Negative resistance", "SIM", 1, {{0, 1, 0.5}, {1, 0, -0.5}}},
        {"Fixed quantity beyond 9994 m3/s", "SIM", 1, {{0, 1, 0.5}, {1, 0, 0.5, 0, 12000, FixedFlow}}},
        {"Fixed quantity in a bulkhead", "SIM", 1, {{0, 1, 0.5}, {1, 0, 2e9, 0, 25, FixedFlow}}},
        {"Fixed quantity in a bulkhead",
         "SIM",
         1,
         {{0, 1, 0.5}, {1, 0, 1e9, 0, 25, FixedFlow}}}, // the preset
        // 500 Pa round an airway without resistance; 22,000 m³/s would balance them through 1e-6 Ns²/m⁸.
        {"Fixed pressure short-circuited by airways without resistance",
         "SIM",
         1,
         {{1, 0, 0}, {0, 1, 0, 500}}},
        {"Not balanced: the flow ran away beyond 9994 m3/s", "NOT BAL", 1, {{1, 0, 0}, {0, 1, 1e-6, 500}}},
        // Balanced at the 1.4 m³/s it had, a bulkhead of 3e38 Ns²/m⁸ loses twice what a single holds.
        {"Not balanced: the pressure is not a finite number",
         "NOT BAL",
         0,
         {{0, 1, 3e38}, {1, 2, 0, 3e38f, 1.41421356f}, {2, 0, 0, 3e38f, 1.41421356f}}},
        // Two fixed pressures of 2e38 Pa in series against two bulkheads: each airway's pressure is a
        // single, but the junction between the pairs lies 4e38 Pa above the surface.
        {"Not balanced: the pressures add up beyond what a single holds",
         "NOT BAL",
         3,
         {{0, 1, 0, 2e38f, 1.41421356f}, {1, 2, 0, 2e38f, 1.41421356f}, {2, 3, 1e38}, {3, 0, 1e38}}},
    };
    for (const auto &c : cases) {
        SetUp();
        std::map<int32_t, float> flows; // by airway number
        for (const Airway &w : c.airways) {
            const int a = AddAirway(w.from, w.to, w.r, w.flags);
            AirwayFan(a) = w.pressure != 0 ? -1 : 0;
            AirwayPressure(a) = w.pressure;
            flows[AirwayNumber(a)] = AirwayFlow(a) = w.flow;
        }
        Simulate();
        EXPECT_EQ(LinesWith(c.fault),
                  std::vector<std::string>{std::to_string(1001 + c.named) + "\t" + c.fault});
        EXPECT_EQ(shell.simCaption, c.caption) << c.fault;
        EXPECT_FALSE(NetworkBalanced) << c.fault;
        for (int a = 1; a <= AirwayCount; ++a)
            EXPECT_TRUE(AirwayFlow(a) == flows[AirwayNumber(a)] &&
                        std::isfinite(AirwayPressure(a) + AirwayStartPressure(a) + AirwayEndPressure(a)))
                << c.fault << " airway " << AirwayNumber(a) << " " << AirwayFlow(a);
    }
}

TEST_F(SimRunTest, UnexpectedFailureIsReportedAndTheRunClosesDown) {
    FanCircuit net;
    ui.onPump = [&] {
        if (ui.Reached("Meshing airways"))
            throw VBError(VBErr::SubscriptOutOfRange);
    };
    boxes.Expect(VB::vbOK,
                 "Major Simulation error No#9 Occurred\r\nTry increasing your maximum number of Airways");
    Simulate();
    EXPECT_EQ(RunState, 255);
    EXPECT_EQ(ui.progressClosed, 2);
    EXPECT_EQ(shell.simCaption, "SIM");
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);
    EXPECT_FALSE(VB::IsBusy());
    EXPECT_TRUE(boxes.Done());
}

TEST_F(SimRunTest, FixedFlowFanKeepsItsFanPressureInTheJunctions) {
    SetLinearFan(1, 1000, 10);
    const int intake = AddAirway(0, 1, 0.01);
    const int fan = AddFanAirway(1, 0, 0.01, 1);
    AirwayFlags(fan) |= AirwayFlag::FixedFlow;
    AirwayFlow(fan) = 20;
    Simulate();
    const int f = SlotOf(fan);
    // The fan gives 800 Pa at 20 m³/s; the fixing pressure takes away what the 8 Pa of losses leave over.
    EXPECT_NEAR(AirwayPressure(f), -792.0, 1e-2);
    EXPECT_NEAR(AirwayEndPressure(SlotOf(intake)), -4.0, 1e-3);
    EXPECT_NEAR(AirwayStartPressure(f), -4.0, 1e-3);
    EXPECT_NEAR(AirwayEndPressure(f), 0.0, 1e-2);
}

TEST_F(SimRunTest, FixedPressureAirwayKeepsTheTypedPressure) {
    const int intake = AddAirway(0, 1, 0.05);
    const int fixed = AddAirway(1, 0, 0.05);
    AirwayFan(fixed) = -1;
    AirwayPressure(fixed) = 500;
    Simulate();
    const int f = SlotOf(fixed);
    EXPECT_EQ(AirwayPressure(f), 500.0f);
    // 500 Pa drive 0.1 Ns²/m⁸: 70.7 m³/s.
    EXPECT_NEAR(AirwayFlow(f), std::sqrt(500 / 0.1), 0.01);
    EXPECT_NEAR(AirwayEndPressure(SlotOf(intake)), -250.0, 0.5);
    EXPECT_NEAR(AirwayEndPressure(f), 0.0, 0.5);
}

TEST_F(SimRunTest, OneUndoTakesBackTheRunsReversalsWithTheEditBefore) {
    DrawnBackwards net;
    const Ends outward = endsOf(net.outward), backward = endsOf(net.backward);
    RecordUndo(net.backward, 2, UndoStep);
    AirwayName(net.backward) = "Edited";
    RecordUndo(net.backward, 1, UndoStep);
    ++UndoStep;
    Simulate();
    ASSERT_TRUE(ReversalStepPending);
    UndoAction();
    EXPECT_FALSE(ReversalStepPending);
    EXPECT_EQ(UndoStep, 1);
    const int b = SlotOf(net.backward);
    EXPECT_EQ(AirwayName(b).trimmed(), "");
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(AirwayStart(c, b), backward.start[c - 1]);
        EXPECT_EQ(AirwayEnd(c, b), backward.end[c - 1]);
    }
    const int o = SlotOf(net.outward);
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(AirwayStart(c, o), outward.start[c - 1]);
    EXPECT_EQ(AirwayStartName(o).str(), outward.startName);
}

TEST_F(SimRunTest, UndoWithAutomaticSimulationEndsAfterOneEditAndRunsOnce) {
    DrawnBackwards net;
    RecordUndo(net.backward, 2, UndoStep);
    AirwayName(net.backward) = "Edited";
    RecordUndo(net.backward, 1, UndoStep);
    ++UndoStep;
    Simulate();
    AutoSimulate = true;
    // Undo re-simulates once after taking back reversals and edit; the new run's reversals make a new
    // step of their own instead of being undone again.
    UndoAction();
    AutoSimulate = false;
    EXPECT_TRUE(ReversalStepPending);
    EXPECT_EQ(UndoStep, 2);
    EXPECT_EQ(shell.simCaption, "OK");
}

namespace {

// A fan from the surface to node 1 on the rising piece of its curve from (30 m³/s, 500 Pa) to (50, 1500),
// P = 50 Q - 1000, feeding four parallel returns of two airways each back to the surface. A system of
// resistance Rs meets the piece where Rs Q² = 50 Q - 1000; the stable state's net slope 2 Rs Q - 50 is
// 50 √(1 - Rs / 0.625): short of the fold (where the system curve touches the piece at 40 m³/s) by the
// share `shortOfFold` of the fan's rise.
struct FanNearItsFold {
    int fan;
    // m³/s by airway number, worked from the resistances as stored: the stable state, and the unstable one
    // on the other side of the fold.
    std::map<int32_t, double> balanced, unstable;
    explicit FanNearItsFold(double shortOfFold) {
        FanName(1) = "Rising";
        const float flows[] = {10, 20, 30, 50, 60, 70, 80, 90, 100, 110};
        const float pressures[] = {400, 450, 500, 1500, 1600, 1550, 1400, 1100, 700, 200};
        for (int p = 1; p <= 10; ++p) {
            FanCurveFlow(p, 1) = flows[p - 1];
            FanCurvePressure(1, p, 1) = pressures[p - 1];
            FanCurvePressure(2, p, 1) = pressures[p - 1] + 50;
        }
        const double shares[] = {1, 1.5, 2, 3}; // of the returns' resistances
        double conductance = 0;                 // Σ 1/√R of the shares
        for (double s : shares)
            conductance += 1 / std::sqrt(s);
        const double system = 0.625 * (1 - shortOfFold * shortOfFold); // Ns²/m⁸
        const double scale = (system - 0.025) * conductance * conductance;
        fan = AddFanAirway(0, 1, 0.025, 1);
        std::vector<std::array<int, 2>> legs;
        for (int i = 0; i < 4; ++i)
            legs.push_back(
                {AddAirway(1, 2 + i, scale * shares[i] / 2), AddAirway(2 + i, 0, scale * shares[i] / 2)});
        double stored = 0; // Σ 1/√R of the returns as stored
        for (const auto &[first, second] : legs)
            stored += 1 / std::sqrt(double(AirwayResistance(first)) + AirwayResistance(second));
        const double rs = AirwayResistance(fan) + 1 / (stored * stored);
        for (const auto &[state, sign] : {std::pair{&balanced, 1}, std::pair{&unstable, -1}}) {
            const double q = (50 + sign * std::sqrt(2500 - 4000 * rs)) / (2 * rs);
            (*state)[AirwayNumber(fan)] = q;
            for (const auto &[first, second] : legs)
                (*state)[AirwayNumber(first)] = (*state)[AirwayNumber(second)] =
                    q / std::sqrt(double(AirwayResistance(first)) + AirwayResistance(second)) / stored;
        }
    }
};

} // namespace

TEST_F(SimRunTest, AFanNearTheFoldOfItsCurveIsOkOnlyWithinTheToleranceOfItsBalanceOrNamedNotBalanced) {
    int ok = 0, notBalanced = 0;
    for (const double shortOfFold : {0.002, 0.0005})
        for (const float tolerance : {0.05f, 1e-3f})
            for (const int off : {1, 3, 5, 0}) {
                SetUp();
                const FanNearItsFold network(shortOfFold);
                const int32_t fan = AirwayNumber(network.fan);
                // Every flow as the balance has it, the fan's `off` tolerances more; or (0) as the unstable
                // balance beyond the fold has it, where no correction moves them.
                const auto &start = off == 0 ? network.unstable : network.balanced;
                const double q = start.at(fan), scale = (q + off * tolerance) / q;
                for (int a = 1; a <= AirwayCount; ++a)
                    AirwayFlow(a) = static_cast<float>(start.at(AirwayNumber(a)) * scale);
                MaxError = tolerance;
                Simulate();
                const std::string what = std::to_string(shortOfFold) + " short, at " +
                                         std::to_string(tolerance) + ", " + std::to_string(off) + " off";
                const std::string named = std::to_string(fan) + "\t";
                if (NetworkBalanced) {
                    ++ok;
                    for (int a = 1; a <= AirwayCount; ++a)
                        EXPECT_NEAR(AirwayFlow(a), network.balanced.at(AirwayNumber(a)), tolerance)
                            << what << " airway " << AirwayNumber(a);
                    EXPECT_EQ(LinesWith("Fan on a rising part of its curve"),
                              std::vector<std::string>{named + "Fan on a rising part of its curve"})
                        << what;
                } else {
                    ++notBalanced;
                    EXPECT_EQ(LinesWith("near the stall of its curve"),
                              std::vector<std::string>{
                                  named + "Not balanced: the fan works near the stall of its curve"})
                        << what;
                    EXPECT_EQ(shell.simCaption, "NOT BAL") << what;
                }
            }
    EXPECT_EQ(notBalanced, 4) << "the starts at the unstable balance";
    EXPECT_EQ(ok, 12);
    // The true slopes themselves tell the unstable balance: the meshes' matrix of them is not positive
    // definite there, and the fan is named.
    SetUp();
    const FanNearItsFold network(0.002);
    const int32_t fan = AirwayNumber(network.fan);
    CheckFanCurves();
    ASSERT_TRUE(CheckAndMesh());
    BuildFanCurves();
    for (const auto *state : {&network.unstable, &network.balanced}) {
        std::vector<double> flow(AirwayCount + 1, 0.0);
        for (int a = 1; a <= AirwayCount; ++a)
            flow[a] = state->at(AirwayNumber(a));
        const BalanceCertificate c = CertifyBalance(flow);
        EXPECT_EQ(c.stallFan == 0 ? 0 : AirwayNumber(c.stallFan), state == &network.unstable ? fan : 0);
        EXPECT_EQ(c.balanced, state == &network.balanced);
    }
}
