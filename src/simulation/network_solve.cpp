#include "simulation/network_solve.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "simulation/checks.h"
#include "simulation/disjoint_sets.h"
#include "simulation/fan_curves.h"
#include "simulation/junction_system.h"
#include "simulation/simulation_ui.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int LastPoint = 11;
// Steps before the solve gives the rest to the sweeps.
constexpr int MostSteps = 60;
// The slope (Pa per m³/s) of an airway at no flow, or where a fan's curve rises, is taken as that of its
// friction at this flow (m³/s), so that the system stays positive definite.
constexpr double FloorFlow = 1e-4;
// Of the largest slope among the airways (bulkheads aside), the least slope any airway is linearised with:
// a tiny resistance beside large ones would otherwise leave the system too ill conditioned for its
// pressures to give the steps' flows. The flows solved for are the same; only the steps differ.
constexpr double SlopeShare = 1e-12;
// Of the largest flow, the part that a step may still change once the flows are as exact as the
// arithmetic holds them.
constexpr double RoundingShare = 1e-13;
// Of Max Allowable Error, the size of a step that is taken whole, and that ends the solve once the steps
// shrink as Newton's do.
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
    // The integral of the pressure over the flow from a to b (Pa·m³/s), piece by piece, so that its
    // rounding follows the size of the integral and not of the pressures.
    double IntegralBetween(double a, double b) const {
        if (a > b)
            return -IntegralBetween(b, a);
        double sum = 0;
        for (double x = a; x < b;) {
            const int piece = pieceAt(x);
            const double end = std::min(b, pieceEnd(piece));
            sum += (end - x) * (onPiece(piece, x) + onPiece(piece, end)) / 2;
            x = end;
        }
        return sum;
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
    // Where the branch's terms lie among the matrix's values: the diagonal of each end, the entry joining
    // them (-1 where there is none).
    int fromDiagonal = -1, toDiagonal = -1, between = -1;
};

// An airway with neither resistance nor fan that joins two junctions into one unknown: its flow follows
// from the balance of the junction beyond it, child, away from the root of its group.
struct Tie {
    int airway = 0;
    int child = 0, parent = 0;
    bool towardParent = false; // the airway runs from child to parent
};

class NewtonSolve {
public:
    NewtonSolve(std::vector<double> &flow, const std::vector<SolveRole> &role, double tolerance,
                const CarryThroughMeshes &carry)
        : flow_(flow), tolerance_(tolerance), carry_(carry) {
        number(role);
    }

    NetworkSolveResult Run() {
        NetworkSolveResult result;
        if (branches_.empty())
            return result;
        // The flows given are written only once the solve has found its own.
        std::vector<double> q(flow_.size(), 0.0), d(flow_.size(), 0.0);
        for (int a : freeAirways_)
            q[a] = flow_[a];
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
            double largestStep = 0, largestFlow = 0;
            for (int a : freeAirways_) {
                largestStep = std::max(largestStep, std::fabs(d[a]));
                largestFlow = std::max(largestFlow, std::fabs(q[a]));
            }
            const bool rounding = largestStep <= RoundingShare * std::max(1.0, largestFlow);
            const bool withinTolerance = largestStep <= ToleranceShare * tolerance_;
            // Steps this small are taken whole: the content cannot judge them better than its rounding.
            const double t = rounding || withinTolerance ? 1.0 : stepLength(q, d);
            if (t == 0)
                break;
            for (int a : freeAirways_)
                q[a] += t * d[a];
            ++result.steps;
            SimUi().PumpEvents();
            // A step far within the tolerance that shrank tenfold: each step now squares the error, which is
            // left far smaller still, for the sweeps to confirm.
            if (rounding || (withinTolerance && largestStep <= lastStep / 10))
                break;
            // Near the solution each step squares the error; small steps that stop shrinking are rounding,
            // or an airway linearised more steeply than it is, which the sweeps finish.
            const bool small = withinTolerance || largestStep <= 1e-7 * largestFlow;
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
    // Numbers the junctions of the free airways as unknowns, the two ends of an airway with neither
    // resistance nor fan as one: in each connected part the surface, or else its lowest junction, holds
    // the reference pressure.
    void number(const std::vector<SolveRole> &role) {
        const int n = AirwayCount;
        const int nodes = NodeCount;
        auto isFree = [&](int a) { return role[static_cast<std::size_t>(a)] != SolveRole::Known; };
        auto ties = [&](int a) { return AirwaySolverFan(a) == 0 && !(AirwayResistance(a) > 0); };
        auto ends = [&](int a) {
            return std::pair{std::abs(AirwayStartNode(a)), std::abs(AirwayEndNode(a))};
        };
        int surface = 0;
        for (int a = 1; a <= n && surface == 0; ++a) {
            if (AirwayStartKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayStartNode(a));
            else if (AirwayEndKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayEndNode(a));
        }
        // The groups of junctions joined by airways without resistance: the meshes' tree airways first, so
        // that a ring of them is closed by a chord, whose mesh then keeps its circulation.
        DisjointSets groups(nodes);
        std::vector<std::vector<std::pair<int, int>>> joined(static_cast<std::size_t>(nodes) + 1);
        for (const SolveRole pass : {SolveRole::Free, SolveRole::Chord})
            for (int a = 1; a <= n; ++a) {
                if (role[static_cast<std::size_t>(a)] != pass || !ties(a))
                    continue;
                freeAirways_.push_back(a);
                const auto [s, e] = ends(a);
                if (groups.Find(s) == groups.Find(e)) {
                    ringTies_.push_back(a); // closes a ring of such airways
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
        orderTies(joined, used);
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
        // Known flows enter the junction balances as they are.
        known_.assign(static_cast<std::size_t>(unknowns_), 0.0);
        for (int a = 1; a <= n; ++a) {
            const auto [s, e] = ends(a);
            if (isFree(a)) {
                if (ties(a))
                    continue;
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
                if (groups.Find(s) == groups.Find(e))
                    b.from = b.to = -2; // a loop of its own: no junction balance
                if (b.solverFan > 0) {
                    b.curve = static_cast<int>(curves_.size());
                    curves_.push_back(curveOf(a, b.solverFan));
                }
                branches_.push_back(b);
                continue;
            }
            if (s < 1 || s > nodes || e < 1 || e > nodes || s == e)
                continue;
            if (unknownOf(s) >= 0)
                known_[static_cast<std::size_t>(unknownOf(s))] -= flow_[a];
            if (unknownOf(e) >= 0)
                known_[static_cast<std::size_t>(unknownOf(e))] += flow_[a];
        }
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
        for (Branch &b : branches_) {
            if (b.from >= 0)
                b.fromDiagonal = system_.Slot(b.from, b.from);
            if (b.to >= 0)
                b.toDiagonal = system_.Slot(b.to, b.to);
            if (b.from >= 0 && b.to >= 0 && b.from != b.to)
                b.between = system_.Slot(b.from, b.to);
        }
        excess_.assign(static_cast<std::size_t>(nodes) + 1, 0.0);
    }

    // Lists the ties of each group from its root outwards, so that taken backwards every tie's child has
    // been balanced by the ties beyond it.
    void orderTies(const std::vector<std::vector<std::pair<int, int>>> &joined,
                   const std::vector<uint8_t> &used) {
        std::vector<uint8_t> seen(joined.size(), 0);
        for (std::size_t root = 1; root < joined.size(); ++root) {
            if (seen[root] || joined[root].empty() || !used[root])
                continue;
            seen[root] = 1;
            for (std::size_t next = ties_.size(), v = root;;) {
                for (const auto &[other, airway] : joined[v]) {
                    if (seen[static_cast<std::size_t>(other)])
                        continue;
                    seen[static_cast<std::size_t>(other)] = 1;
                    ties_.push_back(
                        Tie{airway, other, static_cast<int>(v), std::abs(AirwayStartNode(airway)) == other});
                }
                if (next == ties_.size())
                    break;
                v = static_cast<std::size_t>(ties_[next++].child);
            }
        }
    }

    // Pressure lost along branch b at flow q (Pa) and the slope (Pa per m³/s) of its law there: that of its
    // friction less its fan's where the fan's pressure varies with the flow, held above the friction's
    // slope at a small flow. Where that leaves nothing (no resistance, a fan off its curve or a fixed
    // pressure), the slope the sweeps take for the fan; 0 where even that is nothing.
    void loss(const Branch &b, double q, double &h, double &slope) const {
        h = b.resistance * q * std::fabs(q);
        const double friction = 2 * b.resistance * std::fabs(q);
        slope = std::max(friction, 2 * b.resistance * FloorFlow);
        if (b.solverFan == 0)
            return;
        double p = b.fixedPressure, dp = 0;
        const int region = FanPressureAtFlow(b.airway, b.solverFan, q, p, dp);
        h -= p;
        if (b.solverFan > 0 && region == CurveRegion::On)
            slope = std::max(friction - dp, 2 * b.resistance * FloorFlow);
        if (!(slope > 0))
            slope = std::max(friction - dp, 0.0);
    }

    // How much the branch's part of the content changes (Pa·m³/s) when its flow goes from q to q + step,
    // worked so that its rounding follows the size of the change and not of the content.
    double contentChange(const Branch &b, double q, double step) const {
        const double r = q + step;
        double cubes = 0; // r²|r| - q²|q|
        if (q >= 0 && r >= 0)
            cubes = step * (r * r + r * q + q * q);
        else if (q <= 0 && r <= 0)
            cubes = -step * (r * r + r * q + q * q);
        else
            cubes = r * r * std::fabs(r) - q * q * std::fabs(q);
        double change = b.resistance * cubes / 3;
        if (b.solverFan == -1)
            change -= b.fixedPressure * step;
        else if (b.curve >= 0)
            change -= curves_[static_cast<std::size_t>(b.curve)].IntegralBetween(q, r);
        return change;
    }

    // The Newton step d from flows q: each branch's law linearised at its flow, the junction balances solved
    // for the pressures, the ties' flows from the balances of their junctions, and the whole carried through
    // the meshes. False when the system cannot be solved.
    bool direction(const std::vector<double> &q, std::vector<double> &d) {
        const std::size_t count = branches_.size();
        h_.resize(count);
        conductance_.resize(count);
        double steepest = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            double slope = 0;
            loss(b, q[b.airway], h_[i], slope);
            if (!std::isfinite(slope) || !std::isfinite(h_[i]))
                return false;
            conductance_[i] = slope; // the slope until the floor is known
            if (b.resistance < BulkheadResistance)
                steepest = std::max(steepest, slope);
        }
        const double floor = SlopeShare * steepest;
        Eigen::VectorXd rhs = Eigen::Map<const Eigen::VectorXd>(known_.data(), unknowns_);
        // Values are written into the analysed pattern: the diagonal, then each branch's off-diagonal entry.
        system_.ClearValues();
        double *values = system_.Values();
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            const double slope = std::max(conductance_[i], floor);
            if (!(slope > 0))
                return false;
            conductance_[i] = 1 / slope;
            if (b.from == -2)
                continue;
            // The branch's flow in terms of its end pressures: q - h/g + (p_from - p_to)/g.
            const double c = q[b.airway] - h_[i] / slope, w = 1 / slope;
            if (b.from >= 0) {
                rhs[b.from] -= c;
                values[b.fromDiagonal] += w;
            }
            if (b.to >= 0) {
                rhs[b.to] += c;
                values[b.toDiagonal] += w;
            }
            if (b.between >= 0)
                values[b.between] -= w;
        }
        Eigen::VectorXd pressure;
        if (!system_.Factorize() || !system_.Solve(rhs, pressure))
            return false;
        auto at = [&](int v) { return v >= 0 ? pressure[v] : 0.0; };
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            const double drop = b.from == -2 ? 0.0 : at(b.from) - at(b.to);
            const double step = (drop - h_[i]) * conductance_[i];
            d[b.airway] = step;
            if (b.start != b.end) {
                excess_[b.start] -= step;
                excess_[b.end] += step;
            }
        }
        // Each tie carries what balances its child, from the outermost in; a ring's closing tie keeps its
        // flow, and the group's root is left with what the linear solve left over.
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
        for (int a : ringTies_)
            d[a] = 0;
        carry_(d);
        return true;
    }

    // How much of step d to take from q: the whole step when the content falls enough, else less, found by
    // fitting a parabola to the content along the step. 0 when no step lowers it.
    double stepLength(const std::vector<double> &q, const std::vector<double> &d) const {
        // The content's rate along d and what its rounding, and that of the changes along it, can make up.
        double rate = 0, noise = 0;
        for (std::size_t i = 0; i < branches_.size(); ++i) {
            const double term = h_[i] * d[branches_[i].airway];
            rate += term;
            noise += std::fabs(term);
        }
        noise *= SumRounding;
        if (!(rate < -noise))
            return 0.0;
        double t = 1;
        for (int tries = 0; tries < 80; ++tries) {
            double change = 0, changeNoise = 0;
            for (const Branch &b : branches_) {
                const double step = t * d[b.airway];
                if (step == 0)
                    continue;
                const double c = contentChange(b, q[b.airway], step);
                change += c;
                changeNoise += std::fabs(c);
            }
            if (change <= Sufficient * t * rate + SumRounding * changeNoise)
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
    std::vector<int> ringTies_;
    std::vector<int> freeAirways_;
    std::vector<FanCurve> curves_;
    int unknowns_ = 0;
    std::vector<double> known_; // m³/s into each unknown junction through the airways not balanced here
    std::vector<double> h_, conductance_;
    std::vector<double> excess_; // m³/s of a step left at each junction, while the ties are balanced
    JunctionSystem system_;
};

} // namespace

NetworkSolveResult SolveNetworkByNewton(std::vector<double> &flow, const std::vector<SolveRole> &role,
                                        double tolerance, const CarryThroughMeshes &carry) {
    NewtonSolve solve(flow, role, tolerance, carry);
    return solve.Run();
}
