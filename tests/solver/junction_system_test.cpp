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

// Solves a weighted Laplacian of the links held to a reference through every diagonal; the largest
// residual of the matrix worked out from the links and weights, relative to the right-hand side. Negative
// when the system refuses the matrix.
double solvedResidual(const Pattern &p, double held, uint32_t seed) {
    JunctionSystem system;
    system.Define(p.identity, p.links);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> weight(0.5, 2.0), side(-1.0, 1.0);
    const int n = static_cast<int>(p.identity.size());
    std::vector<double> diagonal(n, held), w(p.links.size());
    system.ClearValues();
    double *values = system.Values();
    for (std::size_t k = 0; k < p.links.size(); ++k) {
        const auto [u, v] = p.links[k];
        w[k] = weight(random);
        diagonal[u] += w[k];
        diagonal[v] += w[k];
        const int slot = system.Slot(u, v);
        EXPECT_GE(slot, 0) << "link " << u << "-" << v;
        if (slot >= 0)
            values[slot] -= w[k];
    }
    for (int v = 0; v < n; ++v)
        values[system.Slot(v, v)] += diagonal[v];
    Eigen::VectorXd rhs(n), x;
    for (int v = 0; v < n; ++v)
        rhs[v] = side(random);
    if (!system.Factorize())
        return -1;
    EXPECT_TRUE(system.Solve(rhs, x));
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

} // namespace

TEST(JunctionSystem, SolvesItsMatrixWhateverTheOrderAndOnlyAnUnchangedPatternKeepsItsOrder) {
    const Pattern grids = levelGrids(16, 12, 1); // wide enough fronts for nested dissection
    Pattern oneMore = renumbered(grids, 3);
    oneMore.links.emplace_back(5, 300);
    // Each row follows the one before it, so the order kept from it is offered to the next.
    const struct {
        const char *what;
        Pattern pattern;
        double held; // on every diagonal beyond the links' weights
        bool positiveDefinite;
    } cases[] = {
        {"a chain and, apart from it, a star", chainAndStar(300), 1e-3, true},
        {"level grids joined at every junction", grids, 1e-3, true},
        {"the same grids numbered otherwise", renumbered(grids, 2), 1e-3, true},
        {"the same junctions with one link more", oneMore, 1e-3, true},
        {"level grids joined at every other junction", levelGrids(20, 4, 2), 1e-6, true},
        {"a junction pulled below the reference", chainAndStar(50), -3.0, false},
    };
    for (const auto &c : cases) {
        const double residual = solvedResidual(c.pattern, c.held, 11);
        if (!c.positiveDefinite) {
            EXPECT_LT(residual, 0) << c.what;
            continue;
        }
        EXPECT_GE(residual, 0) << c.what;
        EXPECT_LT(residual, 1e-9) << c.what;
    }
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
