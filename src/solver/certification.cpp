#include "solver/certification.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "solver/checks.h"
#include "solver/disjoint_sets.h"
#include "solver/fan_curves.h"
#include "solver/flow_limits.h"
#include "solver/junction_system.h"
#include "solver/network_solve.h"

#include <Eigen/Cholesky>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Of the tolerance, the part within which the flows must lie of the balanced state.
constexpr double CertifiedShare = 0.5;
// The second correction, beside the first, shrinks by at most this where the rest is trusted to be a
// geometric tail: so it is at a stagnant airway, whose flow each correction halves, and far less near a
// stable state; a fan near the fold of its curve shrinks it by less, and its flows are not certified.
constexpr double SlowestShrinking = 0.5;
// Pa per m³/s: the slope a branch without slope of its own (a fan without resistance on a level piece of
// its curve, or off it, or a fixed pressure without resistance) takes in the base system where no branch
// at its junctions gives a scale; the correction takes it out again, so it sets only the arithmetic's
// scale.
constexpr double LevelBaseSlope = 1.0;

// Pressure lost along airway a at flow q (Pa): friction less the fan's pressure on the curve as the sweeps
// take it, or the fixed pressure; and the fan curve's slope there (Pa per m³/s, 0 off the curve and for a
// fixed pressure, whose pressure does not follow the flow).
double lossAt(int a, double q, double &fanSlope) {
    double loss = static_cast<double>(AirwayResistance(a)) * q * std::fabs(q);
    fanSlope = 0;
    const int solverFan = static_cast<int>(AirwaySolverFan(a));
    if (solverFan != 0) {
        double p = AirwayPressure(a), slope = 0;
        const int region = FanPressureAtFlow(a, solverFan, q, p, slope);
        loss -= p;
        if (solverFan > 0 && region == CurveRegion::On)
            fanSlope = slope;
    }
    return loss;
}

// An airway with a law in the junctions' system: the unknowns of its start and end junctions (-1 for the
// reference, -2 for both ends of an airway whose junctions are joined), its true slope and, for a fan whose
// slope is not that of its friction alone, the slope the base system takes instead (lowRank).
struct Branch {
    int airway = 0, start = 0, end = 0;
    int from = -1, to = -1;
    double slope = 0, base = 0; // Pa per m³/s
    bool lowRank = false;
    int between = -1; // where the weight joining its unknowns lies among the system's, -1 where none
    double weight() const { return 1 / (lowRank ? base : slope); }
};

// A step of the walk that gives each junction a pressure: node reached from parent through airway.
struct WalkStep {
    int node = 0, parent = 0, airway = 0;
    bool fromNode = false; // the airway runs from node to parent
};

class Certifier {
public:
    explicit Certifier(const std::vector<double> &flow) : flow_(flow) {}

    BalanceCertificate Run(std::vector<double> *out) {
        BalanceCertificate c;
        double largest = 0;
        for (std::size_t a = 1; a < flow_.size(); ++a)
            largest = std::max(largest, std::fabs(flow_[a]));
        c.tolerance = std::max<double>(MaxError, FlowErrorFloor(largest));
        c.toleranceRaised = c.tolerance > MaxError;
        floorFlow_ = SlopeFloorFlow(c.tolerance);
        number();
        c.ringsOfTies = ringsOfTies_;
        for (int a : freeAirways_)
            if (AirwaySolverFan(a) > 0) {
                double slope = 0;
                lossAt(a, flow_[a], slope);
                if (slope > 0)
                    c.risingFans.push_back(a);
            }
        std::vector<double> dq(flow_.size(), 0.0), next(flow_.size(), 0.0);
        const bool sloped = slopes();
        if (stalled_)
            c.stallFan = stallFan();
        if (!sloped || !correct(flow_, dq)) {
            if (out)
                *out = dq;
            return c;
        }
        // The correction from the corrected flows with the same slopes: what the square law and the curves
        // add beyond the linear correction.
        std::vector<double> corrected(flow_);
        for (int a : freeAirways_)
            corrected[a] += dq[a];
        if (!correct(corrected, next))
            return c;
        double first = 0, second = 0;
        for (int a : freeAirways_) {
            first = std::max(first, std::fabs(dq[a]));
            second = std::max(second, std::fabs(next[a]));
        }
        c.correction = first;
        // The corrections still to come: a geometric tail at the rate the second shrank by. Within the
        // floor flow, where the friction's slope is taken as at that flow, the correction cannot tell the
        // flows closer, and the floor itself is the allowance.
        const double rate = first > 0 ? second / first : 0.0;
        if (rate <= SlowestShrinking)
            c.allowance = second / (1 - rate);
        else if (first + second <= floorFlow_)
            c.allowance = floorFlow_;
        c.balanced = c.Bound() <= CertifiedShare * c.tolerance;
        if (out)
            *out = dq;
        return c;
    }

private:
    // The free airways (those of corrected meshes) and the junctions numbered as the whole-network solve
    // numbers them, so that its system's order, analysis and storage serve here; and the walk that gives
    // every junction a pressure along the ties first, so that no tie is left with a residual of its own.
    void number() {
        const int n = AirwayCount, nodes = NodeCount;
        std::vector<SolveRole> role(static_cast<std::size_t>(n) + 1, SolveRole::Known);
        for (int m = 1; m <= MeshCount; ++m) {
            const int first = MeshStart(m);
            if (MeshAirwayList(first) < 0)
                continue;
            for (int i = first; i < MeshStart(m + 1); ++i)
                role[std::abs(MeshAirwayList(i))] = i == first ? SolveRole::Chord : SolveRole::Free;
        }
        JunctionNumbering numbering = NumberJunctions(role);
        freeAirways_ = std::move(numbering.freeAirways);
        ties_ = std::move(numbering.ties);
        ringsOfTies_ = !numbering.rings.empty();
        unknowns_ = numbering.unknowns;
        int surface = 0;
        for (int a = 1; a <= n && surface == 0; ++a) {
            if (AirwayStartKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayStartNode(a));
            else if (AirwayEndKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayEndNode(a));
        }
        // The walk's forest: the ties' own, then the branches that join it further.
        DisjointSets forest(nodes);
        std::vector<std::vector<std::pair<int, int>>> linked(static_cast<std::size_t>(nodes) + 1);
        std::vector<uint8_t> used(static_cast<std::size_t>(nodes) + 1, 0);
        auto join = [&](int a, int s, int e) {
            used[s] = used[e] = 1;
            if (forest.Find(s) == forest.Find(e))
                return false;
            forest.Unite(s, e);
            linked[s].emplace_back(e, a);
            linked[e].emplace_back(s, a);
            return true;
        };
        for (const JunctionNumbering::Tie &tie : ties_)
            join(tie.airway, tie.child, tie.parent);
        for (const JunctionNumbering::Branch &numbered : numbering.branches) {
            Branch b;
            b.airway = numbered.airway;
            b.start = numbered.start;
            b.end = numbered.end;
            b.from = numbered.from;
            b.to = numbered.to;
            inForest_.push_back(join(b.airway, b.start, b.end));
            branches_.push_back(b);
        }
        std::vector<uint8_t> seen(static_cast<std::size_t>(nodes) + 1, 0);
        auto walkFrom = [&](int root) {
            seen[root] = 1;
            for (std::size_t next = walk_.size(), v = static_cast<std::size_t>(root);;) {
                for (const auto &[other, a] : linked[v]) {
                    if (seen[other])
                        continue;
                    seen[other] = 1;
                    walk_.push_back(
                        WalkStep{other, static_cast<int>(v), a, std::abs(AirwayStartNode(a)) == other});
                }
                if (next == walk_.size())
                    break;
                v = static_cast<std::size_t>(walk_[next++].node);
            }
        };
        if (surface > 0 && used[surface])
            walkFrom(surface);
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && !seen[v])
                walkFrom(v);
        system_.Define(numbering.identity, numbering.links);
        for (Branch &b : branches_)
            if (b.from >= 0 && b.to >= 0)
                b.between = system_.Link(b.from, b.to);
        potential_.assign(static_cast<std::size_t>(nodes) + 1, 0.0L);
        excess_.assign(static_cast<std::size_t>(nodes) + 1, 0.0);
    }

    // The branches' true slopes at the flows, the base system factorised and, for the fans whose slope is
    // not their friction's, the small system that takes the base slopes out again. False where the true
    // slopes leave the meshes' matrix not positive definite (a fan at or past the fold of its curve).
    bool slopes() {
        system_.ClearValues();
        double *weights = system_.Weights(), *grounding = system_.Grounding();
        lowRank_.clear();
        // Per junction, the steepest slope of the branches at it whose slope is their own: the scale that a
        // branch without slope of its own takes in the base system.
        std::vector<double> steepest(excess_.size(), 0.0);
        for (Branch &b : branches_) {
            double fanSlope = 0;
            const double q = flow_[b.airway];
            lossAt(b.airway, q, fanSlope);
            b.slope =
                2 * static_cast<double>(AirwayResistance(b.airway)) * std::max(std::fabs(q), floorFlow_) -
                fanSlope;
            if (AirwaySolverFan(b.airway) == 0 || (fanSlope <= 0 && b.slope > 0))
                steepest[b.start] = steepest[b.end] = std::max({steepest[b.start], steepest[b.end], b.slope});
        }
        for (std::size_t i = 0; i < branches_.size(); ++i) {
            Branch &b = branches_[i];
            const double q = flow_[b.airway];
            double fanSlope = 0;
            lossAt(b.airway, q, fanSlope);
            // Friction's slope, held at that of a small flow as in the sweeps: the allowance sees the rest.
            const double friction =
                2 * static_cast<double>(AirwayResistance(b.airway)) * std::max(std::fabs(q), floorFlow_);
            b.slope = friction - fanSlope;
            b.lowRank = AirwaySolverFan(b.airway) != 0 && (fanSlope > 0 || !(b.slope > 0));
            if (b.lowRank) {
                const double near = std::max(steepest[b.start], steepest[b.end]);
                b.base = friction + fanSlope > 0 ? friction + fanSlope : near > 0 ? near : LevelBaseSlope;
                lowRank_.push_back(static_cast<int>(i));
            } else if (!(b.slope > 0) || !std::isfinite(b.slope)) {
                return false;
            }
            if (b.from == -2)
                continue;
            if (b.between >= 0)
                weights[b.between] += b.weight();
            else
                grounding[b.from >= 0 ? b.from : b.to] += b.weight();
        }
        if (unknowns_ > 0 && !system_.Factorize())
            return false;
        const int k = static_cast<int>(lowRank_.size());
        if (k == 0)
            return true;
        // Each low-rank fan's column of the base system's inverse, and the capacitance: the base system seen
        // from the fans' ends, plus for each fan g g0 / (g0 - g), g its true slope and g0 its base slope. The
        // meshes' matrix of true slopes is positive definite exactly when the capacitance is.
        spread_.assign(static_cast<std::size_t>(k), Eigen::VectorXd());
        Eigen::MatrixXd capacitance(k, k);
        for (int j = 0; j < k; ++j) {
            const Branch &b = branches_[static_cast<std::size_t>(lowRank_[j])];
            Eigen::VectorXd column = Eigen::VectorXd::Zero(unknowns_);
            if (b.from >= 0)
                column[b.from] += 1;
            if (b.to >= 0)
                column[b.to] -= 1;
            if (unknowns_ > 0 && !system_.Solve(column, spread_[j]))
                return false;
            if (unknowns_ == 0)
                spread_[j] = column;
        }
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j)
                capacitance(i, j) = dropAcross(branches_[static_cast<std::size_t>(lowRank_[i])], spread_[j]);
        for (int j = 0; j < k; ++j) {
            const Branch &b = branches_[static_cast<std::size_t>(lowRank_[j])];
            capacitance(j, j) += b.slope * b.base / (b.base - b.slope);
        }
        capacitance_.compute(capacitance);
        if (capacitance_.info() != Eigen::Success || !capacitance.allFinite()) {
            stalled_ = true;
            return false;
        }
        return true;
    }

    static double dropAcross(const Branch &b, const Eigen::VectorXd &pressure) {
        if (b.from == -2)
            return 0;
        return (b.from >= 0 ? pressure[b.from] : 0.0) - (b.to >= 0 ? pressure[b.to] : 0.0);
    }

    // The correction dq (m³/s, by slot) of flows q from their residuals: each branch's loss less the drop
    // of the junction pressures walked along the forest, so that only the airways that close its loops
    // carry one. False where it is not finite; notes a stall in the certificate.
    bool correct(const std::vector<double> &q, std::vector<double> &dq) {
        if (branches_.empty() && ties_.empty())
            return true;
        double fanSlope = 0;
        for (const WalkStep &w : walk_) {
            const long double h = lossAt(w.airway, q[w.airway], fanSlope);
            potential_[w.node] = potential_[w.parent] + (w.fromNode ? h : -h);
        }
        std::vector<double> residual(branches_.size(), 0.0);
        Eigen::VectorXd rhs = Eigen::VectorXd::Zero(unknowns_);
        for (std::size_t i = 0; i < branches_.size(); ++i) {
            const Branch &b = branches_[i];
            if (!inForest_[i])
                residual[i] = static_cast<double>(lossAt(b.airway, q[b.airway], fanSlope) -
                                                  (potential_[b.start] - potential_[b.end]));
            if (b.from == -2)
                continue;
            const double r = residual[i] * b.weight();
            if (b.from >= 0)
                rhs[b.from] += r;
            if (b.to >= 0)
                rhs[b.to] -= r;
        }
        Eigen::VectorXd pressure = Eigen::VectorXd::Zero(unknowns_);
        if (unknowns_ > 0 && !system_.Solve(rhs, pressure))
            return false;
        // Drops of the solved pressures from the system's two doubles, less what the low-rank fans take.
        auto solvedDrop = [&](const Branch &b) {
            return b.from == -2 || unknowns_ == 0 ? 0.0 : system_.Drop(b.from, b.to);
        };
        const int k = static_cast<int>(lowRank_.size());
        Eigen::VectorXd fanPart, taken = Eigen::VectorXd::Zero(unknowns_);
        if (k > 0) {
            Eigen::VectorXd fanRhs(k);
            for (int j = 0; j < k; ++j) {
                const std::size_t i = static_cast<std::size_t>(lowRank_[j]);
                fanRhs[j] = solvedDrop(branches_[i]) - residual[i];
            }
            fanPart = capacitance_.solve(fanRhs);
            for (int j = 0; j < k; ++j)
                taken += fanPart[j] * spread_[j];
        }
        for (int j = 0, i = 0; i < static_cast<int>(branches_.size()); ++i) {
            const Branch &b = branches_[static_cast<std::size_t>(i)];
            const double step =
                b.lowRank ? fanPart[j++] * b.base / (b.base - b.slope)
                          : (solvedDrop(b) - dropAcross(b, taken) - residual[static_cast<std::size_t>(i)]) /
                                b.slope;
            dq[b.airway] = step;
            if (b.start != b.end) {
                excess_[b.start] -= step;
                excess_[b.end] += step;
            }
        }
        BalanceTies(ties_, excess_, dq);
        std::fill(excess_.begin(), excess_.end(), 0.0);
        for (int a : freeAirways_)
            if (!std::isfinite(dq[a]))
                return false;
        return true;
    }

    // The fan whose true slope falls furthest below its base slope: the one at or past its fold.
    int stallFan() const {
        int fan = 0;
        double least = std::numeric_limits<double>::infinity();
        for (int i : lowRank_) {
            const Branch &b = branches_[static_cast<std::size_t>(i)];
            if (b.slope / b.base < least) {
                least = b.slope / b.base;
                fan = b.airway;
            }
        }
        return fan;
    }

    const std::vector<double> &flow_;
    double floorFlow_ = 0; // m³/s
    std::vector<int> freeAirways_;
    bool ringsOfTies_ = false;
    std::vector<Branch> branches_;
    std::vector<uint8_t> inForest_;            // by branch: it lies on the walk, its residual 0
    std::vector<JunctionNumbering::Tie> ties_; // outward from each group's root
    std::vector<WalkStep> walk_;
    std::vector<long double> potential_; // Pa, by junction
    std::vector<double> excess_;         // m³/s, by junction
    int unknowns_ = 0;
    JunctionSystem &system_ = WholeNetworkJunctions;
    std::vector<int> lowRank_; // branches
    std::vector<Eigen::VectorXd> spread_;
    Eigen::LLT<Eigen::MatrixXd> capacitance_;
    bool stalled_ = false;
};

} // namespace

BalanceCertificate CertifyBalance(const std::vector<double> &flow, std::vector<double> *correction) {
    Certifier certifier(flow);
    return certifier.Run(correction);
}
