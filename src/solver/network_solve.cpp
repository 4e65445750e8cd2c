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

constexpr int LastPoint = 11;
// Steps before the solve gives the rest to the sweeps.
constexpr int MostSteps = 60;
// Of the network's typical resistance (the median of its free airways without fan), the resistance at or
// below which an airway is negligible: it joins its junctions into one unknown, as one without resistance,
// so that no slope of the system is too small beside the others for the steps to resolve it; its loss is
// still taken at its flow, so the flows the steps settle on are those of its own resistance.
constexpr double TieShare = 1e-6;
// Of the steepest slope, the slope of a branch whose law gives none (a fan without resistance on a level or
// rising run of its curve), so that the system stays positive definite.
constexpr double LeastSlopeShare = 1e-12;
// The weight of an airway without resistance in a ring of such airways: equal small resistances split it,
// and any resistance of its own outweighs it.
constexpr double LeastWeight = 1e-30;
// Of the largest flow, the part that a step may still change once the flows are as exact as the
// arithmetic holds them.
constexpr double RoundingShare = 1e-13;
// Of the tolerance, the size of a step that is taken whole and ends the solve. The error it leaves is a
// fraction of it near the solution, and the step itself where a stagnant airway's flow halves each step;
// within half the tolerance unless the steps were to shrink by less than a fiftieth each.
constexpr double ToleranceShare = 0.01;
// A step is kept when the content falls by at least this share of what its rate promises.
constexpr double Sufficient = 1e-4;
// Of the sizes of the terms of a sum over the airways, the part that its rounding can make up.
constexpr double SumRounding = 1e-12;

// A fan curve as its airway uses it: points 1 .. 11 of flow (m³/s) and blended pressure (Pa). The pressure
// is point 1's below the curve, straight lines between points and nothing beyond the last, as
// FanPressureAtFlow gives it.
struct FanCurve {
    std::array<double, LastPoint + 1> flow{}, pressure{};

    // The piece of the curve that flow q lies on: 0 below point 1, i for the line from point i - 1 to i,
    // LastPoint + 1 beyond the last point.
    int pieceAt(double q) const {
        if (q < flow[1])
            return 0;
        if (q >= flow[LastPoint])
            return LastPoint + 1;
        int i = 2;
        while (i < LastPoint && !(flow[i] > q))
            ++i;
        return i;
    }
    double pieceEnd(int piece) const {
        return piece == 0           ? flow[1]
               : piece <= LastPoint ? flow[piece]
                                    : std::numeric_limits<double>::infinity();
    }
    double onPiece(int piece, double q) const {
        if (piece == 0)
            return pressure[1];
        if (piece > LastPoint)
            return 0;
        const double slope = (pressure[piece - 1] - pressure[piece]) / (flow[piece - 1] - flow[piece]);
        return pressure[piece] + (q - flow[piece]) * slope;
    }
    // The integral over the flow from a to b of the pressure less its value at a (Pa·m³/s), piece by
    // piece, so that its rounding follows the size of the integral and not of the pressures.
    double RiseBetween(double a, double b) const {
        const double base = onPiece(pieceAt(a), a);
        const double sign = a > b ? -1 : 1;
        double sum = 0;
        for (double x = std::min(a, b), last = std::max(a, b); x < last;) {
            const int piece = pieceAt(x);
            const double end = std::min(last, pieceEnd(piece));
            sum += (end - x) * ((onPiece(piece, x) - base) + (onPiece(piece, end) - base)) / 2;
            x = end;
        }
        return sign * sum;
    }
};

FanCurve curveOf(int airway, int solverFan) {
    FanCurve c;
    for (int p = 1; p <= LastPoint; ++p) {
        c.flow[p] = FanSolverFlow(p, solverFan);
        c.pressure[p] = SolverFanPointPressure(p, solverFan, airway);
    }
    return c;
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

// An airway of negligible resistance that joins two junctions into one unknown: its flow follows from the
// balance of the junction beyond it, child, away from the root of its group.
struct Tie {
    int airway = 0;
    int child = 0, parent = 0;
    bool towardParent = false; // the airway runs from child to parent
};

// A junction of the meshes' tree reached from its parent through an airway, which runs from the junction
// to the parent, or the other way.
struct TreeStep {
    int node = 0, parent = 0, airway = 0;
    bool fromNode = false;
};

// A ring closed by airways of negligible resistance: the airway that closes it, then the ties back from its
// end to its start, each with +1 where the ring runs along it.
struct Ring {
    std::vector<std::pair<int, double>> airways;
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
            const bool rounding = largestStep <= RoundingShare * std::max(1.0, largestFlow_);
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

    // Numbers the junctions of the free airways as unknowns, the two ends of an airway of negligible
    // resistance as one: in each connected part the surface, or else its lowest junction, holds the
    // reference pressure.
    void number(const std::vector<SolveRole> &role) {
        const int n = AirwayCount;
        const int nodes = NodeCount;
        auto isFree = [&](int a) { return role[static_cast<std::size_t>(a)] != SolveRole::Known; };
        auto ends = [&](int a) {
            return std::pair{std::abs(AirwayStartNode(a)), std::abs(AirwayEndNode(a))};
        };
        // The network's scale: the median resistance of its free airways without fan.
        std::vector<double> resistances;
        for (int a = 1; a <= n; ++a)
            if (isFree(a) && AirwaySolverFan(a) == 0 && AirwayResistance(a) > 0 &&
                AirwayResistance(a) < BulkheadResistance)
                resistances.push_back(AirwayResistance(a));
        double typical = 0;
        if (!resistances.empty()) {
            const auto middle = resistances.begin() + static_cast<std::ptrdiff_t>(resistances.size() / 2);
            std::nth_element(resistances.begin(), middle, resistances.end());
            typical = *middle;
        }
        auto ties = [&](int a) {
            return AirwaySolverFan(a) == 0 && !(AirwayResistance(a) > TieShare * typical);
        };
        int surface = 0;
        for (int a = 1; a <= n && surface == 0; ++a) {
            if (AirwayStartKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayStartNode(a));
            else if (AirwayEndKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayEndNode(a));
        }
        // The groups of junctions joined by ties: the meshes' tree airways first, so that a ring of them is
        // closed by a chord, whose mesh is the ring.
        DisjointSets groups(nodes);
        std::vector<std::vector<std::pair<int, int>>> joined(static_cast<std::size_t>(nodes) + 1);
        std::vector<int> closing;
        for (const SolveRole pass : {SolveRole::Free, SolveRole::Chord})
            for (int a = 1; a <= n; ++a) {
                if (role[static_cast<std::size_t>(a)] != pass || !ties(a))
                    continue;
                freeAirways_.push_back(a);
                const auto [s, e] = ends(a);
                if (groups.Find(s) == groups.Find(e)) {
                    closing.push_back(a);
                    continue;
                }
                groups.Unite(s, e);
                joined[s].emplace_back(e, a);
                joined[e].emplace_back(s, a);
            }
        DisjointSets parts(nodes);
        std::vector<uint8_t> used(nodes + 1, 0);
        for (int a = 1; a <= n; ++a) {
            if (!isFree(a))
                continue;
            const auto [s, e] = ends(a);
            parts.Unite(s, e);
            used[s] = used[e] = 1;
        }
        orderTies(joined, used, closing);
        std::vector<int> reference(nodes + 1, 0); // per part's representative: the group held at 0
        if (surface > 0 && used[surface])
            reference[parts.Find(surface)] = groups.Find(surface);
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && reference[parts.Find(v)] == 0)
                reference[parts.Find(v)] = groups.Find(v);
        std::vector<int> groupUnknown(nodes + 1, -1);
        unknowns_ = 0;
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && groups.Find(v) == v && reference[parts.Find(v)] != v)
                groupUnknown[v] = unknowns_++;
        auto unknownOf = [&](int v) { return groupUnknown[groups.Find(v)]; };
        for (int a = 1; a <= n; ++a) {
            if (!isFree(a) || ties(a))
                continue;
            const auto [s, e] = ends(a);
            freeAirways_.push_back(a);
            Branch b;
            b.airway = a;
            b.start = s;
            b.end = e;
            b.from = unknownOf(s);
            b.to = unknownOf(e);
            b.resistance = AirwayResistance(a);
            b.solverFan = static_cast<int>(AirwaySolverFan(a));
            b.fixedPressure = AirwayPressure(a);
            b.chord = role[static_cast<std::size_t>(a)] == SolveRole::Chord;
            if (groups.Find(s) == groups.Find(e))
                b.from = b.to = -2; // a loop of its own: no junction balance
            if (b.solverFan > 0) {
                b.curve = static_cast<int>(curves_.size());
                curves_.push_back(curveOf(a, b.solverFan));
            }
            branches_.push_back(b);
        }
        orderTree();
        // The matrix's pattern is the network's: it is analysed once. Each unknown is known by the least
        // key of its junctions, which stays the same from run to run.
        std::vector<Currency> identity(static_cast<std::size_t>(unknowns_),
                                       std::numeric_limits<Currency>::max());
        auto know = [&](int v, Currency key) {
            if (v >= 1 && v <= nodes && unknownOf(v) >= 0)
                identity[unknownOf(v)] = std::min(identity[unknownOf(v)], key);
        };
        for (int a = 1; a <= n; ++a) {
            know(std::abs(AirwayStartNode(a)), AirwayStartKey(a));
            know(std::abs(AirwayEndNode(a)), AirwayEndKey(a));
        }
        std::vector<std::pair<int, int>> links;
        links.reserve(branches_.size());
        for (const Branch &b : branches_)
            if (b.from >= 0 && b.to >= 0 && b.from != b.to)
                links.emplace_back(b.from, b.to);
        system_.Define(identity, links);
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
            for (std::size_t next = ties_.size(), v = root;;) {
                for (const auto &[other, airway] : joined[v]) {
                    if (seen[static_cast<std::size_t>(other)])
                        continue;
                    seen[static_cast<std::size_t>(other)] = 1;
                    depth[other] = depth[v] + 1;
                    up[other] = static_cast<int>(ties_.size());
                    ties_.push_back(
                        Tie{airway, other, static_cast<int>(v), std::abs(AirwayStartNode(airway)) == other});
                }
                if (next == ties_.size())
                    break;
                v = static_cast<std::size_t>(ties_[next++].child);
            }
        }
        for (int a : closing) {
            Ring ring;
            ring.airways.emplace_back(a, 1.0);
            int from = std::abs(AirwayEndNode(a)), to = std::abs(AirwayStartNode(a));
            std::vector<std::pair<int, double>> down; // from the meeting junction down to the start
            while (from != to) {
                const bool climbFrom = depth[from] >= depth[to];
                const Tie &tie = ties_[static_cast<std::size_t>(up[climbFrom ? from : to])];
                if (climbFrom) {
                    ring.airways.emplace_back(tie.airway, tie.towardParent ? 1.0 : -1.0);
                    from = tie.parent;
                } else {
                    down.emplace_back(tie.airway, tie.towardParent ? -1.0 : 1.0);
                    to = tie.parent;
                }
            }
            ring.airways.insert(ring.airways.end(), down.rbegin(), down.rend());
            rings_.push_back(std::move(ring));
        }
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
            for (std::size_t next = walk_.size(), v = static_cast<std::size_t>(root);;) {
                for (int i = first[v]; i < first[v + 1]; ++i) {
                    const int c = NodeTreeAirway(child[i]);
                    walk_.push_back(TreeStep{child[i], static_cast<int>(v), std::abs(c), c > 0});
                }
                if (next == walk_.size())
                    break;
                v = static_cast<std::size_t>(walk_[next++].node);
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
            rise -= curves_[static_cast<std::size_t>(b.curve)].RiseBetween(q, q + step);
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

    // A ring's pressure sum and slope at flows q (Pa, Pa per m³/s): each airway weighed by its resistance,
    // or where it has none by equal small ones.
    static void ringSums(const Ring &ring, const std::vector<double> &q, double &sum, double &slope) {
        sum = slope = 0;
        for (const auto &[a, along] : ring.airways) {
            const double w = std::max<double>(AirwayResistance(a), LeastWeight), x = along * q[a];
            sum += w * x * std::fabs(x);
            slope += 2 * w * std::fabs(x);
        }
    }

    // The Newton step d from flows q: each branch's law linearised at its flow; the junction pressures
    // walked along the meshes' tree so that the tree airways' losses are met exactly, leaving the chords'
    // residuals; the balances solved for what the step changes of the pressures; the ties' flows from the
    // balances of their junctions, each ring's circulation from its own balance; and the whole carried
    // through the meshes. False when the system cannot be solved.
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
        for (const TreeStep &w : walk_) {
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
        double *weights = system_.Weights(), *grounding = system_.Grounding();
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            residual_[i] = b.chord ? chordResidual(b) : 0.0;
            if (b.from == -2)
                continue;
            // The branch's step in terms of the changes of its end pressures: (p_from - p_to - r)/g.
            const double w = 1 / slope_[i], c = residual_[i] * w;
            if (b.from >= 0)
                rhs[b.from] += c;
            if (b.to >= 0)
                rhs[b.to] -= c;
            if (b.between >= 0)
                weights[b.between] += w;
            else
                grounding[b.from >= 0 ? b.from : b.to] += w;
        }
        Eigen::VectorXd pressure;
        if (!system_.Factorize() || !system_.Solve(rhs, pressure))
            return false;
        auto at = [&](int v) { return v >= 0 ? pressure[v] : 0.0; };
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            const double drop = b.from == -2 ? 0.0 : at(b.from) - at(b.to);
            const double step = (drop - residual_[i]) / slope_[i];
            d[b.airway] = step;
            if (b.start != b.end) {
                excess_[b.start] -= step;
                excess_[b.end] += step;
            }
        }
        // Each tie carries what balances its child, from the outermost in; the group's root is left with
        // what the linear solve left over.
        for (auto tie = ties_.rbegin(); tie != ties_.rend(); ++tie) {
            const double over = excess_[tie->child];
            d[tie->airway] = tie->towardParent ? over : -over;
            excess_[tie->parent] += over;
            excess_[tie->child] = 0;
        }
        for (const Branch &b : branches_)
            excess_[b.start] = excess_[b.end] = 0;
        for (const Tie &tie : ties_)
            excess_[tie.parent] = 0;
        // Each ring then takes the circulation that balances it at the flows the step leaves, one ring
        // after another, so that rings sharing airways settle together over the steps.
        if (!rings_.empty()) {
            std::vector<double> &after = ringFlow_;
            after.assign(q.size(), 0.0);
            for (const Ring &ring : rings_)
                for (const auto &[a, along] : ring.airways)
                    after[a] = q[a] + d[a];
            for (const Ring &ring : rings_) {
                const int closing = ring.airways.front().first;
                d[closing] = 0;
                after[closing] = q[closing];
                for (int k = 0; k < 60; ++k) {
                    double sum = 0, slope = 0;
                    ringSums(ring, after, sum, slope);
                    const double circulation = slope > 0 ? -sum / slope : 0.0;
                    for (const auto &[a, along] : ring.airways)
                        after[a] += along * circulation;
                    d[closing] += circulation;
                    if (!(std::fabs(circulation) > RoundingShare * largestFlow_))
                        break;
                }
            }
        }
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
    std::vector<FanCurve> curves_;
    std::vector<TreeStep> walk_; // the meshes' tree, each junction after its parent
    int unknowns_ = 0;
    double largestFlow_ = 0; // m³/s, of the flows the next step starts from
    double floorFlow_ = 0;   // m³/s, below which friction is linearised as at it
    // Pa: by airway slot, the loss at the step's flows; by junction, the tree airways' losses walked from the
    // root, as the sum and the rounding it left, so that the chords' residuals, their differences, hold the
    // pressures of stagnant airways far below the rounding of the network's pressures.
    std::vector<double> loss_, potential_, potentialLow_;
    std::vector<double> residual_, slope_; // Pa and Pa per m³/s, by branch
    std::vector<double> excess_;   // m³/s of a step left at each junction, while the ties are balanced
    std::vector<double> ringFlow_; // m³/s, by airway slot: the rings' flows as they are settled
    JunctionSystem &system_;       // the owner's, kept from one solve to the next
};

} // namespace

JunctionSystem WholeNetworkJunctions;

NetworkSolveResult SolveNetworkByNewton(std::vector<double> &flow, const std::vector<SolveRole> &role,
                                        double tolerance, const CarryThroughMeshes &carry,
                                        JunctionSystem &junctions) {
    NewtonSolve solve(flow, role, tolerance, carry, junctions);
    return solve.Run();
}
