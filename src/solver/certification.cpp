#include "solver/certification.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "solver/checks.h"
#include "solver/disjoint_sets.h"
#include "solver/fan_curves.h"
#include "solver/flow_limits.h"
#include "solver/junction_system.h"

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
// Of the network's typical resistance (the median of its free airways without fan), the resistance at or
// below which an airway without fan joins its two junctions, as in the whole-network solve, so that the
// junctions' system has the same pattern (its order is kept) and no slope too small to resolve.
constexpr double TieShare = 1e-6;
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
    int fromDiagonal = -1, toDiagonal = -1, between = -1;
    double weight() const { return 1 / (lowRank ? base : slope); }
};

// An airway of negligible resistance that joins two junctions: its flow follows from the balance of the
// junction beyond it, child.
struct Tie {
    int airway = 0, child = 0, parent = 0;
    bool towardParent = false;
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
    // The free airways (those of corrected meshes), the ties joining junctions, the unknowns (one per
    // group of joined junctions, a reference in each connected part) and the walk that gives every junction
    // a pressure along the ties first, so that no tie is left with a residual of its own.
    void number() {
        const int n = AirwayCount, nodes = NodeCount;
        std::vector<uint8_t> free(static_cast<std::size_t>(n) + 1, 0);
        for (int m = 1; m <= MeshCount; ++m)
            if (MeshAirwayList(MeshStart(m)) > 0)
                for (int i = MeshStart(m); i < MeshStart(m + 1); ++i)
                    free[std::abs(MeshAirwayList(i))] = 1;
        std::vector<double> resistances;
        for (int a = 1; a <= n; ++a)
            if (free[a] && AirwaySolverFan(a) == 0 && AirwayResistance(a) > 0 &&
                AirwayResistance(a) < BulkheadResistance)
                resistances.push_back(AirwayResistance(a));
        double typical = 0;
        if (!resistances.empty()) {
            const auto middle = resistances.begin() + static_cast<std::ptrdiff_t>(resistances.size() / 2);
            std::nth_element(resistances.begin(), middle, resistances.end());
            typical = *middle;
        }
        auto tied = [&](int a) {
            return AirwaySolverFan(a) == 0 && !(AirwayResistance(a) > TieShare * typical);
        };
        auto ends = [](int a) { return std::pair{std::abs(AirwayStartNode(a)), std::abs(AirwayEndNode(a))}; };
        int surface = 0;
        for (int a = 1; a <= n && surface == 0; ++a) {
            if (AirwayStartKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayStartNode(a));
            else if (AirwayEndKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayEndNode(a));
        }
        // The walk's forest: ties first, then the other free airways.
        DisjointSets groups(nodes), forest(nodes), parts(nodes);
        std::vector<std::vector<std::pair<int, int>>> linked(static_cast<std::size_t>(nodes) + 1);
        std::vector<uint8_t> used(static_cast<std::size_t>(nodes) + 1, 0), inForest(free.size(), 0);
        for (const bool ties : {true, false})
            for (int a = 1; a <= n; ++a) {
                if (!free[a] || tied(a) != ties)
                    continue;
                const auto [s, e] = ends(a);
                used[s] = used[e] = 1;
                parts.Unite(s, e);
                if (ties) {
                    freeAirways_.push_back(a);
                    groups.Unite(s, e);
                }
                if (forest.Find(s) == forest.Find(e))
                    continue;
                forest.Unite(s, e);
                inForest[a] = 1;
                linked[s].emplace_back(e, a);
                linked[e].emplace_back(s, a);
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
                    if (tied(a))
                        ties_.push_back(
                            Tie{a, other, static_cast<int>(v), std::abs(AirwayStartNode(a)) == other});
                }
                if (next == walk_.size())
                    break;
                v = static_cast<std::size_t>(walk_[next++].node);
            }
        };
        // Ties are walked within their groups first, so that each tie's child is balanced by the ties
        // beyond it when they are taken backwards; the walk over the rest starts again from each group.
        if (surface > 0 && used[surface])
            walkFrom(surface);
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && !seen[v])
                walkFrom(v);
        std::vector<int> reference(static_cast<std::size_t>(nodes) + 1, 0);
        if (surface > 0 && used[surface])
            reference[parts.Find(surface)] = groups.Find(surface);
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && reference[parts.Find(v)] == 0)
                reference[parts.Find(v)] = groups.Find(v);
        std::vector<int> groupUnknown(static_cast<std::size_t>(nodes) + 1, -1);
        int unknowns = 0;
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && groups.Find(v) == v && reference[parts.Find(v)] != v)
                groupUnknown[v] = unknowns++;
        auto unknownOf = [&](int v) { return groupUnknown[groups.Find(v)]; };
        for (int a = 1; a <= n; ++a) {
            if (!free[a] || tied(a))
                continue;
            freeAirways_.push_back(a);
            Branch b;
            b.airway = a;
            const auto [s, e] = ends(a);
            b.start = s;
            b.end = e;
            b.from = unknownOf(b.start);
            b.to = unknownOf(b.end);
            if (groups.Find(b.start) == groups.Find(b.end))
                b.from = b.to = -2;
            branches_.push_back(b);
            inForest_.push_back(inForest[a] != 0);
        }
        // The same unknowns, known by the least key of their junctions, and links as the whole-network
        // solve's, so that the order of elimination found for it serves here.
        std::vector<int64_t> identity(static_cast<std::size_t>(unknowns),
                                      std::numeric_limits<int64_t>::max());
        auto know = [&](int v, Currency key) {
            if (v >= 1 && v <= nodes && unknownOf(v) >= 0)
                identity[unknownOf(v)] = std::min<int64_t>(identity[unknownOf(v)], key);
        };
        for (int a = 1; a <= n; ++a) {
            know(std::abs(AirwayStartNode(a)), AirwayStartKey(a));
            know(std::abs(AirwayEndNode(a)), AirwayEndKey(a));
        }
        std::vector<std::pair<int, int>> links;
        for (const Branch &b : branches_)
            if (b.from >= 0 && b.to >= 0 && b.from != b.to)
                links.emplace_back(b.from, b.to);
        unknowns_ = unknowns;
        system_.Define(identity, links);
        for (Branch &b : branches_) {
            if (b.from >= 0)
                b.fromDiagonal = system_.Slot(b.from, b.from);
            if (b.to >= 0)
                b.toDiagonal = system_.Slot(b.to, b.to);
            if (b.from >= 0 && b.to >= 0 && b.from != b.to)
                b.between = system_.Slot(b.from, b.to);
        }
        potential_.assign(static_cast<std::size_t>(nodes) + 1, 0.0L);
        excess_.assign(static_cast<std::size_t>(nodes) + 1, 0.0);
    }

    // The branches' true slopes at the flows, the base system factorised and, for the fans whose slope is
    // not their friction's, the small system that takes the base slopes out again. False where the true
    // slopes leave the meshes' matrix not positive definite (a fan at or past the fold of its curve).
    bool slopes() {
        system_.ClearValues();
        double *values = system_.Values();
        lowRank_.clear();
        // Per junction, the steepest slope of the branches at it whose slope is their own: the scale that a
        // branch without slope of its own takes in the base system.
        std::vector<double> steepest(excess_.size(), 0.0);
        for (Branch &b : branches_) {
            double fanSlope = 0;
            const double q = flow_[b.airway];
            lossAt(b.airway, q, fanSlope);
            b.slope = 2 * static_cast<double>(AirwayResistance(b.airway)) * std::max(std::fabs(q), floorFlow_) -
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
            const double w = b.weight();
            if (b.from >= 0)
                values[b.fromDiagonal] += w;
            if (b.to >= 0)
                values[b.toDiagonal] += w;
            if (b.between >= 0)
                values[b.between] -= w;
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
        const int k = static_cast<int>(lowRank_.size());
        Eigen::VectorXd fanPart;
        if (k > 0) {
            Eigen::VectorXd fanRhs(k);
            for (int j = 0; j < k; ++j) {
                const std::size_t i = static_cast<std::size_t>(lowRank_[j]);
                fanRhs[j] = dropAcross(branches_[i], pressure) - residual[i];
            }
            fanPart = capacitance_.solve(fanRhs);
            for (int j = 0; j < k; ++j)
                pressure -= fanPart[j] * spread_[j];
        }
        for (int j = 0, i = 0; i < static_cast<int>(branches_.size()); ++i) {
            const Branch &b = branches_[static_cast<std::size_t>(i)];
            double step;
            if (b.lowRank) {
                step = fanPart[j++] * b.base / (b.base - b.slope);
            } else {
                step = (dropAcross(b, pressure) - residual[static_cast<std::size_t>(i)]) / b.slope;
            }
            dq[b.airway] = step;
            if (b.start != b.end) {
                excess_[b.start] -= step;
                excess_[b.end] += step;
            }
        }
        for (auto tie = ties_.rbegin(); tie != ties_.rend(); ++tie) {
            const double over = excess_[tie->child];
            dq[tie->airway] = tie->towardParent ? over : -over;
            excess_[tie->parent] += over;
            excess_[tie->child] = 0;
        }
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
    std::vector<Branch> branches_;
    std::vector<uint8_t> inForest_; // by branch: it lies on the walk, its residual 0
    std::vector<Tie> ties_;         // outward from each group's first junction
    std::vector<WalkStep> walk_;
    std::vector<long double> potential_; // Pa, by junction
    std::vector<double> excess_;         // m³/s, by junction
    int unknowns_ = 0;
    JunctionSystem system_;
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
