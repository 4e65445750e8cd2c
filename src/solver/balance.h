#pragma once
// Balancing of the airflows (the whole network solved at once, then Hardy Cross sweeps of the meshes) and
// the progress bar of the run.

#include "solver/certification.h"

#include <limits>
#include <vector>

// How the last balancing ended, for the driver, the status and the warning list.
struct BalanceOutcome {
    bool converged = false;  // the flow error left is within Max Allowable Error
    int unsettledMeshes = 0; // meshes whose airways may still be off by more than it (0 when converged)
    // m³/s: bounded by the whole-network solve's last step and what the sweeps changed since, or else
    // estimated from the sweeps; infinite until the sweeps shrink steadily, or where the estimate exceeds
    // every flow
    double flowErrorLeft = std::numeric_limits<double>::infinity();
    int sweeps = 0;      // all sweeps of the run
    int newtonSteps = 0; // steps of the whole-network solves of the run (0: sweeps alone)
    // The first airway (slot) whose flow ran beyond SolverFlowLimit or is not a number; the flows were then
    // left as the run found them. 0 when none did.
    int runawayAirway = 0;
    // The last certification of the flows from the true laws: every converged balancing passed it.
    BalanceCertificate certificate;
};
// The fewest sweeps whose changes tell the flow error left, unless the flows stand still.
constexpr int SweepsToConfirm = 4;
// Set by every BalanceAirflows; a run that never balanced leaves it not converged.
extern BalanceOutcome LastBalance;

// Solves the whole network at once from the previous flows (where it can be), then corrects the mesh flows
// sweep by sweep until the flow error still left is within MaxError: bounded by the last step of a
// whole-network solve, taken whole, and the changes of the sweeps since (where the sweeps alone seem to
// have converged, the whole-network solve is run again to bound it). Asks whether to go on after every
// MaxIterations sweeps without convergence. A MaxError below what single-precision flows hold is raised to
// that floor. Flows that run away end it at once, unconverged, and are not kept.
void BalanceAirflows();
// The sweeps alone from the previous flows: BalanceAirflows without its whole-network solve, with the same
// questions; converged where the error the sweeps' changes leave, estimated from how they shrink, is within
// MaxError.
void BalanceBySweeps();
// The flow error still left (m³/s) after the sweeps whose largest airway flow changes (m³/s) are given,
// oldest first: the changes still to come at the slowest rate at which the changes shrank, sweep by sweep
// and over longer stretches (a geometric tail), and never less than the last change. Infinite while they
// do not shrink steadily or too few sweeps tell; 0 once the flows stand still.
double FlowErrorLeft(const std::vector<double> &changes);
// What the stop rule of the sweeps makes of a sweep: go on, certify the flows, or first bound their error
// by a whole-network solve.
enum class SweepStop { GoOn, Certify, BoundBySolve };
// The stop rule (all in m³/s): the flows go to be certified once the error the last whole-network solve
// left at most (solveBound) plus the sum of the sweeps' largest changes since (movedSinceSolve) is within
// half of the tolerance, or the flows stand still (estimatedLeft 0); where only the sweeps' estimate is
// within it, sweeps alone certify and otherwise a whole-network solve bounds the error first.
SweepStop SweepStopRule(double solveBound, double movedSinceSolve, double estimatedLeft, double tolerance,
                        bool sweepsAlone);
// Draws the progress bar at percent (0 .. 100) and lets pending events run.
void SetProgress(int percent);
