#include "solver/balance.h"

#include "model/Gustrom1.h"
#include "model/value_rules.h"
#include "platform/VBMath.h"
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
// Of the largest flow, the part that the roundings of a sweep's many corrections can make up.
constexpr double RoundingShare = 1e-12;
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
    std::vector<double> chordChange(static_cast<std::size_t>(count));
    const CarryThroughMeshes carry = [&](std::vector<double> &change) {
        for (int m = 0; m < count; ++m)
            chordChange[m] = change[meshes.entries[meshes.begin[m]].airway()];
        std::fill(change.begin(), change.end(), 0.0);
        for (int m = 0; m < count; ++m)
            for (int i = meshes.begin[m]; i < meshes.begin[m + 1]; ++i)
                change[meshes.entries[i].airway()] += meshes.entries[i].along(chordChange[m]);
    };
    const NetworkSolveResult solved = SolveNetworkByNewton(flow, role, MaxError, carry);
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

// The balancing of a run: the whole network solved at once first where asked, then the sweeps.
void balance(bool wholeNetworkFirst) {
    LastBalance = BalanceOutcome{};
    SimUi().ShowBalanceLabels();
    const int n = AirwayCount;
    // Flows are kept in double while balancing so that the node balance holds to the last digit of a single.
    std::vector<AirwayState> state(n + 1, AirwayState{0.0, 0.0});
    for (int a = 1; a <= n; ++a)
        state[a].resistance = AirwayResistance(a);
    // Start from the chords' flows of the previous run (a fixed quantity, or 0 for a bulkhead).
    superposeMeshFlows(state, [](int chord) { return static_cast<double>(AirwayFlow(chord)); });

    const SweepMeshes meshes = freeMeshes();
    // m³/s: the flow error the last whole-network solve left at most, and what the sweeps changed since.
    double bound = Unknown, moved = 0;
    // Where the sweeps alone seem to have converged, a whole-network solve bounds the error they left,
    // once in each stretch of MaxIterations sweeps.
    bool mayBound = wholeNetworkFirst;
    auto solveWhole = [&] {
        const NetworkSolveResult solved = solveWholeNetwork(meshes, state);
        bound = solved.errorBound;
        moved = 0;
        return !solved.stopped;
    };
    if (wholeNetworkFirst && !solveWhole()) {
        ErrorLevel = 1; // stopped: the flows stay as the run found them
        return;
    }
    const Entry *entries = meshes.entries.data();
    const int freeCount = static_cast<int>(meshes.begin.size()) - 1;
    std::vector<double> fanPressure(meshes.mostFans), fanSlope(meshes.mostFans); // Pa, Pa per m³/s
    std::vector<double> correction(static_cast<std::size_t>(freeCount));         // m³/s, each mesh's last
    // Per airway: its flow before the sweep, and how much the last sweep before a convergence question
    // changed it (m³/s).
    std::vector<double> before(n + 1), change(n + 1, 0.0);
    for (int a = 1; a <= n; ++a)
        before[a] = state[a].flow;
    std::vector<double> largestChanges;          // m³/s, one per sweep
    double floorFlow = SlopeFloorFlow(MaxError); // m³/s
    int sweep = 0;
    bool stopped = false;
    for (;;) {
        double largest = 0;
        for (int m = 0; m < freeCount; ++m) {
            if (RunState == 255) {
                stopped = true;
                break;
            }
            const int from = meshes.begin[m], to = meshes.begin[m + 1];
            for (int k = meshes.fanBegin[m]; k < meshes.fanBegin[m + 1]; ++k) {
                const int a = entries[meshes.fanEntry[k]].airway();
                double p = AirwayPressure(a), dp = 0;
                FanPressureAtFlow(a, static_cast<int>(AirwaySolverFan(a)), state[a].flow, p, dp);
                fanPressure[k - meshes.fanBegin[m]] = p;
                fanSlope[k - meshes.fanBegin[m]] = dp;
            }
            double h = 0, d = 0; // Pa, Pa per m³/s
            int fan = 0;
            for (int i = from; i < to; ++i) {
                const Entry entry = entries[i];
                const AirwayState &st = state[entry.airway()];
                const double q = entry.along(st.flow);
                const double loss = st.resistance * q * std::fabs(q);
                const double slope = 2 * st.resistance * std::max(std::fabs(q), floorFlow);
                if (entry.hasFan()) {
                    h += loss - entry.along(fanPressure[fan]);
                    d += slope - fanSlope[fan];
                    ++fan;
                } else {
                    h += loss;
                    d += slope;
                }
            }
            const double dq = d != 0 ? -h / d : evenSplit(entries + from, entries + to, state);
            correction[static_cast<std::size_t>(m)] = std::fabs(dq);
            largest = std::max(largest, std::fabs(dq));
            for (int i = from; i < to; ++i)
                state[entries[i].airway()].flow += entries[i].along(dq);
        }
        if (stopped)
            break;
        ++sweep;
        // One pass for what the sweep changed: the per-airway changes are kept only for the question.
        const bool asking = sweep >= MaxIterations;
        double largestChange = 0, largestFlow = 0;
        for (int a = 1; a <= n; ++a) {
            const double flow = state[a].flow;
            const double changed = std::fabs(flow - before[a]);
            before[a] = flow;
            if (asking)
                change[a] = changed;
            largestChange = std::max(largestChange, changed);
            largestFlow = std::max(largestFlow, std::fabs(flow));
        }
        if (ranAway(state))
            break;
        const double maxError = std::max<double>(MaxError, FlowErrorFloor(largestFlow));
        floorFlow = SlopeFloorFlow(maxError);
        moved += largestChange;
        // Changes within the rounding of the sums of many corrections: the flows are as exact as the
        // arithmetic holds them.
        largestChanges.push_back(largestChange > RoundingShare * largestFlow ? largestChange : 0.0);
        const double left = FlowErrorLeft(largestChanges);
        LastBalance.sweeps += 1;
        // An estimate beyond every flow of the network, or from changes that never shrank, tells nothing of
        // how far off the flows are.
        LastBalance.flowErrorLeft =
            left == 0 || (left <= largestFlow && largestChanges.back() < largestChanges.front()) ? left
                                                                                                 : Unknown;
        // Converged only when the flow error still left, not just the last correction, is within MaxError:
        // bounded by a whole-network solve, or where the sweeps alone run, estimated from their changes;
        // or the flows stand still, every mesh's law met as far as the arithmetic holds it.
        bool converged = bound + moved <= EstimateShare * maxError || left == 0;
        if (!converged && left <= EstimateShare * maxError) {
            if (!wholeNetworkFirst) {
                converged = true;
            } else if (mayBound) {
                mayBound = false;
                if (!solveWhole()) {
                    ErrorLevel = 1;
                    break;
                }
                for (int a = 1; a <= n; ++a)
                    before[a] = state[a].flow;
                largestChanges.clear();
                converged = bound <= EstimateShare * maxError;
            }
        }
        if (std::isfinite(bound))
            LastBalance.flowErrorLeft = bound + moved;
        if (converged) {
            LastBalance.converged = true;
            LastBalance.unsettledMeshes = 0;
            break;
        }
        SimUi().SetSweepFigures(std::to_string(sweep), twoDecimalsCut(largest));
        SimUi().PumpEvents();
        if (RunState == 255) {
            ErrorLevel = 1;
            break;
        }
        if (sweep < MaxIterations)
            continue;
        // The meshes whose airways may still be off by more than MaxError: a change counts when, carried
        // on as the estimate carries the largest, it would exceed the share of MaxError the estimate keeps.
        // While too few sweeps tell, the meshes whose last correction exceeded MaxError.
        const std::vector<int> unsettled =
            left == Unknown
                ? correctedBeyond(correction, maxError)
                : unsettledMeshes(meshes, change, EstimateShare * maxError * largestChange / left);
        if (AnalysisMode == -1)
            for (int m : unsettled)
                for (int i = meshes.begin[m]; i < meshes.begin[m + 1]; ++i) {
                    const int a = entries[i].airway();
                    if (AirwayFlags(a) & AirwayFlag::ErrorMark)
                        continue;
                    AddErrorLine(a, "Converge Error");
                    AirwayComment(a) = "Converge " + oneDecimal(correction[static_cast<std::size_t>(m)]);
                    AirwayFlags(a) |= AirwayFlag::ErrorMark;
                    ErrorLevel = 1;
                }
        LastBalance.unsettledMeshes = static_cast<int>(unsettled.size());
        // The share of converged meshes, cut to a whole percent.
        const int percent = (MeshCount - static_cast<int>(unsettled.size())) * 100 / MeshCount;
        if (!SimUi().KeepBalancing(percent))
            break;
        sweep = 0;
        mayBound = wholeNetworkFirst;
    }
    // A stop in the middle of a sweep may have left flows that ran away; such flows are never kept.
    if (LastBalance.runawayAirway != 0 || ranAway(state)) {
        LastBalance.converged = false;
        return;
    }
    for (int a = 1; a <= n; ++a)
        AirwayFlow(a) = static_cast<float>(state[a].flow);
}

} // namespace

void BalanceAirflows() {
    balance(true);
}

void BalanceBySweeps() {
    balance(false);
}

void SetProgress(int percent) {
    SimUi().SetProgressBar(percent);
    SimUi().PumpEvents();
}
