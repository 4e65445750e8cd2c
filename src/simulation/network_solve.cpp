#include "simulation/network_solve.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "simulation/checks.h"
#include "simulation/disjoint_sets.h"
#include "simulation/fan_curves.h"
#include "simulation/simulation_ui.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

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
// Of the largest flow, the part that a step may still change once the flows are as exact as the
// arithmetic holds them.
constexpr double RoundingShare = 1e-13;
// Of Max Allowable Error, the size of a step that ends the solve once the steps shrink as Newton's do.
constexpr double ToleranceShare = 0.01;
// A step is kept when the content falls by at least this share of what its slope promises.
constexpr double Sufficient = 1e-4;
// Of the content's size, the part that its rounding can make up: steps that promise less are too small
// for the content to judge, and are taken whole.
constexpr double ContentRounding = 1e-11;

// A fan curve as its airway uses it: points 1 .. 11 of flow (m³/s) and blended pressure (Pa), and the
// integral of the pressure over the flow from point 1 to each point (Pa·m³/s).
struct FanCurve {
    std::array<double, LastPoint + 1> flow{}, pressure{}, integral{};

    // The integral of the pressure from point 1 to flow q, for the pressure FanPressureAtFlow gives: point
    // 1's pressure below the curve, straight lines between points, nothing beyond the last.
    double IntegralTo(double q) const {
        if (q < flow[1])
            return pressure[1] * (q - flow[1]);
        if (q >= flow[LastPoint])
            return integral[LastPoint];
        int i = 2;
        while (i < LastPoint && !(flow[i] > q))
            ++i;
        const double slope = (pressure[i - 1] - pressure[i]) / (flow[i - 1] - flow[i]);
        const double atQ = pressure[i] + (q - flow[i]) * slope;
        return integral[i - 1] + (q - flow[i - 1]) * (pressure[i - 1] + atQ) / 2;
    }
};

FanCurve curveOf(int airway, int solverFan) {
    FanCurve c;
    for (int p = 1; p <= LastPoint; ++p) {
        c.flow[p] = FanSolverFlow(p, solverFan);
        c.pressure[p] = SolverFanPointPressure(p, solverFan, airway);
    }
    for (int p = 2; p <= LastPoint; ++p)
        c.integral[p] =
            c.integral[p - 1] + (c.flow[p] - c.flow[p - 1]) * (c.pressure[p - 1] + c.pressure[p]) / 2;
    return c;
}

// A free airway: its slot, the unknowns of its start and end junctions (-1 for a junction whose pressure
// is the reference), its resistance (Ns²/m⁸) and what drives it.
struct Branch {
    int airway = 0;
    int from = -1, to = -1;
    double resistance = 0;
    int solverFan = 0;        // 0 none, -1 fixed pressure, else the solver fan
    int curve = -1;           // index into the fan curves, -1 without a curve
    double fixedPressure = 0; // Pa, of a fixed-pressure airway
    // Where the branch's terms lie among the matrix's values: the diagonal of each end, the entry joining
    // them (-1 where there is none).
    int fromDiagonal = -1, toDiagonal = -1, between = -1;
};

class NewtonSolve {
public:
    NewtonSolve(std::vector<double> &flow, const std::vector<uint8_t> &free, double tolerance)
        : flow_(flow), tolerance_(tolerance) {
        number(free);
    }

    NetworkSolveResult Run() {
        NetworkSolveResult result;
        if (branches_.empty())
            return result;
        // The flows given are written only once the solve has found its own.
        auto giveUp = [&] {
            result.solved = false;
            return result;
        };
        std::vector<double> q(branches_.size()), d(branches_.size());
        for (std::size_t i = 0; i < branches_.size(); ++i)
            q[i] = flow_[branches_[i].airway];
        double lastStep = std::numeric_limits<double>::infinity();
        int stalled = 0;
        for (;;) {
            if (RunState == 255) {
                result.stopped = true;
                return giveUp();
            }
            if (result.steps == MostSteps)
                break;
            if (!direction(q, d))
                return giveUp();
            ++result.steps;
            double largestStep = 0, largestFlow = 0;
            for (std::size_t i = 0; i < q.size(); ++i) {
                largestStep = std::max(largestStep, std::fabs(d[i]));
                largestFlow = std::max(largestFlow, std::fabs(q[i]));
            }
            const double t = stepLength(q, d);
            if (t == 0)
                return giveUp(); // no step lowers the content
            for (std::size_t i = 0; i < q.size(); ++i)
                q[i] += t * d[i];
            SimUi().PumpEvents();
            if (largestStep <= RoundingShare * std::max(1.0, largestFlow))
                break;
            // A whole step far within the tolerance that shrank tenfold: each step now squares the error,
            // which is left far smaller still, for the sweeps to confirm.
            if (t == 1 && largestStep <= ToleranceShare * tolerance_ && largestStep <= lastStep / 10)
                break;
            // Near the solution each step squares the error; steps that stop shrinking are rounding.
            stalled =
                t == 1 && largestStep > lastStep / 2 && largestStep <= 1e-7 * largestFlow ? stalled + 1 : 0;
            if (stalled == 2)
                break;
            lastStep = largestStep;
        }
        for (std::size_t i = 0; i < q.size(); ++i)
            flow_[branches_[i].airway] = q[i];
        result.solved = true;
        return result;
    }

private:
    // Numbers the junctions of the free airways as unknowns: in each connected part the surface, or else
    // its lowest junction, holds the reference pressure.
    void number(const std::vector<uint8_t> &free) {
        const int n = AirwayCount;
        int surface = 0;
        for (int a = 1; a <= n && surface == 0; ++a) {
            if (AirwayStartKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayStartNode(a));
            else if (AirwayEndKey(a) == SurfaceNodeKey)
                surface = std::abs(AirwayEndNode(a));
        }
        const int nodes = NodeCount;
        DisjointSets parts(nodes);
        std::vector<uint8_t> used(nodes + 1, 0);
        for (int a = 1; a <= n; ++a) {
            if (!free[a])
                continue;
            const int s = std::abs(AirwayStartNode(a)), e = std::abs(AirwayEndNode(a));
            parts.Unite(s, e);
            used[s] = used[e] = 1;
        }
        std::vector<int> reference(nodes + 1, 0); // per part's representative
        if (surface > 0 && used[surface])
            reference[parts.Find(surface)] = surface;
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && reference[parts.Find(v)] == 0)
                reference[parts.Find(v)] = v;
        unknown_.assign(nodes + 1, -1);
        unknowns_ = 0;
        for (int v = 1; v <= nodes; ++v)
            if (used[v] && reference[parts.Find(v)] != v)
                unknown_[v] = unknowns_++;
        // Known flows enter the junction balances as they are.
        known_.assign(static_cast<std::size_t>(unknowns_), 0.0);
        for (int a = 1; a <= n; ++a) {
            const int s = std::abs(AirwayStartNode(a)), e = std::abs(AirwayEndNode(a));
            if (free[a]) {
                Branch b;
                b.airway = a;
                b.from = unknown_[s];
                b.to = unknown_[e];
                b.resistance = AirwayResistance(a);
                b.solverFan = static_cast<int>(AirwaySolverFan(a));
                b.fixedPressure = AirwayPressure(a);
                if (s == e)
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
            if (unknown_[s] >= 0)
                known_[static_cast<std::size_t>(unknown_[s])] -= flow_[a];
            if (unknown_[e] >= 0)
                known_[static_cast<std::size_t>(unknown_[e])] += flow_[a];
        }
        // The matrix's pattern is the network's: it is analysed once.
        std::vector<Eigen::Triplet<double>> pattern;
        pattern.reserve(3 * branches_.size() + static_cast<std::size_t>(unknowns_));
        for (int v = 0; v < unknowns_; ++v)
            pattern.emplace_back(v, v, 1.0);
        for (const Branch &b : branches_)
            if (b.from >= 0 && b.to >= 0 && b.from != b.to)
                pattern.emplace_back(std::max(b.from, b.to), std::min(b.from, b.to), 1.0);
        matrix_.resize(unknowns_, unknowns_);
        matrix_.setFromTriplets(pattern.begin(), pattern.end());
        for (Branch &b : branches_) {
            if (b.from >= 0)
                b.fromDiagonal = valueIndex(b.from, b.from);
            if (b.to >= 0)
                b.toDiagonal = valueIndex(b.to, b.to);
            if (b.from >= 0 && b.to >= 0 && b.from != b.to)
                b.between = valueIndex(std::max(b.from, b.to), std::min(b.from, b.to));
        }
        if (unknowns_ > 0)
            factor_.analyzePattern(matrix_);
    }

    int valueIndex(int row, int column) const {
        const int *rows = matrix_.innerIndexPtr();
        const int *columns = matrix_.outerIndexPtr();
        return static_cast<int>(std::lower_bound(rows + columns[column], rows + columns[column + 1], row) -
                                rows);
    }

    // Pressure lost along branch b at flow q (Pa) and the slope (Pa per m³/s) its step is linearised with:
    // that of its friction less its fan's where the fan's pressure varies with the flow, held above the
    // friction's slope at a small flow. Where that leaves nothing (no resistance, a fan off its curve or a
    // fixed pressure), the slope the sweeps take for the fan. 0 for an airway with neither resistance nor
    // fan: it ties its junctions to one pressure, which the system cannot hold.
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
            slope = friction - dp;
    }

    // The branch's part of the content at flow q (Pa·m³/s).
    double content(const Branch &b, double q) const {
        double e = b.resistance * q * q * std::fabs(q) / 3;
        if (b.solverFan == -1)
            e -= b.fixedPressure * q;
        else if (b.curve >= 0)
            e -= curves_[static_cast<std::size_t>(b.curve)].IntegralTo(q);
        return e;
    }

    // The Newton step d from flows q: each branch's law linearised at its flow, the junction balances solved
    // for the pressures. False when the system cannot be solved.
    bool direction(const std::vector<double> &q, std::vector<double> &d) {
        const std::size_t count = branches_.size();
        h_.resize(count);
        conductance_.resize(count);
        Eigen::VectorXd rhs = Eigen::Map<const Eigen::VectorXd>(known_.data(), unknowns_);
        // Values are written into the analysed pattern: the diagonal, then each branch's off-diagonal entry.
        double *values = matrix_.valuePtr();
        std::fill(values, values + matrix_.nonZeros(), 0.0);
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            double h = 0, slope = 0;
            loss(b, q[i], h, slope);
            if (!(slope > 0) || !std::isfinite(slope) || !std::isfinite(h))
                return false;
            h_[i] = h;
            conductance_[i] = 1 / slope;
            if (b.from == -2)
                continue;
            // The branch's flow in terms of its end pressures: q - h/g + (p_from - p_to)/g.
            const double c = q[i] - h / slope, w = 1 / slope;
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
        if (unknowns_ > 0) {
            factor_.factorize(matrix_);
            if (factor_.info() != Eigen::Success || !(factor_.vectorD().minCoeff() > 0))
                return false;
            pressure = factor_.solve(rhs);
            if (factor_.info() != Eigen::Success || !pressure.allFinite())
                return false;
        }
        auto at = [&](int v) { return v >= 0 ? pressure[v] : 0.0; };
        for (std::size_t i = 0; i < count; ++i) {
            const Branch &b = branches_[i];
            const double drop = b.from == -2 ? 0.0 : at(b.from) - at(b.to);
            d[i] = (drop - h_[i]) * conductance_[i];
        }
        return true;
    }

    // How much of step d to take from q: the whole step when the content falls enough, else less, found by
    // fitting a parabola to the content along the step. 0 when no step lowers it.
    double stepLength(const std::vector<double> &q, const std::vector<double> &d) const {
        // The content's rate along d, what the linearised laws promise the whole step lowers it by (its
        // negative in exact arithmetic), and the content's size.
        double slope = 0, promised = 0, size = 0;
        for (std::size_t i = 0; i < q.size(); ++i) {
            slope += h_[i] * d[i];
            promised += d[i] * d[i] / conductance_[i];
            size += std::fabs(content(branches_[i], q[i]));
        }
        if (promised <= ContentRounding * size)
            return 1.0;
        if (!(slope < 0))
            return 0.0;
        double t = 1;
        for (int tries = 0; tries < 80; ++tries) {
            double change = 0;
            for (std::size_t i = 0; i < q.size(); ++i)
                if (d[i] != 0)
                    change += content(branches_[i], q[i] + t * d[i]) - content(branches_[i], q[i]);
            if (change <= Sufficient * t * slope)
                return t;
            const double fitted = -slope * t * t / (2 * (change - slope * t));
            t = std::clamp(std::isfinite(fitted) ? fitted : t / 10, t / 10, t / 2);
        }
        return 0;
    }

    std::vector<double> &flow_;
    double tolerance_; // m³/s
    std::vector<Branch> branches_;
    std::vector<FanCurve> curves_;
    std::vector<int> unknown_;
    int unknowns_ = 0;
    std::vector<double> known_; // m³/s into each unknown junction through the airways not balanced here
    std::vector<double> h_, conductance_;
    Eigen::SparseMatrix<double> matrix_;
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower> factor_;
};

} // namespace

NetworkSolveResult SolveNetworkByNewton(std::vector<double> &flow, const std::vector<uint8_t> &free,
                                        double tolerance) {
    // An airway with neither resistance nor fan ties its two junctions to one pressure, which the system
    // over the junctions cannot hold: seen before any set-up, so that the sweeps start at once.
    for (std::size_t a = 1; a < free.size(); ++a)
        if (free[a] && AirwaySolverFan(static_cast<int>(a)) == 0 &&
            !(AirwayResistance(static_cast<int>(a)) > 0))
            return {};
    NewtonSolve solve(flow, free, tolerance);
    return solve.Run();
}
