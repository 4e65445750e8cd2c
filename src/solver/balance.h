#pragma once
// Balancing of the airflows (the whole network solved at once, then Hardy Cross sweeps of the meshes) and
// the progress bar of the run.

#include "solver/certification.h"

#include <limits>
#include <vector>

// How the last balancing ended, for the driver, the status and the warning list.
struct BalanceOutcome {
    bool converged = false;  // the flows passed the certification: within half of Max Allowable Error
    int unsettledMeshes = 0; // meshes whose airways may still be off by more than it (0 when converged)
    // m³/s: the certification's bound where the flows were certified; before that, bounded by the
    // whole-network solve's last step and what the sweeps changed since, or else estimated from the sweeps;
    // infinite until the sweeps shrink steadily, or where the estimate exceeds every flow
    double flowErrorLeft = std::numeric_limits<double>::infinity();
    int sweeps = 0; // all sweeps of the run
    // Steps of the whole-network solves of the run and corrections from the certification taken as steps
    // (0: sweeps alone, certified at once)
    int newtonSteps = 0;
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
// sweep by sweep until the stop rule sends them to be certified (CertifyBalance), and ends converged only
// when they pass. Where they do not, the certification's corrections are taken as steps while they shrink;
// a fan that still cannot be certified, or whose true slopes hold no stable state, ends it unconverged.
// Asks whether to go on after every MaxIterations sweeps without convergence (first trying the
// certification where a fan works on a rising piece of its curve). A MaxError below what single-precision
// flows hold is raised to that floor. Flows that run away end it at once, unconverged, and are not kept.
// Where the last run ended balanced and nothing has changed the network since (resultsStood), its flows
// are first certified as they stand, and need neither a solve nor a sweep when they pass.
void BalanceAirflows(bool resultsStood = false);
// The sweeps alone from the previous flows: BalanceAirflows without its whole-network solve, with the same
// questions and the same certification; sent to it where the error the sweeps' changes leave, estimated
// from how they shrink, is within half of MaxError.
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
