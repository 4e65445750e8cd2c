// The junctions' system: its solutions checked against the matrix itself, whichever order the unknowns are
// eliminated in and whether that order was kept from the pattern before.
#include "solver/fill_ordering.h"
#include "solver/junction_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace {

struct Pattern {
    std::vector<int64_t> identity;
    std::vector<std::pair<int, int>> links;
};

// Levels of side x side junctions linked along both directions, and neighbouring levels linked at every
// `every`-th junction of both directions.
Pattern levelGrids(int side, int levels, int every) {
    Pattern p;
    auto at = [&](int i, int j, int k) { return (k * side + j) * side + i; };
    for (int k = 0; k < levels; ++k)
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i) {
                p.identity.push_back(1000 + 7 * at(i, j, k));
                if (i + 1 < side)
                    p.links.emplace_back(at(i, j, k), at(i + 1, j, k));
                if (j + 1 < side)
                    p.links.emplace_back(at(i, j, k), at(i, j + 1, k));
                if (k + 1 < levels && i % every == 0 && j % every == 0)
                    p.links.emplace_back(at(i, j, k), at(i, j, k + 1));
            }
    return p;
}

Pattern chainAndStar(int n) {
    Pattern p;
    for (int v = 0; v < 2 * n; ++v)
        p.identity.push_back(-5 * v);
    for (int v = 1; v < n; ++v) {
        p.links.emplace_back(v - 1, v); // a chain
        p.links.emplace_back(n, n + v); // apart from it, a star
        p.links.emplace_back(n + v, n); // each link twice, once each way round
    }
    return p;
}

// The same junctions numbered otherwise and their links listed otherwise.
Pattern renumbered(const Pattern &p, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<int> number(p.identity.size());
    std::iota(number.begin(), number.end(), 0);
    std::shuffle(number.begin(), number.end(), random);
    Pattern q{std::vector<int64_t>(p.identity.size()), {}};
    for (std::size_t v = 0; v < number.size(); ++v)
        q.identity[number[v]] = p.identity[v];
    for (const auto &[u, v] : p.links)
        q.links.emplace_back(number[v], number[u]);
    std::shuffle(q.links.begin(), q.links.end(), random);
    return q;
}

// Solves a weighted Laplacian of the links held to the reference by `held` at every unknown, in the system
// given (which keeps its order from the pattern before); the largest residual of the matrix worked out from
// the links and weights, relative to the right-hand side. Negative when the system refuses the matrix.
double solvedResidual(JunctionSystem &system, const Pattern &p, double held, uint32_t seed) {
    system.Define(p.identity, p.links);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> weight(0.5, 2.0), side(-1.0, 1.0);
    const int n = static_cast<int>(p.identity.size());
    std::vector<double> diagonal(n, held), w(p.links.size());
    system.ClearValues();
    for (std::size_t k = 0; k < p.links.size(); ++k) {
        const auto [u, v] = p.links[k];
        w[k] = weight(random);
        diagonal[u] += w[k];
        diagonal[v] += w[k];
        const int slot = system.Link(u, v);
        EXPECT_GE(slot, 0) << "link " << u << "-" << v;
        if (slot >= 0)
            system.Weights()[slot] += w[k];
    }
    for (int v = 0; v < n; ++v)
        system.Grounding()[v] = held;
    Eigen::VectorXd rhs(n), x;
    for (int v = 0; v < n; ++v)
        rhs[v] = side(random);
    if (!system.Factorize() || !system.Solve(rhs, x))
        return -1;
    Eigen::VectorXd r = rhs;
    for (int v = 0; v < n; ++v)
        r[v] -= diagonal[v] * x[v];
    for (std::size_t k = 0; k < p.links.size(); ++k) {
        const auto [u, v] = p.links[k];
        r[u] += w[k] * x[v];
        r[v] += w[k] * x[u];
    }
    return r.lpNorm<Eigen::Infinity>() / rhs.lpNorm<Eigen::Infinity>();
}

// The same junctions with two links exchanged between their ends: a-b and c-d become a-d and c-b, so every
// junction keeps its degree.
Pattern exchanged(Pattern p, std::size_t first, std::size_t second) {
    std::swap(p.links[first].second, p.links[second].second);
    return p;
}

} // namespace

TEST(JunctionSystem, SolvesItsMatrixWhateverTheOrderAndOnlyAnUnchangedPatternKeepsItsOrder) {
    const Pattern grids = levelGrids(16, 12, 1); // wide enough fronts for nested dissection
    Pattern oneMore = renumbered(grids, 3);
    oneMore.links.emplace_back(5, 300);
    // Each row follows the one before it in the same system, so the order kept from it is offered to the
    // next.
    const struct {
        const char *what;
        Pattern pattern;
        double held; // each unknown's grounding
        bool positiveDefinite;
    } cases[] = {
        {"a chain and, apart from it, a star", chainAndStar(300), 1e-3, true},
        {"level grids joined at every junction", grids, 1e-3, true},
        {"the same grids numbered otherwise", renumbered(grids, 2), 1e-3, true},
        {"the grids with two far links exchanged", exchanged(grids, 7, 2900), 1e-3, true},
        {"the same junctions with one link more", oneMore, 1e-3, true},
        {"level grids joined at every other junction", levelGrids(20, 4, 2), 1e-6, true},
        {"a junction pulled below the reference", chainAndStar(50), -3.0, false},
    };
    JunctionSystem system;
    for (const auto &c : cases) {
        const double residual = solvedResidual(system, c.pattern, c.held, 11);
        if (!c.positiveDefinite) {
            EXPECT_LT(residual, 0) << c.what;
            continue;
        }
        EXPECT_GE(residual, 0) << c.what;
        EXPECT_LT(residual, 1e-9) << c.what;
    }
}

namespace {

// A pressure held as two doubles, so that it keeps drops far below its own rounding.
struct Pressure {
    double high = 0, low = 0;
};

Pressure plus(Pressure p, double drop) {
    const double sum = p.high + drop, part = sum - p.high;
    const double low = (p.high - (sum - part)) + (drop - part) + p.low;
    return {sum + low, low - ((sum + low) - sum)};
}

long double dropBetween(const Pressure &a, const Pressure &b) {
    return static_cast<long double>(a.high - b.high) + static_cast<long double>(a.low - b.low);
}

// The links' weights drawn evenly in their logarithms over [least, most].
double logUniform(std::mt19937 &random, double least, double most) {
    std::uniform_real_distribution<double> exponent(std::log10(least), std::log10(most));
    return std::pow(10.0, exponent(random));
}

// A system of wide weights with a known solution, chosen first: unknown 0 alone grounded, by 1e-10, at a
// pressure of up to 1e10; the links of a spanning tree from it weighted over 1e-10 .. 1e10, each junction's
// pressure its parent's plus a flow of at most 1 over the weight; every other link weighted 1e-10 .. 1e-9,
// so that it too carries flows of about 1. The right-hand side is what the chosen pressures' flows take
// out of each unknown. The largest error of a flow the system's solution gives, relative to the largest
// flow; negative when the system refuses.
double wideWeightsFlowError(JunctionSystem &system, const Pattern &p, uint32_t seed) {
    const int n = static_cast<int>(p.identity.size());
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> flow(-1.0, 1.0);
    std::vector<std::vector<std::pair<int, std::size_t>>> around(n);
    for (std::size_t k = 0; k < p.links.size(); ++k) {
        around[p.links[k].first].emplace_back(p.links[k].second, k);
        around[p.links[k].second].emplace_back(p.links[k].first, k);
    }
    std::vector<double> weight(p.links.size(), 0.0);
    std::vector<Pressure> chosen(n);
    std::vector<char> reached(n, 0);
    chosen[0] = {1e10 * flow(random), 0};
    reached[0] = 1;
    for (std::vector<int> queue{0}; !queue.empty();) {
        const int u = queue.front();
        queue.erase(queue.begin());
        for (const auto &[v, k] : around[u])
            if (!reached[v]) {
                reached[v] = 1;
                weight[k] = logUniform(random, 1e-10, 1e10);
                chosen[v] = plus(chosen[u], flow(random) / weight[k]);
                queue.push_back(v);
            }
    }
    for (double &w : weight)
        if (w == 0)
            w = logUniform(random, 1e-10, 1e-9);
    const double grounding = 1e-10;
    std::vector<long double> linkFlow(p.links.size()), rhs(n, 0.0L);
    const long double groundFlow = grounding * (static_cast<long double>(chosen[0].high) + chosen[0].low);
    rhs[0] = groundFlow;
    long double largest = std::fabs(groundFlow);
    for (std::size_t k = 0; k < p.links.size(); ++k) {
        const auto [u, v] = p.links[k];
        linkFlow[k] = weight[k] * dropBetween(chosen[u], chosen[v]);
        rhs[u] += linkFlow[k];
        rhs[v] -= linkFlow[k];
        largest = std::max(largest, std::fabs(linkFlow[k]));
    }
    system.Define(p.identity, p.links);
    system.ClearValues();
    for (std::size_t k = 0; k < p.links.size(); ++k)
        system.Weights()[system.Link(p.links[k].first, p.links[k].second)] += weight[k];
    system.Grounding()[0] = grounding;
    Eigen::VectorXd b(n), x;
    for (int v = 0; v < n; ++v)
        b[v] = static_cast<double>(rhs[v]);
    if (!system.Factorize() || !system.Solve(b, x))
        return -1;
    long double error = std::fabs(grounding * x[0] - groundFlow);
    for (std::size_t k = 0; k < p.links.size(); ++k) {
        const auto [u, v] = p.links[k];
        error = std::max(error, std::fabs(weight[k] * system.Drop(u, v) - linkFlow[k]));
    }
    return static_cast<double>(error / largest);
}

Pattern clique(int n) {
    Pattern p;
    for (int v = 0; v < n; ++v) {
        p.identity.push_back(3 * v + 1);
        for (int u = 0; u < v; ++u)
            p.links.emplace_back(u, v);
    }
    return p;
}

Pattern chain(int n) {
    Pattern p;
    for (int v = 0; v < n; ++v) {
        p.identity.push_back(v);
        if (v > 0)
            p.links.emplace_back(v - 1, v);
    }
    return p;
}

} // namespace

// Weights over twenty orders of magnitude: every pivot is formed without a subtraction and the flows of
// the heaviest links keep their digits, in the loops of small fronts and the blocked kernel of large ones.
TEST(JunctionSystem, WeightsSpanningTwentyOrdersGiveTheFlowsOfTheChosenSolution) {
    const struct {
        const char *what;
        Pattern pattern;
    } cases[] = {
        {"a chain from the grounded junction", chain(400)},
        {"level grids joined at every other junction", renumbered(levelGrids(14, 6, 2), 9)},
        {"a front of 48 junctions", clique(48)},
        {"a front of 49 junctions", clique(49)},
        {"a front of 49 junctions below a chain",
         [] {
             Pattern p = clique(49);
             for (int v = 49; v < 120; ++v) {
                 p.identity.push_back(1000 + v);
                 p.links.emplace_back(v - 1, v);
             }
             return p;
         }()},
    };
    JunctionSystem system;
    for (const auto &c : cases)
        for (uint32_t seed : {1u, 2u, 3u}) {
            const double error = wideWeightsFlowError(system, c.pattern, seed);
            EXPECT_GE(error, 0) << c.what << ", seed " << seed << ": refused";
            EXPECT_LT(error, 1e-9) << c.what << ", seed " << seed;
        }
}

// A junction with no weight to the reference, directly or through its links, has no pressure.
TEST(JunctionSystem, AJunctionLinkedToNoReferenceIsRefused) {
    JunctionSystem system;
    const Pattern p = chain(5);
    system.Define(p.identity, p.links);
    system.ClearValues();
    for (const auto &[u, v] : p.links)
        system.Weights()[system.Link(u, v)] = 1e10;
    EXPECT_FALSE(system.Factorize());
    system.Grounding()[4] = 1e-10;
    EXPECT_TRUE(system.Factorize());
}

TEST(FillOrdering, NestedDissectionOfLevelGridsTakesFarLessArithmeticThanMinimumDegree) {
    const Pattern p = renumbered(levelGrids(40, 4, 2), 5);
    Adjacency graph;
    const int n = static_cast<int>(p.identity.size());
    std::vector<std::vector<int>> lists(n);
    for (const auto &[u, v] : p.links) {
        lists[u].push_back(v);
        lists[v].push_back(u);
    }
    for (const auto &list : lists) {
        graph.neighbour.insert(graph.neighbour.end(), list.begin(), list.end());
        graph.start.push_back(static_cast<int>(graph.neighbour.size()));
    }
    const std::vector<int> byDegree = MinimumDegreeOrder(graph), dissected = NestedDissectionOrder(graph);
    for (std::vector<int> order : {byDegree, dissected}) {
        std::sort(order.begin(), order.end());
        std::vector<int> all(n);
        std::iota(all.begin(), all.end(), 0);
        EXPECT_EQ(order, all) << "each unknown once";
    }
    EXPECT_LT(EliminationWork(TreeOfElimination(graph, dissected)),
              0.7 * EliminationWork(TreeOfElimination(graph, byDegree)));
}
