#include "solver/driver.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "model/text_files.h"
#include "model/undo.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBError.h"
#include "solver/balance.h"
#include "solver/checks.h"
#include "solver/fan_curves.h"
#include "solver/meshes.h"
#include "solver/pressures.h"
#include "solver/simulation_ui.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int ArrowHourglass = 13; // screen pointer for the whole run
// The status of a run whose balancing gave up: red, apart from the green of balanced results and the
// orange of results out of date (&HBBGGRR).
constexpr int32_t NotBalancedColour = 0x6060FF;

// Set by a run whose balancing ended without converging (No to the question, or a stop): its flows are
// not the network's.
bool balancingGaveUp = false;
// The last run ended balanced and nothing has changed the network since, as the run found it at its start.
bool resultsStood = false;

void majorError(int number) {
    StatusText = "Major Simulation error No#" + std::to_string(number) + " Occurred\r\n" +
                 "Try increasing your maximum number of Airways\r\n" +
                 "under the <DEFAULTS><Simulation> menu";
    VB::MsgBox(StatusText, VB::vbExclamation);
}

// A stage ended the run early: the finish step, which only marks the progress window when the run failed.
void stopRun() {
    ReverseNegativeFlows(false);
}

bool stopped() {
    return RunState == 255;
}

// A flow (m³/s) with at least two significant figures and two decimals.
std::string flowText(double q) {
    const int decimals = q > 0 && q < 0.1 ? 1 - static_cast<int>(std::floor(std::log10(q))) : 2;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f m3/s", decimals, q);
    return text;
}

// Set by a run that reached the balancing: its certificate is this run's.
bool balancingRan = false;

// Set by a run whose flows or pressures ran away: the line naming the airway says why it is not balanced.
bool ranAway = false;

// A warning line without an airway: the run goes on, and the error window shows it.
void warn(const std::string &line) {
    Errorlist.push_back(line);
    SimUi().ErrorAdded(line);
    if (ErrorLevel == 0)
        ErrorLevel = 2;
}

// Flows whose balancing gave up stand for the pressure stages but are no results: one line of the warning
// list says how far off they may be, the error window shows it and the status shows them as not balanced.
// A run whose figures ran away has named its airway instead.
void reportNotBalanced() {
    // A fan at or near the fold of its curve holds no stable state there: its line says why.
    if (const int fan = LastBalance.certificate.stallFan; fan != 0 && !stopped() && !ranAway) {
        AddErrorLine(fan, "Not balanced: the fan works near the stall of its curve");
        AirwayComment(fan) = "Near Stall";
        AirwayFlags(fan) |= AirwayFlag::ErrorMark;
        ErrorLevel = 1;
        SimUi().SetSimLabel("NOT BAL", NotBalancedColour);
        RunOutcomeShown();
        return;
    }
    std::string line = "Not balanced: ";
    const int meshes = LastBalance.unsettledMeshes;
    const int sweeps = LastBalance.sweeps;
    if (stopped())
        line += "the run was stopped";
    else if (meshes > 0)
        line += std::to_string(meshes) + (meshes == 1 ? " mesh" : " meshes") + " did not converge";
    else if (sweeps < SweepsToConfirm)
        line += "the balance could not be confirmed in " + std::to_string(sweeps) +
                (sweeps == 1 ? " sweep" : " sweeps") + " (it takes " + std::to_string(SweepsToConfirm) +
                "; raise Max Iterations)";
    else
        line += "the meshes did not converge";
    if (std::isfinite(LastBalance.flowErrorLeft))
        line += ", flows may be off by an estimated " + flowText(LastBalance.flowErrorLeft);
    else
        line += ", the flow error left cannot be estimated";
    if (!ranAway)
        warn(line);
    ErrorLevel = 1;
    SimUi().SetSimLabel("NOT BAL", NotBalancedColour);
    RunOutcomeShown();
}

// What the balancing starts from, per airway slot: flows (m³/s) and pressures (Pa).
struct StartFigures {
    std::vector<float> flow, pressure;
    StartFigures() {
        for (int a = 0; a <= AirwayCount; ++a) {
            flow.push_back(AirwayFlow(a));
            pressure.push_back(AirwayPressure(a));
        }
    }
};

// The run's figures ran away at airway a (why: `cause`): nothing of them is kept, the flows and pressures
// the run started from are put back, and the run ends not balanced with the airway named.
void runAway(int a, const std::string &cause, const StartFigures &start) {
    for (int b = 1; b <= AirwayCount; ++b) {
        AirwayFlow(b) = start.flow[static_cast<std::size_t>(b)];
        AirwayPressure(b) = start.pressure[static_cast<std::size_t>(b)];
    }
    AddErrorLine(a, "Not balanced: " + cause);
    AirwayComment(a) = "Ran away";
    AirwayFlags(a) |= AirwayFlag::ErrorMark;
    ErrorLevel = 1;
    ranAway = true;
    balancingGaveUp = true;
}

// The balancing ran at a Max Allowable Error it raised to what single-precision flows hold: the warning
// list says so.
void reportRaisedTolerance() {
    const BalanceCertificate &c = LastBalance.certificate;
    if (c.toleranceRaised)
        warn("Max Allowable Error raised to " + NumberText(static_cast<float>(c.tolerance)) +
             " m3/s for this run");
}

// Fans balanced on a rising part of their curve: a small change of the network may move them to its
// stall, so each gets a warning line.
void listRisingFans() {
    for (const int a : LastBalance.certificate.risingFans) {
        if (AirwayFlags(a) & AirwayFlag::ErrorMark)
            continue;
        AddErrorLine(a, "Fan on a rising part of its curve");
        AirwayComment(a) = "Rising Curve";
        AirwayFlags(a) |= AirwayFlag::ErrorMark;
        if (ErrorLevel == 0)
            ErrorLevel = 2;
    }
}

} // namespace

void RunSimulation() {
    balancingGaveUp = false;
    balancingRan = false;
    ranAway = false;
    SimUi().HideErrorWindow();
    SimUi().SetSweepFigures("", "");
    SimUi().SetProgressBar(0);
    SimUi().SetStage("Checking airways");
    SimUi().PumpEvents();

    UpdateNodeKeys();
    SetProgress(10);
    SortAirways();
    SetProgress(20);
    CheckNetwork();
    SetProgress(30);
    if (stopped())
        return stopRun();
    if (ErrorLevel == 1) {
        AnalysisMode = 1;
        return stopRun();
    }

    OrderAirwaysForMeshing();
    SetProgress(40);
    if (stopped())
        return stopRun();
    SimUi().SetStage("Meshing airways");
    FormMeshes();
    SetProgress(50);
    if (stopped())
        return stopRun();
    if (ErrorLevel == 0) {
        if (AnalysisMode == 1)
            VB::MsgBox("There are NO unnecessary bulkheads.");
        else if (AnalysisMode == 2)
            VB::MsgBox("There were NO unnecessary bulkheads removed.");
        else if (AnalysisMode == 3)
            VB::MsgBox("There are NO fans that are being restricted by other fans.");
    }
    if (ErrorLevel == 1 || AnalysisMode > 0)
        return stopRun();

    BuildFanCurves();
    SetProgress(60);
    // A fan the tables cannot hold is an error of this stage: balancing without its pressure would give
    // flows that look valid.
    if (stopped() || ErrorLevel == 1)
        return stopRun();
    SimUi().SetStage("Balancing airflows");
    const StartFigures start;
    BalanceAirflows(resultsStood);
    balancingGaveUp = !LastBalance.converged;
    balancingRan = true;
    if (LastBalance.runawayAirway != 0)
        runAway(LastBalance.runawayAirway, "the flow ran away beyond 9994 m3/s", start);
    SetProgress(70);
    if (stopped() || ranAway)
        return stopRun();

    FixedMeshPressures();
    SetProgress(80);
    if (stopped())
        return stopRun();
    AirwaySourcePressures();
    for (int a = 1; a <= AirwayCount && !ranAway; ++a)
        if (!std::isfinite(AirwayPressure(a)))
            runAway(a, "the pressure is not a finite number", start);
    // Each finite, the pressures could still add up along a path to a junction pressure no single holds.
    if (const int a = ranAway ? 0 : PressuresBeyondSingle(); a != 0)
        runAway(a, "the pressures add up beyond what a single holds", start);
    if (ranAway)
        return stopRun();
    SimUi().SetStage("Resolving Pressures");
    SimUi().PumpEvents();
    ReverseNegativeFlows(true);
    SetProgress(87);
    if (stopped())
        return;
    ResolvePressures();
    if (stopped())
        return;
    ReverseFixedDirection();
    BuildConnections();
    SetProgress(100);

    if (ErrorLevel == 0 && AnalysisMode == -1 && !balancingGaveUp)
        VB::MsgBox("There are NO major convergence problems");
    // Stopped, failed, not balanced or still listing non-converging airways: the results are not valid.
    if (stopped() || ErrorLevel == 1 || balancingGaveUp)
        return;
    // Balanced, but a fan on a rising part of its curve, or run off its measured curve, gives figures to
    // check.
    listRisingFans();
    ListFanDutyWarnings();
    NetworkBalanced = true;
    SimUi().SetSimLabel("OK", 0xFF00);
    SimUi().SetDataCombosBackColour(0xC0FFC0);
    RunOutcomeShown();
}

void Simulate() {
    VB::BusyScope busy;
    if (!busy.Acquired())
        return;
    MeshingFinding = 0;
    ReversalStepPending = false;
    RunState = 0;
    if (AirwayCount == 0) {
        VB::MsgBox("No data to simulate", VB::vbExclamation);
        return;
    }
    if (AirwayCount == 1) {
        VB::MsgBox("Not enough data to simulate", VB::vbExclamation);
        return;
    }
    // Until this run ends balanced the last run's results no longer stand, whichever way it ends.
    resultsStood = NetworkBalanced;
    MarkResultsStale();
    const int pointer = VB::ScreenPointer();
    VB::SetScreenPointer(ArrowHourglass);
    // A run that fails its checks goes on as the bulkhead search; the caller's mode stays for the next
    // run of callers that set none (spreadsheet, realtime input, undo).
    const int callerMode = AnalysisMode;
    int failure = 0;
    try {
        CheckFanCurves();
        ErrorLevel = 0;
        Errorlist.clear();
        SimUi().ClearErrorList();
        if (ShowProgress == 1)
            SimUi().ShowProgressWindow();
        RunSimulation();
        // After the pressure stages, whose undo records mark the results out of date.
        if (balancingGaveUp)
            reportNotBalanced();
        if (balancingRan)
            reportRaisedTolerance();
    } catch (const VBError &e) {
        failure = e.number;
    } catch (const std::bad_alloc &) {
        failure = 7;
    } catch (const std::length_error &) {
        failure = 7;
    } catch (const std::out_of_range &) {
        failure = VBErr::SubscriptOutOfRange;
    } catch (const std::exception &) {
        failure = 5;
    }
    if (failure != 0) {
        majorError(failure);
        stopRun();
        SimUi().CloseProgressWindow();
        VB::SetScreenPointer(pointer);
        SimUi().SetVisibleAirways();
        SimUi().RotateView();
        SimUi().Redraw();
    }

    RunState = 255;
    SimUi().CloseProgressWindow();
    SimUi().SetVisibleAirways();
    SimUi().RotateView();
    SimUi().RedrawAll();
    if (ErrorLevel == 0 || callerMode == 2)
        SimUi().CloseErrorWindow();
    else
        SimUi().ShowErrorWindow(ErrorLevel == 2 ? "Warning-reversals" : "Sim Fail Error List");
    MeshingFinding = 0;
    VB::SetScreenPointer(pointer);
    NetworkSaved = 0;
    AnalysisMode = callerMode;
}
