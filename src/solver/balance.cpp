#include "solver/balance.h"

#include "model/Gustrom1.h"
#include "model/value_rules.h"
#include "platform/VBMath.h"
#include "solver/certification.h"
#include "solver/fan_curves.h"
#include "solver/flow_limits.h"
#include "solver/network_solve.h"
#include "solver/simulation_ui.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// Sweeps whose ratios of shrinking the error estimate takes: one lucky sweep must not end a run.
constexpr std::size_t TailSweeps = SweepsToConfirm - 1;
// The longest stretch of sweeps over which a rate of shrinking is taken: longer ones hold on to the
// slower start of a large network long after its error shrinks faster.
constexpr std::size_t LongestSpan = 256;
// Sweeps over which the size of an error that swells and shrinks by turns is taken.
constexpr std::size_t EnvelopeSweeps = 32;
// Of the largest flow, the part that the roundings of a sweep's many corrections, each added to the
// airways' flows in double, can make up: a change within it is no change.
constexpr double SweepRoundingShare = 1e-12;
// Of Max Allowable Error, the part the estimate must come within: it follows the slowest shrinking seen so
// far, and a slower part of the error still hidden under faster ones surfaces later, leaving up to about
// twice the estimate.
constexpr double EstimateShare = 0.5;
constexpr double Unknown = std::numeric_limits<double>::infinity();

// One entry of a corrected mesh in four bytes, so that a sweep streams as little as possible: the airway
// slot times four, plus 2 when it has a fan, plus 1 when the mesh runs against the airway.
struct Entry {
    int32_t code;
    static Entry Make(int airway, bool forward, bool fan) {
        return Entry{airway * 4 + (fan ? 2 : 0) + (forward ? 0 : 1)};
    }
    int airway() const { return code >> 2; }
    bool hasFan() const { return (code & 2) != 0; }
    // x in the mesh direction: x or -x (an exact change of sign).
    double along(double x) const {
        return std::bit_cast<double>(std::bit_cast<uint64_t>(x) ^ (static_cast<uint64_t>(code & 1) << 63));
    }
};

// What the sweep reads of an airway, kept together so that one entry touches one place in memory.
struct AirwayState {
    double flow;       // m³/s
    double resistance; // Ns²/m⁸
};

// The meshes that are corrected, flattened for the sweep: entries of mesh m are begin[m] .. begin[m + 1] - 1.
// The fan entries of mesh m are fanEntry[fanBegin[m]] .. fanEntry[fanBegin[m + 1] - 1]; their pressures
// are looked up before the mesh is summed, so the summing loop makes no calls.
struct SweepMeshes {
    std::vector<int> begin;
    std::vector<Entry> entries;
    std::vector<int> fanBegin;
    std::vector<int> fanEntry;
    std::size_t mostFans = 0;
};

SweepMeshes freeMeshes() {
    SweepMeshes s;
    s.begin.reserve(MeshCount + 1);
    for (int m = 1; m <= MeshCount; ++m) {
        const int from = MeshStart(m), to = MeshStart(m + 1);
        if (MeshAirwayList(from) < 0)
            continue; // fixed flow or bulkhead chord: never corrected
        s.begin.push_back(static_cast<int>(s.entries.size()));
        s.fanBegin.push_back(static_cast<int>(s.fanEntry.size()));
        for (int i = from; i < to; ++i) {
            const int e = MeshAirwayList(i);
            const int a = std::abs(e);
            const bool fan = AirwaySolverFan(a) != 0;
            if (fan)
                s.fanEntry.push_back(static_cast<int>(s.entries.size()));
            // The chord always counts forward.
            s.entries.push_back(Entry::Make(a, i == from || e > 0, fan));
        }
        s.mostFans = std::max(s.mostFans, s.fanEntry.size() - s.fanBegin.back());
    }
    s.begin.push_back(static_cast<int>(s.entries.size()));
    s.fanBegin.push_back(static_cast<int>(s.fanEntry.size()));
    return s;
}

std::string twoDecimalsCut(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f m3/s", VB::Fix(x * 100) / 100);
    return text;
}

// Of the corrected meshes, those that hold an airway whose flow changed by more than limit (m³/s) in the
// last sweep.
std::vector<int> unsettledMeshes(const SweepMeshes &meshes, const std::vector<double> &change, double limit) {
    std::vector<int> unsettled;
    const int count = static_cast<int>(meshes.begin.size()) - 1;
    for (int m = 0; m < count; ++m)
        for (int i = meshes.begin[m]; i < meshes.begin[m + 1]; ++i)
            if (change[meshes.entries[i].airway()] > limit) {
                unsettled.push_back(m);
                break;
            }
    return unsettled;
}

// Every airway's flow as the sum of the flows of the meshes through it, each mesh carrying the flow
// chordFlow gives for its chord (m³/s): air is then neither made nor lost at any junction, whatever the
// chord flows are. An airway in no mesh carries none.
template <typename ChordFlow>
void superposeMeshFlows(std::vector<AirwayState> &state, const ChordFlow &chordFlow) {
    for (AirwayState &s : state)
        s.flow = 0;
    for (int m = 1; m <= MeshCount; ++m) {
        const int from = MeshStart(m), to = MeshStart(m + 1);
        const int chord = std::abs(MeshAirwayList(from));
        const double meshFlow = chordFlow(chord);
        state[chord].flow += meshFlow;
        for (int i = from + 1; i < to; ++i) {
            const int e = MeshAirwayList(i);
            state[std::abs(e)].flow += e > 0 ? meshFlow : -meshFlow;
        }
    }
}

// Replaces a change of the flows (m³/s, by airway slot) by the circulation its chords' changes give through
// the corrected meshes: air is then neither made nor lost at any junction, whatever the change was.
void carryThroughMeshes(const SweepMeshes &meshes, std::vector<double> &change) {
    const int count = static_cast<int>(meshes.begin.size()) - 1;
    std::vector<double> chordChange(static_cast<std::size_t>(count));
    for (int m = 0; m < count; ++m)
        chordChange[m] = change[meshes.entries[meshes.begin[m]].airway()];
    std::fill(change.begin(), change.end(), 0.0);
    for (int m = 0; m < count; ++m)
        for (int i = meshes.begin[m]; i < meshes.begin[m + 1]; ++i)
            change[meshes.entries[i].airway()] += meshes.entries[i].along(chordChange[m]);
}

// The whole network solved at once from the flows in state, which it replaces by its own where it finds
// them: before the sweeps, which then confirm the balance and finish what is left, and again where the
// sweeps seem to have converged, to bound the error they left.
NetworkSolveResult solveWholeNetwork(const SweepMeshes &meshes, std::vector<AirwayState> &state) {
    const int n = AirwayCount;
    std::vector<SolveRole> role(n + 1, SolveRole::Known);
    const int count = static_cast<int>(meshes.begin.size()) - 1;
    for (const Entry &e : meshes.entries)
        role[e.airway()] = SolveRole::Free;
    for (int m = 0; m < count; ++m)
        role[meshes.entries[meshes.begin[m]].airway()] = SolveRole::Chord;
    std::vector<double> flow(n + 1);
    for (int a = 1; a <= n; ++a)
        flow[a] = state[a].flow;
    const CarryThroughMeshes carry = [&](std::vector<double> &change) { carryThroughMeshes(meshes, change); };
    const NetworkSolveResult solved =
        SolveNetworkByNewton(flow, role, MaxError, carry, WholeNetworkJunctions);
    if (!solved.solved)
        return solved;
    LastBalance.newtonSteps += solved.steps;
    // Flows that ran away are no start for the sweeps, which go on from the flows given as where the
    // network cannot be solved at once.
    for (int a = 1; a <= n; ++a)
        if (!(std::fabs(flow[a]) <= SolverFlowLimit))
            return NetworkSolveResult{};
    // The solve's flows balance the junctions as the meshes carry them; taken through the meshes once more
    // they are exactly the sweeps' own.
    superposeMeshFlows(state, [&](int chord) { return flow[chord]; });
    return solved;
}

// The correction (m³/s) of a mesh whose airways have neither resistance nor fan: the split of equal small
// resistances, so that such a ring carries no circulation beyond what the flow through it needs.
double evenSplit(const Entry *first, const Entry *last, const std::vector<AirwayState> &state) {
    double h = 0, d = 0;
    for (const Entry *e = first; e != last; ++e) {
        if (e->hasFan() || state[e->airway()].resistance != 0)
            return 0.0; // a mesh that has no slope only for want of flow or of its fan's
        const double q = e->along(state[e->airway()].flow);
        h += q * std::fabs(q);
        d += 2 * std::fabs(q);
    }
    return d > 0 ? -h / d : 0.0;
}

std::vector<int> correctedBeyond(const std::vector<double> &correction, double limit) {
    std::vector<int> beyond;
    for (std::size_t m = 0; m < correction.size(); ++m)
        if (correction[m] > limit)
            beyond.push_back(static_cast<int>(m));
    return beyond;
}

// Notes in LastBalance the first airway whose flow is beyond the limit or not a number; false when none is.
bool ranAway(const std::vector<AirwayState> &state) {
    for (std::size_t a = 1; a < state.size(); ++a)
        if (!(std::fabs(state[a].flow) <= SolverFlowLimit)) {
            LastBalance.runawayAirway = static_cast<int>(a);
            return true;
        }
    return false;
}

std::string oneDecimal(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", x);
    return text;
}

} // namespace

BalanceOutcome LastBalance;

double FlowErrorLeft(const std::vector<double> &changes) {
    const std::size_t n = changes.size();
    if (n == 0)
        return Unknown;
    if (changes.back() == 0)
        return 0; // the flows stand still: they are the solution
    if (n <= TailSweeps)
        return Unknown;
    // The slowest rate of shrinking seen: each of the last few sweeps, and over longer stretches the
    // largest change of each stretch against that of the stretch before it, for an error that swells
    // and shrinks by turns shows its rate only so.
    double ratio = 0;
    for (std::size_t k = n - TailSweeps; k < n; ++k) {
        // A change that does not shrink gives no tail to sum.
        if (!(changes[k] < changes[k - 1]))
            return Unknown;
        ratio = std::max(ratio, changes[k] / changes[k - 1]);
    }
    auto largestOf = [&](std::size_t end, std::size_t span) {
        return *std::max_element(changes.begin() + static_cast<std::ptrdiff_t>(end - span),
                                 changes.begin() + static_cast<std::ptrdiff_t>(end));
    };
    for (std::size_t span = 4; span <= LongestSpan && 2 * span <= n; span *= 2) {
        const double rate =
            std::pow(largestOf(n, span) / largestOf(n - span, span), 1.0 / static_cast<double>(span));
        if (!(rate < 1))
            return Unknown;
        ratio = std::max(ratio, rate);
    }
    // The size of the error now: the largest of the recent changes, each carried down to this sweep at
    // that rate, so that a sweep that caught the error at its smallest does not end the run.
    double size = 0, carried = 1;
    for (std::size_t k = n; k-- > n - std::min(n, EnvelopeSweeps);) {
        size = std::max(size, changes[k] * carried);
        carried *= ratio;
    }
    // The changes still to come, ratio, ratio², ... times that size; never less than the size itself.
    return size * std::max(1.0, ratio / (1 - ratio));
}

namespace {

// Corrections from the true laws taken as steps while the certification does not yet pass: near the
// fold of a fan's curve the error halves with each, so a start a few tolerances off needs a few.
constexpr int MostCertifiedSteps = 30;

// The flows (m³/s, by airway slot) of the balancing's state.
std::vector<double> flowsOf(const std::vector<AirwayState> &state) {
    std::vector<double> flow(state.size());
    for (std::size_t a = 0; a < state.size(); ++a)
        flow[a] = state[a].flow;
    return flow;
}

// One balancing run: the whole network solved at once first where asked, then the sweeps, and every end
// that looks converged certified from the true laws.
class Balancing {
public:
    Balancing(bool wholeNetworkFirst, bool resultsStood)
        : wholeNetworkFirst_(wholeNetworkFirst), resultsStood_(resultsStood), n_(AirwayCount),
          state_(n_ + 1, AirwayState{0.0, 0.0}), meshes_(freeMeshes()) {
        for (int a = 1; a <= n_; ++a)
            state_[a].resistance = AirwayResistance(a);
        // Start from the chords' flows of the previous run (a fixed quantity, or 0 for a bulkhead).
        superposeMeshFlows(state_, [](int chord) { return static_cast<double>(AirwayFlow(chord)); });
        const int freeCount = static_cast<int>(meshes_.begin.size()) - 1;
        fanPressure_.resize(meshes_.mostFans);
        fanSlope_.resize(meshes_.mostFans);
        correction_.resize(static_cast<std::size_t>(freeCount));
        before_.resize(n_ + 1);
        change_.assign(n_ + 1, 0.0);
        floorFlow_ = SlopeFloorFlow(MaxError);
    }

    void Run() {
        mayBound_ = wholeNetworkFirst_;
        if (wholeNetworkFirst_ && resultsStood_ && alreadyBalanced()) {
            for (int a = 1; a <= n_; ++a)
                AirwayFlow(a) = static_cast<float>(state_[a].flow);
            return;
        }
        if (wholeNetworkFirst_ && !solveWhole()) {
            ErrorLevel = 1; // stopped: the flows stay as the run found them
            return;
        }
        rememberFlows();
        for (;;) {
            const double largest = sweep();
            if (largest < 0)
                break; // a stop request in the sweep
            ++sweeps_;
            LastBalance.sweeps += 1;
            if (!noteChanges())
                break; // ran away
            const SweepStop stop =
                SweepStopRule(solveBound_, movedSinceSolve_, estimatedLeft_, tolerance_, !wholeNetworkFirst_);
            bool certify = stop == SweepStop::Certify;
            if (stop == SweepStop::BoundBySolve && mayBound_) {
                mayBound_ = false;
                if (!solveWhole()) {
                    ErrorLevel = 1;
                    break;
                }
                rememberFlows();
                largestChanges_.clear();
                certify = solveBound_ <= EstimateShare * tolerance_;
            }
            if (std::isfinite(solveBound_))
                LastBalance.flowErrorLeft = solveBound_ + movedSinceSolve_;
            // Flows that failed the certification and have not moved since would fail it again.
            if (largestChange_ > 0)
                failedUnmoved_ = false;
            if (certify && !failedUnmoved_ && certified())
                break;
            if (LastBalance.certificate.stallFan != 0)
                break; // no stable state here: the sweeps would only wander
            SimUi().SetSweepFigures(std::to_string(sweeps_), twoDecimalsCut(largest));
            SimUi().PumpEvents();
            if (RunState == 255) {
                ErrorLevel = 1;
                break;
            }
            if (sweeps_ < MaxIterations)
                continue;
            // The sweeps hold a fan on a rising piece of its curve away from its fold, and may crawl there
            // where the corrections from the true laws would not.
            if (onRisingCurve() && (certified() || LastBalance.certificate.stallFan != 0))
                break;
            if (!askToGoOn())
                break;
            sweeps_ = 0;
            mayBound_ = wholeNetworkFirst_;
        }
        // A stop in the middle of a sweep may have left flows that ran away; such flows are never kept.
        if (LastBalance.runawayAirway != 0 || ranAway(state_)) {
            LastBalance.converged = false;
            return;
        }
        for (int a = 1; a <= n_; ++a)
            AirwayFlow(a) = static_cast<float>(state_[a].flow);
    }

private:
    // Flows that the last run found balanced, with nothing changed since (a run again, readings that
    // changed nothing), are certified as they stand, with neither a solve nor a sweep; flows that are all
    // 0 are never balanced, and rings of negligible airways take their split from the solve.
    bool alreadyBalanced() {
        if (std::all_of(state_.begin(), state_.end(), [](const AirwayState &s) { return s.flow == 0; }))
            return false;
        const BalanceCertificate c = CertifyBalance(flowsOf(state_));
        if (!c.balanced || c.ringsOfTies)
            return false;
        LastBalance.certificate = c;
        LastBalance.flowErrorLeft = c.Bound();
        LastBalance.converged = true;
        LastBalance.unsettledMeshes = 0;
        return true;
    }

    // The whole-network solve from the flows as they stand; false on a stop request.
    bool solveWhole() {
        const NetworkSolveResult solved = solveWholeNetwork(meshes_, state_);
        solveBound_ = solved.errorBound;
        movedSinceSolve_ = 0;
        return !solved.stopped;
    }

    void rememberFlows() {
        for (int a = 1; a <= n_; ++a)
            before_[a] = state_[a].flow;
    }

    // One Hardy Cross sweep over the corrected meshes, each corrected at once; the largest correction
    // (m³/s), or -1 when a stop request came in the middle of it.
    double sweep() {
        const Entry *entries = meshes_.entries.data();
        const int freeCount = static_cast<int>(meshes_.begin.size()) - 1;
        double largest = 0;
        for (int m = 0; m < freeCount; ++m) {
            if (RunState == 255)
                return -1;
            const int from = meshes_.begin[m], to = meshes_.begin[m + 1];
            for (int k = meshes_.fanBegin[m]; k < meshes_.fanBegin[m + 1]; ++k) {
                const int a = entries[meshes_.fanEntry[k]].airway();
                double p = AirwayPressure(a), dp = 0;
                FanPressureAtFlow(a, static_cast<int>(AirwaySolverFan(a)), state_[a].flow, p, dp);
                fanPressure_[k - meshes_.fanBegin[m]] = p;
                fanSlope_[k - meshes_.fanBegin[m]] = dp;
            }
            double h = 0, d = 0; // Pa, Pa per m³/s
            int fan = 0;
            for (int i = from; i < to; ++i) {
                const Entry entry = entries[i];
                const AirwayState &st = state_[entry.airway()];
                const double q = entry.along(st.flow);
                const double loss = st.resistance * q * std::fabs(q);
                const double slope = 2 * st.resistance * std::max(std::fabs(q), floorFlow_);
                if (entry.hasFan()) {
                    h += loss - entry.along(fanPressure_[fan]);
                    d += slope - fanSlope_[fan];
                    ++fan;
                } else {
                    h += loss;
                    d += slope;
                }
            }
            const double dq = d != 0 ? -h / d : evenSplit(entries + from, entries + to, state_);
            correction_[static_cast<std::size_t>(m)] = std::fabs(dq);
            largest = std::max(largest, std::fabs(dq));
            for (int i = from; i < to; ++i)
                state_[entries[i].airway()].flow += entries[i].along(dq);
        }
        return largest;
    }

    // What the sweep changed: the largest change of an airway's flow, added to what moved since the
    // whole-network solve, and the estimate of the error left. False when a flow ran away.
    bool noteChanges() {
        // The per-airway changes are kept only for the question.
        const bool asking = sweeps_ >= MaxIterations;
        double largestFlow = 0;
        largestChange_ = 0;
        for (int a = 1; a <= n_; ++a) {
            const double flow = state_[a].flow;
            const double changed = std::fabs(flow - before_[a]);
            before_[a] = flow;
            if (asking)
                change_[a] = changed;
            largestChange_ = std::max(largestChange_, changed);
            largestFlow = std::max(largestFlow, std::fabs(flow));
        }
        if (ranAway(state_))
            return false;
        tolerance_ = std::max<double>(MaxError, FlowErrorFloor(largestFlow));
        floorFlow_ = SlopeFloorFlow(tolerance_);
        movedSinceSolve_ += largestChange_;
        // Changes within the rounding of the sums of many corrections: the flows are as exact as the
        // arithmetic holds them.
        largestChanges_.push_back(largestChange_ > SweepRoundingShare * largestFlow ? largestChange_ : 0.0);
        estimatedLeft_ = FlowErrorLeft(largestChanges_);
        // An estimate beyond every flow of the network, or from changes that never shrank, tells nothing of
        // how far off the flows are.
        LastBalance.flowErrorLeft = estimatedLeft_ == 0 || (estimatedLeft_ <= largestFlow &&
                                                            largestChanges_.back() < largestChanges_.front())
                                        ? estimatedLeft_
                                        : Unknown;
        return true;
    }

    // The flows certified from the true laws, the certification's correction taken as a step while it
    // brings them closer; true when they are balanced. Where they are not, the sweeps go on from flows no
    // nearer than the certification's, with every bound of the stop rule to be found anew.
    bool certified() {
        std::vector<double> flow = flowsOf(state_), step;
        BalanceCertificate c = CertifyBalance(flow, &step);
        for (int k = 0;
             k < MostCertifiedSteps && !c.balanced && c.stallFan == 0 && std::isfinite(c.correction); ++k) {
            std::vector<double> trial = flow, nextStep;
            carryThroughMeshes(meshes_, step);
            for (int a = 1; a <= n_; ++a)
                trial[a] += step[a];
            const BalanceCertificate next = CertifyBalance(trial, &nextStep);
            if (next.stallFan != 0 || !(next.correction < c.correction))
                break;
            flow = std::move(trial);
            step = std::move(nextStep);
            c = next;
            ++LastBalance.newtonSteps;
        }
        for (int a = 1; a <= n_; ++a)
            state_[a].flow = flow[a];
        rememberFlows();
        // A fan on a rising piece of its curve that the true corrections cannot bring within the tolerance
        // is too near the stall of its curve for the sweeps, whose slopes hold it away from its fold.
        if (!c.balanced && c.stallFan == 0 && !c.risingFans.empty())
            c.stallFan = c.risingFans.front();
        LastBalance.certificate = c;
        LastBalance.flowErrorLeft = c.Bound();
        if (c.balanced) {
            LastBalance.converged = true;
            LastBalance.unsettledMeshes = 0;
            return true;
        }
        solveBound_ = Unknown;
        movedSinceSolve_ = 0;
        largestChanges_.clear();
        failedUnmoved_ = true;
        return false;
    }

    // Whether a fan of the corrected meshes works on a rising piece of its curve.
    bool onRisingCurve() const {
        for (int k : meshes_.fanEntry) {
            const int a = meshes_.entries[k].airway();
            double p = AirwayPressure(a), slope = 0;
            const int solverFan = static_cast<int>(AirwaySolverFan(a));
            if (solverFan > 0 &&
                FanPressureAtFlow(a, solverFan, state_[a].flow, p, slope) == CurveRegion::On && slope > 0)
                return true;
        }
        return false;
    }

    // After MaxIterations sweeps without convergence: lists the airways of the meshes that may still be
    // off (in the non-converging analysis) and asks whether to go on.
    bool askToGoOn() {
        // A change counts when, carried on as the estimate carries the largest, it would exceed the share of
        // the tolerance the estimate keeps; while too few sweeps tell, the meshes whose last correction
        // exceeded the tolerance.
        const std::vector<int> unsettled =
            estimatedLeft_ == Unknown
                ? correctedBeyond(correction_, tolerance_)
                : unsettledMeshes(meshes_, change_,
                                  EstimateShare * tolerance_ * largestChange_ / estimatedLeft_);
        if (AnalysisMode == -1)
            for (int m : unsettled)
                for (int i = meshes_.begin[m]; i < meshes_.begin[m + 1]; ++i) {
                    const int a = meshes_.entries[i].airway();
                    if (AirwayFlags(a) & AirwayFlag::ErrorMark)
                        continue;
                    AddErrorLine(a, "Converge Error");
                    AirwayComment(a) = "Converge " + oneDecimal(correction_[static_cast<std::size_t>(m)]);
                    AirwayFlags(a) |= AirwayFlag::ErrorMark;
                    ErrorLevel = 1;
                }
        LastBalance.unsettledMeshes = static_cast<int>(unsettled.size());
        // The share of converged meshes, cut to a whole percent.
        const int percent = (MeshCount - static_cast<int>(unsettled.size())) * 100 / MeshCount;
        return SimUi().KeepBalancing(percent);
    }

    const bool wholeNetworkFirst_;
    const bool resultsStood_; // the last run ended balanced and nothing has changed the network since
    const int n_;
    // Flows are kept in double while balancing so that the node balance holds to the last digit of a single.
    std::vector<AirwayState> state_;
    const SweepMeshes meshes_;
    std::vector<double> fanPressure_, fanSlope_; // Pa, Pa per m³/s, of the mesh being corrected
    std::vector<double> correction_;             // m³/s, each mesh's last
    // Per airway: its flow before the sweep, and how much the last sweep before a convergence question
    // changed it (m³/s).
    std::vector<double> before_, change_;
    std::vector<double> largestChanges_; // m³/s, the largest change of an airway's flow, one per sweep
    double largestChange_ = 0;           // m³/s, of the last sweep
    double tolerance_ = MaxError;        // m³/s, Max Allowable Error raised to what single flows hold
    double floorFlow_ = 0;               // m³/s, below which friction is linearised as at it
    // m³/s: the flow error the last whole-network solve's last step left at most (infinite where it bound
    // none), and the sum of the largest changes of the sweeps since.
    double solveBound_ = Unknown, movedSinceSolve_ = 0;
    double estimatedLeft_ = Unknown; // m³/s, the sweeps' estimate of the error left (FlowErrorLeft)
    // Where the sweeps alone seem to have converged, a whole-network solve bounds the error they left, once
    // in each stretch of MaxIterations sweeps.
    bool mayBound_ = false;
    int sweeps_ = 0;             // since the last question
    bool failedUnmoved_ = false; // the flows failed the certification and no sweep has moved them since
};

} // namespace

SweepStop SweepStopRule(double solveBound, double movedSinceSolve, double estimatedLeft, double tolerance,
                        bool sweepsAlone) {
    const double share = EstimateShare * tolerance;
    if (solveBound + movedSinceSolve <= share || estimatedLeft == 0)
        return SweepStop::Certify;
    if (estimatedLeft <= share)
        return sweepsAlone ? SweepStop::Certify : SweepStop::BoundBySolve;
    return SweepStop::GoOn;
}

namespace {

void balance(bool wholeNetworkFirst, bool resultsStood) {
    LastBalance = BalanceOutcome{};
    SimUi().ShowBalanceLabels();
    Balancing(wholeNetworkFirst, resultsStood).Run();
}

} // namespace

void BalanceAirflows(bool resultsStood) {
    balance(true, resultsStood);
}

void BalanceBySweeps() {
    balance(false, false);
}

void SetProgress(int percent) {
    SimUi().SetProgressBar(percent);
    SimUi().PumpEvents();
}
