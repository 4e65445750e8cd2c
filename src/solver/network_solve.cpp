#include "solver/network_solve.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "solver/checks.h"
#include "solver/disjoint_sets.h"
#include "solver/fan_curves.h"
#include "solver/flow_limits.h"
#include "solver/junction_system.h"
#include "solver/simulation_ui.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Steps before the solve gives the rest to the sweeps.
constexpr int MostSteps = 60;
// Of the largest resistance in a cluster of airways, the resistance at or above which the first airway
// that leads out of it must lie for the cluster to be negligible: its airways then join their junctions
// into one unknown, as airways without resistance, so that no slope of the system is too small beside the
// others for the steps to resolve it; their losses are still taken at their flows, so the flows the steps
// settle on are those of their own resistances.
constexpr double TieShare = 1e-6;
// Of the steepest slope, the slope of a branch whose law gives none (a fan without resistance on a level or
// rising run of its curve), so that the system stays positive definite.
constexpr double LeastSlopeShare = 1e-12;
// The weight of an airway without resistance in a ring of such airways: equal small resistances split it,
// and any resistance of its own outweighs it.
constexpr double LeastWeight = 1e-30;
// Of the largest flow, the part that one Newton step may still change once the flows are as exact as the
// arithmetic holds them: the rounding of a single step, finer than that of a sweep's many corrections.
constexpr double StepRoundingShare = 1e-13;
// Of the tolerance, the size of a step that is taken whole and ends the solve. The error it leaves is a
// fraction of it near the solution, and the step itself where a stagnant airway's flow halves each step;
// within half the tolerance unless the steps were to shrink by less than a fiftieth each.
constexpr double ToleranceShare = 0.01;
// A step is kept when the content falls by at least this share of what its rate promises.
constexpr double Sufficient = 1e-4;
// Of the sizes of the terms of a sum over the airways, the part that its rounding can make up.
constexpr double SumRounding = 1e-12;

// The integral over the flow from a to b of the curve's pressure less its value at a (Pa·m³/s), piece by
// piece, so that its rounding follows the size of the integral and not of the pressures.
double riseAlong(const FanCurvePoints &curve, double a, double b) {
    const double base = curve.OnPiece(curve.PieceAt(a), a);
    const double sign = a > b ? -1 : 1;
    double sum = 0;
    for (double x = std::min(a, b), last = std::max(a, b); x < last;) {
        const int piece = curve.PieceAt(x);
        const double end = std::min(last, curve.PieceEnd(piece));
        sum += (end - x) * ((curve.OnPiece(piece, x) - base) + (curve.OnPiece(piece, end) - base)) / 2;
        x = end;
    }
    return sign * sum;
}

// R times the integral over the flow from q to q + step of x|x| less q|q| (Pa·m³/s): the content's change
// beyond its rate, worked so that its rounding follows its own size.
double frictionRise(double resistance, double q, double step) {
    const double r = q + step;
    if (q >= 0 && r >= 0)
        return resistance * step * step * (q + step / 3);
    if (q <= 0 && r <= 0)
        return -resistance * step * step * (q + step / 3);
    return resistance * ((r * r * std::fabs(r) - q * q * std::fabs(q)) / 3 - q * std::fabs(q) * step);
}

// A free airway with a law of its own: its slot, the unknowns of its start and end junctions (-1 for the
// junctions whose pressure is the reference, -2 for both ends of an airway that closes a loop on itself),
// its junctions, its resistance (Ns²/m⁸) and what drives it.
struct Branch {
    int airway = 0;
    int from = -1, to = -1;
    int start = 0, end = 0;
    double resistance = 0;
    int solverFan = 0;        // 0 none, -1 fixed pressure, else the solver fan
    int curve = -1;           // index into the fan curves, -1 without a curve
    double fixedPressure = 0; // Pa, of a fixed-pressure airway
    bool chord = false;       // the chord of a corrected mesh
    // Where the branch's weight lies among the system's links; -1 where it grounds an unknown instead.
    int between = -1;
};

// An airway of the rings: its slot, its junctions, the unknowns of the rings' system at them (-1 for the
// top of their web, -2 for both ends of an airway that closes a loop on itself) and where its weight lies
// among the system's links (-1 where it grounds an unknown instead).
struct RingAirway {
    int airway = 0;
    int start = 0, end = 0;
    int from = -1, to = -1;
    int between = -1;
};

// Adds to a junctions' system the link of a conductance (m³/s per Pa) between unknowns from and to (-1 the
// reference), whose weight lies at between (-1 where it grounds the other unknown instead), and to the
// right-hand side the flow c it drives from from to to.
void addLink(JunctionSystem &system, Eigen::VectorXd &rhs, int from, int to, int between, double conductance,
             double c) {
    if (from >= 0)
        rhs[from] += c;
    if (to >= 0)
        rhs[to] -= c;
    if (between >= 0)
        system.Weights()[between] += conductance;
    else
        system.Grounding()[from >= 0 ? from : to] += conductance;
}

// A junction of the meshes' tree reached from its parent through an airway, which runs from the junction
// to the parent, or the other way.
struct TreeStep {
    int node = 0, parent = 0, airway = 0;
    bool fromNode = false;
};

using Tie = JunctionNumbering::Tie;
using Ring = JunctionNumbering::Ring;

// Builds the numbering of the junctions for a junction solve.
class Numberer {
public:
    explicit Numberer(const std::vector<SolveRole> &role) : role_(role) {}

    JunctionNumbering Build() {
        const std::vector<SolveRole> &role = role_;
        const int n = AirwayCount;
        const int nodes = NodeCount;
        const std::vector<uint8_t> tie = NegligibleAirways(role);
        // The connected parts of the free airways, and the junctions they meet.
        DisjointSets parts(nodes);
        std::vector<uint8_t> used(nodes + 1, 0);
        for (int a = 1; a <= n; ++a) {
            if (role[static_cast<std::size_t>(a)] == SolveRole::Known)
                continue;
            const int s = std::abs(AirwayStartNode(a)), e = std::abs(AirwayEndNode(a));
            parts.Unite(s, e);
            used[s] = used[e] = 1;
        }
        DisjointSets groups = groupTies(role, tie, used);
        const std::vector<int> groupUnknown = numberUnknowns(groups, parts, used);
        auto unknownOf = [&](int v) { return groupUnknown[groups.Find(v)]; };
        makeBranches(role, tie, groups, groupUnknown);
        // Each unknown is known by the least key of its junctions, which stays the same from run to run.
        out_.identity.assign(static_cast<std::size_t>(out_.unknowns), std::numeric_limits<Currency>::max());
        auto keepLeastKey = [&](int v, Currency key) {
            if (v >= 1 && v <= nodes && unknownOf(v) >= 0)
                out_.identity[unknownOf(v)] = std::min(out_.identity[unknownOf(v)], key);
        };
        for (int a = 1; a <= n; ++a) {
            keepLeastKey(std::abs(AirwayStartNode(a)), AirwayStartKey(a));
            keepLeastKey(std::abs(AirwayEndNode(a)), AirwayEndKey(a));
        }
        out_.links.reserve(out_.branches.size());
        for (const JunctionNumbering::Branch &b : out_.branches)
            if (b.from >= 0 && b.to >= 0 && b.from != b.to)
                out_.links.emplace_back(b.from, b.to);
        return std::move(out_);
    }

private:
    // The groups of junctions joined by ties, each tie listed from its group's root outwards and each ring
    // they close: the meshes' tree airways first, so that a ring of them is closed by a chord, whose mesh
    // is the ring.
    DisjointSets groupTies(const std::vector<SolveRole> &role, const std::vector<uint8_t> &tie,
                           const std::vector<uint8_t> &used) {
        const int nodes = NodeCount;
        DisjointSets groups(nodes);
        std::vector<std::vector<std::pair<int, int>>> joined(static_cast<std::size_t>(nodes) + 1);
        std::vector<int> closing;
        for (const SolveRole pass : {SolveRole::Free, SolveRole::Chord})
            for (int a = 1; a <= AirwayCount; ++a) {
                if (role[static_cast<std::size_t>(a)] != pass || !tie[static_cast<std::size_t>(a)])
                    continue;
                out_.freeAirways.push_back(a);
                const int s = std::abs(AirwayStartNode(a)), e = std::abs(AirwayEndNode(a));
                if (groups.Find(s) == groups.Find(e)) {
                    closing.push_back(a);
                    continue;
                }
                groups.Unite(s, e);
                joined[s].emplace_back(e, a);
                joined[e].emplace_back(s, a);
            }
        orderTies(joined, used, closing);
        return groups;
    }

    // The unknown of each group of junctions (by its representative), -1 for none: in each connected part
    // the surface's group, or else its lowest junction's, holds the reference pressure.
    std::vector<int> numberUnknowns(DisjointSets &groups, DisjointSets &parts,
                                    const std::vector<uint8_t> &used) {
        const int nodes = NodeCount;
        int surface = 0;
        for (int a = 1; a <= AirwayCount && surface == 0; ++a) {
            if (AirwayStartKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayStartNode(a));
            else if (AirwayEndKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayEndNode(a));
        }
        std::vector<int> reference(nodes + 1, 0); // per part's representative: the group held at 0
        if (surface > 0 && used[surface])
            reference[parts.Find(surface)] = groups.Find(surface);
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && reference[parts.Find(v)] == 0)
                reference[parts.Find(v)] = groups.Find(v);
        std::vector<int> groupUnknown(nodes + 1, -1);
        out_.unknowns = 0;
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && groups.Find(v) == v && reference[parts.Find(v)] != v)
                groupUnknown[v] = out_.unknowns++;
        return groupUnknown;
    }

    // A branch for every free airway that is not a tie, between the unknowns of its junctions' groups.
    void makeBranches(const std::vector<SolveRole> &role, const std::vector<uint8_t> &tie,
                      DisjointSets &groups, const std::vector<int> &groupUnknown) {
        for (int a = 1; a <= AirwayCount; ++a) {
            if (role[static_cast<std::size_t>(a)] == SolveRole::Known || tie[static_cast<std::size_t>(a)])
                continue;
            const int s = std::abs(AirwayStartNode(a)), e = std::abs(AirwayEndNode(a));
            out_.freeAirways.push_back(a);
            JunctionNumbering::Branch b;
            b.airway = a;
            b.start = s;
            b.end = e;
            b.from = groupUnknown[groups.Find(s)];
            b.to = groupUnknown[groups.Find(e)];
            b.chord = role[static_cast<std::size_t>(a)] == SolveRole::Chord;
            if (groups.Find(s) == groups.Find(e))
                b.from = b.to = -2; // a loop of its own: no junction balance
            out_.branches.push_back(b);
        }
    }

    // Lists the ties of each group from its root outwards, so that taken backwards every tie's child has
    // been balanced by the ties beyond it; then the ring that each closing airway closes.
    void orderTies(const std::vector<std::vector<std::pair<int, int>>> &joined,
                   const std::vector<uint8_t> &used, const std::vector<int> &closing) {
        const std::size_t nodes = joined.size();
        std::vector<uint8_t> seen(nodes, 0);
        std::vector<int> depth(nodes, 0), up(nodes, -1); // per junction: the tie to its parent
        for (std::size_t root = 1; root < nodes; ++root) {
            if (seen[root] || joined[root].empty() || !used[root])
                continue;
            seen[root] = 1;
            for (std::size_t next = out_.ties.size(), v = root;;) {
                for (const auto &[other, airway] : joined[v]) {
                    if (seen[static_cast<std::size_t>(other)])
                        continue;
                    seen[static_cast<std::size_t>(other)] = 1;
                    depth[other] = depth[v] + 1;
                    up[other] = static_cast<int>(out_.ties.size());
                    out_.ties.push_back(
                        Tie{airway, other, static_cast<int>(v), std::abs(AirwayStartNode(airway)) == other});
                }
                if (next == out_.ties.size())
                    break;
                v = static_cast<std::size_t>(out_.ties[next++].child);
            }
        }
        for (int a : closing) {
            Ring ring;
            ring.airways.emplace_back(a, 1.0);
            int from = std::abs(AirwayEndNode(a)), to = std::abs(AirwayStartNode(a));
            std::vector<std::pair<int, double>> down; // from the meeting junction down to the start
            while (from != to) {
                const bool climbFrom = depth[from] >= depth[to];
                const Tie &tie = out_.ties[static_cast<std::size_t>(up[climbFrom ? from : to])];
                if (climbFrom) {
                    ring.airways.emplace_back(tie.airway, tie.towardParent ? 1.0 : -1.0);
                    from = tie.parent;
                } else {
                    down.emplace_back(tie.airway, tie.towardParent ? -1.0 : 1.0);
                    to = tie.parent;
                }
            }
            ring.airways.insert(ring.airways.end(), down.rbegin(), down.rend());
            out_.rings.push_back(std::move(ring));
        }
    }

    const std::vector<SolveRole> &role_;
    JunctionNumbering out_;
};

class NewtonSolve {
public:
    NewtonSolve(std::vector<double> &flow, const std::vector<SolveRole> &role, double tolerance,
                const CarryThroughMeshes &carry, JunctionSystem &junctions)
        : flow_(flow), tolerance_(tolerance), carry_(carry), system_(junctions) {
        number(role);
    }

    NetworkSolveResult Run() {
        NetworkSolveResult result;
        if (branches_.empty() && rings_.empty())
            return result;
        // The flows given are written only once the solve has found its own.
        std::vector<double> q(flow_.size(), 0.0), d(flow_.size(), 0.0);
        for (int a : freeAirways_) {
            q[a] = flow_[a];
            largestFlow_ = std::max(largestFlow_, std::fabs(q[a]));
        }
        double lastStep = std::numeric_limits<double>::infinity();
        int stalled = 0;
        for (;;) {
            if (RunState == 255) {
                result.stopped = true;
                return result;
            }
            // Steps run out, a system that cannot be solved or no step that lowers the content: the flows
            // reached so far are the best the solve has, and the sweeps go on from them.
            if (result.steps == MostSteps || !direction(q, d))
                break;
            double largestStep = 0;
            for (int a : freeAirways_)
                largestStep = std::max(largestStep, std::fabs(d[a]));
            const bool rounding = largestStep <= StepRoundingShare * std::max(1.0, largestFlow_);
            const bool withinTolerance = largestStep <= ToleranceShare * tolerance();
            // Steps this small are taken whole: the content cannot judge them better than its rounding.
            const double t = rounding || withinTolerance ? 1.0 : stepLength(q, d);
            if (t == 0)
                break;
            largestFlow_ = 0;
            for (int a : freeAirways_) {
                q[a] += t * d[a];
                largestFlow_ = std::max(largestFlow_, std::fabs(q[a]));
            }
            ++result.steps;
            SimUi().PumpEvents();
            if (rounding || withinTolerance) {
                result.errorBound = largestStep;
                break;
            }
            // Near the solution each step squares the error; small steps that stop shrinking are rounding,
            // which the sweeps finish.
            const bool small = largestStep <= 1e-11 * largestFlow_;
            stalled = t == 1 && small && largestStep > lastStep / 2 ? stalled + 1 : 0;
            if (stalled == 2)
                break;
            lastStep = largestStep;
        }
        if (result.steps == 0)
            return result;
        for (int a : freeAirways_)
            flow_[a] = q[a];
        result.solved = true;
        return result;
    }

private:
    // The tolerance, raised to what single-precision flows hold at the largest flow.
    double tolerance() const { return std::max(tolerance_, FlowErrorFloor(largestFlow_)); }

    // Takes the numbering of the junctions, gives each branch what drives it and defines the system.
    void number(const std::vector<SolveRole> &role) {
        const int n = AirwayCount;
        const int nodes = NodeCount;
        JunctionNumbering numbering = NumberJunctions(role);
        freeAirways_ = std::move(numbering.freeAirways);
        ties_ = std::move(numbering.ties);
        rings_ = std::move(numbering.rings);
        unknowns_ = numbering.unknowns;
        for (const JunctionNumbering::Branch &numbered : numbering.branches) {
            const int a = numbered.airway;
            Branch b;
            b.airway = a;
            b.start = numbered.start;
            b.end = numbered.end;
            b.from = numbered.from;
            b.to = numbered.to;
            b.chord = numbered.chord;
            b.resistance = AirwayResistance(a);
            b.solverFan = static_cast<int>(AirwaySolverFan(a));
            b.fixedPressure = AirwayPressure(a);
            if (b.solverFan > 0) {
                b.curve = static_cast<int>(curves_.size());
                curves_.push_back(SolverFanCurve(a, b.solverFan));
            }
            branches_.push_back(b);
        }
        indexRings();
        orderTree();
        // The matrix's pattern is the network's: it is analysed once.
        system_.Define(numbering.identity, numbering.links);
        for (Branch &b : branches_)
            if (b.from >= 0 && b.to >= 0)
                b.between = system_.Link(b.from, b.to);
        excess_.assign(static_cast<std::size_t>(nodes) + 1, 0.0);
        loss_.assign(static_cast<std::size_t>(n) + 1, 0.0);
        slope_.resize(branches_.size());
        residual_.resize(branches_.size());
        potential_.assign(static_cast<std::size_t>(nodes) + 1, 0.0);
        potentialLow_.assign(static_cast<std::size_t>(nodes) + 1, 0.0);
    }

    // Each airway of the rings once, between the unknowns of the rings' own system: every junction of the
    // rings but the top of each web of them, where its rings meet the rest of its group; and the ties of
    // the rings, from the root outwards.
    void indexRings() {
        const int nodes = NodeCount;
        std::vector<uint8_t> listed(static_cast<std::size_t>(AirwayCount) + 1, 0);
        for (const Ring &ring : rings_)
            for (const auto &[a, along] : ring.airways)
                if (!listed[a]) {
                    listed[a] = 1;
                    if (a == ring.airways.front().first) // each ring's own, for no other runs along it
                        ringClosing_.push_back(static_cast<int>(ringAirways_.size()));
                    ringAirways_.push_back(
                        RingAirway{a, std::abs(AirwayStartNode(a)), std::abs(AirwayEndNode(a))});
                }
        std::vector<int> unknown(static_cast<std::size_t>(nodes) + 1, -1);
        std::vector<int64_t> identity;
        for (const Tie &tie : ties_)
            if (listed[tie.airway]) {
                ringTies_.push_back(tie);
                unknown[tie.child] = static_cast<int>(identity.size());
                identity.push_back(tie.child);
            }
        std::vector<std::pair<int, int>> links;
        for (RingAirway &r : ringAirways_) {
            r.from = r.start == r.end ? -2 : unknown[r.start];
            r.to = r.start == r.end ? -2 : unknown[r.end];
            if (r.from >= 0 && r.to >= 0 && r.from != r.to)
                links.emplace_back(r.from, r.to);
        }
        ringUnknowns_ = static_cast<int>(identity.size());
        if (ringUnknowns_ == 0)
            return;
        ringSystem_.Define(identity, links);
        for (RingAirway &r : ringAirways_)
            if (r.from >= 0 && r.to >= 0)
                r.between = ringSystem_.Link(r.from, r.to);
    }

    // The meshes' tree in walking order, parents before children, from each root.
    void orderTree() {
        const int nodes = NodeCount;
        std::vector<int> first(nodes + 2, 0), child(nodes, 0);
        auto parentOf = [](int c) {
            return c < 0 ? std::abs(AirwayStartNode(-c)) : std::abs(AirwayEndNode(c));
        };
        for (int v = 1; v <= nodes; ++v)
            if (NodeTreeAirway(v) != 0)
                ++first[parentOf(NodeTreeAirway(v))];
        for (int v = 1; v <= nodes + 1; ++v)
            first[v] += first[v - 1];
        for (int v = 1; v <= nodes; ++v)
            if (NodeTreeAirway(v) != 0)
                child[--first[parentOf(NodeTreeAirway(v))]] = v;
        for (int root = 1; root <= nodes; ++root) {
            if (NodeTreeAirway(root) != 0)
                continue;
            for (std::size_t next = treeInOrder_.size(), v = static_cast<std::size_t>(root);;) {
                for (int i = first[v]; i < first[v + 1]; ++i) {
                    const int c = NodeTreeAirway(child[i]);
                    treeInOrder_.push_back(TreeStep{child[i], static_cast<int>(v), std::abs(c), c > 0});
                }
                if (next == treeInOrder_.size())
                    break;
                v = static_cast<std::size_t>(treeInOrder_[next++].node);
            }
        }
    }

    // Pressure lost along branch b at flow q (Pa) and the slope (Pa per m³/s) of its law there: that of its
    // friction less its fan's where the fan's pressure varies with the flow, held above the friction's
    // slope at a small flow, so that the system stays positive definite. Where that leaves nothing (no
    // resistance, a fan off its curve or a fixed pressure), the slope the sweeps take for the fan; 0 where
    // even that is nothing.
    void loss(const Branch &b, double q, double &h, double &slope) const {
        h = b.resistance * q * std::fabs(q);
        const double friction = 2 * b.resistance * std::fabs(q);
        const double floor = 2 * b.resistance * floorFlow_;
        slope = std::max(friction, floor);
        if (b.solverFan == 0)
            return;
        double p = b.fixedPressure, dp = 0;
        const int region = FanPressureAtFlow(b.airway, b.solverFan, q, p, dp);
        h -= p;
        if (b.solverFan > 0 && region == CurveRegion::On)
            slope = std::max(friction - dp, floor);
        if (!(slope > 0))
            slope = std::max(friction - dp, 0.0);
    }

    // How much the branch's part of the content changes (Pa·m³/s) beyond what its loss at q gives, when its
    // flow goes from q to q + step.
    double contentRise(const Branch &b, double q, double step) const {
        double rise = frictionRise(b.resistance, q, step);
        if (b.curve >= 0)
            rise -= riseAlong(curves_[static_cast<std::size_t>(b.curve)], q, q + step);
        return rise;
    }

    // The loss of chord b less the pressure drop the tree airways give between its ends (Pa): the pressure
    // sum of its mesh, the difference of the two-double pressures worked exactly.
    double chordResidual(const Branch &b) const {
        const double high = potential_[b.start], other = potential_[b.end];
        const double drop = high - other, part = drop - high;
        const double lost = (high - (drop - part)) + (-other - part);
        return (loss_[b.airway] - drop) - (lost + (potentialLow_[b.start] - potentialLow_[b.end]));
    }

    // All rings take together the circulations that balance them at the flows the step leaves (each airway
    // weighed by its resistance, or where it has none by equal small ones): Newton's method on the flows
    // of the rings' airways, which keep what the step leaves at each junction and make the least of
    // the sum over them of w|x|³/3, so that their losses are those of a potential. Each step solves for
    // that potential over the rings' junctions, a system as sparse as the rings' airways, so that rings
    // sharing airways settle at once, as one ring would; the closing airways' changes are the rings'
    // circulations, and the ties' follow from them along the groups' trees.
    void settleRings(const std::vector<double> &q, std::vector<double> &d) {
        std::vector<double> &after = ringFlow_, &tieChange = ringTieChange_;
        after.assign(q.size(), 0.0);
        tieChange.assign(q.size(), 0.0);
        for (const RingAirway &r : ringAirways_)
            after[r.airway] = q[r.airway] + d[r.airway];
        for (const Ring &ring : rings_) {
            const int closing = ring.airways.front().first;
            d[closing] = 0;
            after[closing] = q[closing];
        }
        Eigen::VectorXd rhs(ringUnknowns_), potential;
        auto potentialAt = [&](int u) { return u >= 0 ? potential[u] : 0.0; };
        // An airway's weight and the slope of its loss w x|x| at flow x.
        auto weightAndSlope = [&](int a, double x) {
            const double w = std::max<double>(AirwayResistance(a), LeastWeight);
            return std::pair{w, 2 * w * std::max(std::fabs(x), floorFlow_)};
        };
        double lastChange = std::numeric_limits<double>::infinity(); // m³/s
        for (int k = 0; k < 60; ++k) {
            // Each airway's change is (drop - w x|x|)/slope, its slope 2 w max(|x|, floor).
            if (ringUnknowns_ > 0) {
                rhs.setZero();
                ringSystem_.ClearValues();
                for (const RingAirway &r : ringAirways_) {
                    if (r.from == -2)
                        continue;
                    const double x = after[r.airway];
                    const auto [w, slope] = weightAndSlope(r.airway, x);
                    const double conductance = 1 / slope;
                    const double c = w * x * std::fabs(x) * conductance;
                    addLink(ringSystem_, rhs, r.from, r.to, r.between, conductance, c);
                }
                if (!ringSystem_.Factorize() || !ringSystem_.Solve(rhs, potential))
                    return;
            }
            double change = 0;
            for (const int i : ringClosing_) {
                const RingAirway &r = ringAirways_[static_cast<std::size_t>(i)];
                const int closing = r.airway;
                const double x = after[closing];
                const auto [w, slope] = weightAndSlope(closing, x);
                const double drop = r.from == -2 ? 0.0 : potentialAt(r.from) - potentialAt(r.to);
                const double circulation = (drop - w * x * std::fabs(x)) / slope;
                after[closing] += circulation;
                d[closing] += circulation;
                excess_[r.start] -= circulation;
                excess_[r.end] += circulation;
                change = std::max(change, std::fabs(circulation));
            }
            BalanceTies(ringTies_, excess_, tieChange);
            for (const Tie &tie : ringTies_)
                after[tie.airway] += tieChange[tie.airway];
            for (const RingAirway &r : ringAirways_)
                excess_[r.start] = excess_[r.end] = 0;
            // Done at the rounding, or once the changes, far within what the steps can see, stop shrinking:
            // the rounding of the large circulations a first step may give.
            if (!(change > StepRoundingShare * largestFlow_) ||
                (change >= lastChange / 2 && change <= ToleranceShare * tolerance()))
                return;
            lastChange = change;
        }
    }

    // The Newton step d from flows q: each branch's law linearised at its flow; the junction pressures
    // walked along the meshes' tree so that the tree airways' losses are met exactly, leaving the chords'
    // residuals; the balances solved for what the step changes of the pressures; the ties' flows from the
    // balances of their junctions, the rings' circulations from their balances, together; and the whole
    // carried through the meshes. False when the system cannot be solved.
    bool direction(const std::vector<double> &q, std::vector<double> &d) {
        const std::size_t count = branches_.size();
        floorFlow_ = SlopeFloorFlow(tolerance());
        double steepest = 0;
        bool level = false; // a branch whose law gives no slope
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            loss(b, q[b.airway], loss_[b.airway], slope_[i]);
            if (!std::isfinite(slope_[i]) || !std::isfinite(loss_[b.airway]))
                return false;
            steepest = std::max(steepest, slope_[i]);
            level = level || !(slope_[i] > 0);
        }
        for (double &slope : slope_)
            if (level && !(slope > 0) && !((slope = LeastSlopeShare * steepest) > 0))
                return false;
        for (const Tie &tie : ties_)
            loss_[tie.airway] =
                static_cast<double>(AirwayResistance(tie.airway)) * q[tie.airway] * std::fabs(q[tie.airway]);
        for (const TreeStep &w : treeInOrder_) {
            // Summed with the rounding of each sum kept (two doubles), so that a junction's pressure holds
            // the losses below it however large the losses above it.
            const double h = w.fromNode ? loss_[w.airway] : -loss_[w.airway], above = potential_[w.parent];
            const double sum = above + h, part = sum - above;
            potential_[w.node] = sum;
            potentialLow_[w.node] = potentialLow_[w.parent] + ((above - (sum - part)) + (h - part));
        }
        Eigen::VectorXd rhs = Eigen::VectorXd::Zero(unknowns_);
        // Each branch's weight joins its two unknowns, or grounds the one whose other end is the reference.
        system_.ClearValues();
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            residual_[i] = b.chord ? chordResidual(b) : 0.0;
            if (b.from == -2)
                continue;
            // The branch's step in terms of the changes of its end pressures: (p_from - p_to - r)/g.
            const double w = 1 / slope_[i], c = residual_[i] * w;
            addLink(system_, rhs, b.from, b.to, b.between, w, c);
        }
        Eigen::VectorXd pressure;
        if (!system_.Factorize() || !system_.Solve(rhs, pressure))
            return false;
        auto pressureChangeAt = [&](int v) { return v >= 0 ? pressure[v] : 0.0; };
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            const double drop = b.from == -2 ? 0.0 : pressureChangeAt(b.from) - pressureChangeAt(b.to);
            const double step = (drop - residual_[i]) / slope_[i];
            d[b.airway] = step;
            if (b.start != b.end) {
                excess_[b.start] -= step;
                excess_[b.end] += step;
            }
        }
        // Each tie carries what balances its child, from the outermost in; the group's root is left with
        // what the linear solve left over.
        BalanceTies(ties_, excess_, d);
        for (const Branch &b : branches_)
            excess_[b.start] = excess_[b.end] = 0;
        for (const Tie &tie : ties_)
            excess_[tie.parent] = 0;
        if (!rings_.empty())
            settleRings(q, d);
        carry_(d);
        return true;
    }

    // How much of step d to take from q: the whole step when the content falls enough, else less, found by
    // fitting a parabola to the content along the step. 0 when no step lowers it. The content's rate along
    // the step is the chords' residuals against their steps, for the step is a circulation; what it changes
    // beyond that rate is summed airway by airway, so the judgement's rounding follows the step.
    double stepLength(const std::vector<double> &q, const std::vector<double> &d) const {
        double rate = 0, noise = 0;
        for (std::size_t i = 0; i < branches_.size(); ++i) {
            const double term = residual_[i] * d[branches_[i].airway];
            rate += term;
            noise += std::fabs(term);
        }
        for (const Ring &ring : rings_) {
            double sum = 0;
            for (const auto &[a, along] : ring.airways)
                sum += along * AirwayResistance(a) * q[a] * std::fabs(q[a]);
            rate += sum * d[ring.airways.front().first];
        }
        noise *= SumRounding;
        // A step of the rings alone, whose airways have no resistance to speak of, is taken whole.
        if (std::all_of(branches_.begin(), branches_.end(),
                        [&](const Branch &b) { return d[b.airway] == 0; }))
            return 1.0;
        if (!(rate < -noise))
            return 0.0;
        double t = 1;
        for (int tries = 0; tries < 80; ++tries) {
            double rise = 0, riseNoise = 0;
            auto add = [&](double term) {
                rise += term;
                riseNoise += std::fabs(term);
            };
            for (const Branch &b : branches_)
                if (d[b.airway] != 0)
                    add(contentRise(b, q[b.airway], t * d[b.airway]));
            for (const Tie &tie : ties_)
                add(frictionRise(AirwayResistance(tie.airway), q[tie.airway], t * d[tie.airway]));
            const double change = rise + t * rate;
            if (change <= Sufficient * t * rate + SumRounding * riseNoise + t * noise)
                return t;
            const double fitted = -rate * t * t / (2 * (change - rate * t));
            t = std::clamp(std::isfinite(fitted) ? fitted : t / 10, t / 10, t / 2);
        }
        return 0;
    }

    std::vector<double> &flow_;
    double tolerance_; // m³/s
    const CarryThroughMeshes &carry_;
    std::vector<Branch> branches_;
    std::vector<Tie> ties_;
    std::vector<Ring> rings_;
    std::vector<int> freeAirways_;
    std::vector<FanCurvePoints> curves_;
    std::vector<TreeStep> treeInOrder_; // the meshes' tree, each junction after its parent
    int unknowns_ = 0;
    double largestFlow_ = 0; // m³/s, of the flows the next step starts from
    double floorFlow_ = 0;   // m³/s, below which friction is linearised as at it
    // Pa: by airway slot, the loss at the step's flows; by junction, the tree airways' losses walked from the
    // root, as the sum and the rounding it left, so that the chords' residuals, their differences, hold the
    // pressures of stagnant airways far below the rounding of the network's pressures.
    std::vector<double> loss_, potential_, potentialLow_;
    std::vector<double> residual_, slope_; // Pa and Pa per m³/s, by branch
    std::vector<double> excess_; // m³/s of a step left at each junction, while the ties are balanced
    // m³/s, by airway slot: the rings' flows as they are settled, and the ties' changes of one Newton step.
    std::vector<double> ringFlow_, ringTieChange_;
    // The rings' airways, each once, their ties from the root outwards, and the system over the
    // rings' junctions with the count of its unknowns.
    std::vector<RingAirway> ringAirways_;
    std::vector<int> ringClosing_; // by ring: where its closing airway lies among them
    std::vector<Tie> ringTies_;
    JunctionSystem ringSystem_;
    int ringUnknowns_ = 0;
    JunctionSystem &system_; // the owner's, kept from one solve to the next
};

} // namespace

JunctionSystem WholeNetworkJunctions;

std::vector<uint8_t> NegligibleAirways(const std::vector<SolveRole> &role) {
    const int n = AirwayCount;
    // In rising order of resistance, equal ones in slot order.
    std::vector<std::pair<float, int>> order;
    order.reserve(static_cast<std::size_t>(n));
    for (int a = 1; a <= n; ++a)
        if (role[static_cast<std::size_t>(a)] != SolveRole::Known && AirwaySolverFan(a) == 0)
            order.emplace_back(AirwayResistance(a), a);
    std::sort(order.begin(), order.end());
    std::vector<uint8_t> tie(static_cast<std::size_t>(n) + 1, 0);
    const auto nodes = static_cast<std::size_t>(NodeCount) + 1;
    DisjointSets clusters(NodeCount);
    // Per cluster (its representative): its largest resistance (Ns²/m⁸, -1 for none yet) and its airways
    // not yet found negligible, as a list threaded through `nextMember` (by airway slot, 0 ends it).
    std::vector<double> largest(nodes, -1.0);
    std::vector<int> firstMember(nodes, 0), lastMember(nodes, 0), nextMember(static_cast<std::size_t>(n) + 1, 0);
    // Per cluster: a fan or a fixed pressure works on it. Its flows are then driven from within, not through
    // the airways leading out of it, so however far above it those lie its airways are never negligible: a
    // district sealed off by stoppings leaves the mine around its fan as it is.
    std::vector<uint8_t> driven(nodes, 0);
    for (int a = 1; a <= n; ++a)
        if (role[static_cast<std::size_t>(a)] != SolveRole::Known && AirwaySolverFan(a) != 0)
            driven[std::abs(AirwayStartNode(a))] = driven[std::abs(AirwayEndNode(a))] = 1;
    for (const auto &[resistance, a] : order) {
        const double r = resistance;
        if (!(r > 0))
            tie[static_cast<std::size_t>(a)] = 1;
        const int s = clusters.Find(std::abs(AirwayStartNode(a))),
                  e = clusters.Find(std::abs(AirwayEndNode(a)));
        if (s == e && largest[s] >= 0 && r >= largest[s] / TieShare)
            continue; // in parallel with a cluster far below it: it carries what the cluster leaves
        if (s != e)
            for (const int c : {s, e})
                if (!driven[c] && largest[c] >= 0 && r >= largest[c] / TieShare) {
                    for (int m = firstMember[c]; m != 0; m = nextMember[m])
                        tie[static_cast<std::size_t>(m)] = 1;
                    firstMember[c] = lastMember[c] = 0;
                }
        const int joined = clusters.Unite(s, e), other = joined == s ? e : s;
        driven[joined] = driven[s] | driven[e];
        if (other != joined && firstMember[other] != 0) {
            if (firstMember[joined] == 0)
                firstMember[joined] = firstMember[other];
            else
                nextMember[lastMember[joined]] = firstMember[other];
            lastMember[joined] = lastMember[other];
            firstMember[other] = lastMember[other] = 0;
        }
        if (firstMember[joined] == 0)
            firstMember[joined] = a;
        else
            nextMember[lastMember[joined]] = a;
        lastMember[joined] = a;
        largest[joined] = r;
    }
    return tie;
}

JunctionNumbering NumberJunctions(const std::vector<SolveRole> &role) {
    return Numberer(role).Build();
}

void BalanceTies(const std::vector<JunctionNumbering::Tie> &ties, std::vector<double> &excess,
                 std::vector<double> &flow) {
    for (auto tie = ties.rbegin(); tie != ties.rend(); ++tie) {
        const double over = excess[static_cast<std::size_t>(tie->child)];
        flow[static_cast<std::size_t>(tie->airway)] = tie->towardParent ? over : -over;
        excess[static_cast<std::size_t>(tie->parent)] += over;
        excess[static_cast<std::size_t>(tie->child)] = 0;
    }
}

NetworkSolveResult SolveNetworkByNewton(std::vector<double> &flow, const std::vector<SolveRole> &role,
                                        double tolerance, const CarryThroughMeshes &carry,
                                        JunctionSystem &junctions) {
    NewtonSolve solve(flow, role, tolerance, carry, junctions);
    return solve.Run();
}
