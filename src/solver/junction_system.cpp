#include "solver/junction_system.h"

#include "solver/fill_ordering.h"

#include <Eigen/Cholesky>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace {

// Nested dissection is tried only where minimum degree's factorisation takes more than this many
// operations per entry of the matrix: only there are its fronts so wide that a second ordering pays for
// itself within the run's factorisations.
constexpr double DissectionWorthWhile = 2000;
// A column joins the supernode of the one before it, its only child, while that supernode has fewer
// columns than this, even where their patterns differ a little: small dense blocks cost less than the
// bookkeeping of many tiny ones.
constexpr int RelaxedColumns = 8;

// The pattern ordered last, its unknowns numbered by ascending identity, and the order found for it.
struct KeptOrder {
    std::vector<int64_t> identity; // ascending
    Adjacency graph;
    std::vector<int> order;
};

KeptOrder &keptOrder() {
    static KeptOrder kept;
    return kept;
}

// The links as adjacency lists of the unknowns numbered by rank, each neighbour once.
Adjacency adjacencyOf(const std::vector<std::pair<int, int>> &links, const std::vector<int> &rank) {
    const int n = static_cast<int>(rank.size());
    Adjacency graph;
    graph.start.assign(static_cast<std::size_t>(n) + 1, 0);
    for (const auto &[u, v] : links)
        if (u != v) {
            ++graph.start[rank[u] + 1];
            ++graph.start[rank[v] + 1];
        }
    std::partial_sum(graph.start.begin(), graph.start.end(), graph.start.begin());
    graph.neighbour.resize(static_cast<std::size_t>(graph.start[n]));
    std::vector<int> next(graph.start.begin(), graph.start.end() - 1);
    for (const auto &[u, v] : links)
        if (u != v) {
            graph.neighbour[next[rank[u]]++] = rank[v];
            graph.neighbour[next[rank[v]]++] = rank[u];
        }
    // Each list sorted and its repeats dropped, the lists moved up over the gaps left.
    int kept = 0;
    for (int v = 0, from = 0; v < n; ++v) {
        const int to = graph.start[v + 1];
        std::sort(graph.neighbour.begin() + from, graph.neighbour.begin() + to);
        const int first = kept;
        for (int k = from; k < to; ++k)
            if (k == from || graph.neighbour[k] != graph.neighbour[k - 1])
                graph.neighbour[kept++] = graph.neighbour[k];
        graph.start[v] = first;
        from = to;
    }
    graph.start[n] = kept;
    graph.neighbour.resize(static_cast<std::size_t>(kept));
    return graph;
}

// The cheaper order of the two, arranged for the factorisation's stack.
std::vector<int> orderFor(const Adjacency &graph) {
    std::vector<int> order = MinimumDegreeOrder(graph);
    EliminationTree tree = TreeOfElimination(graph, order);
    const double work = EliminationWork(tree);
    const double entries = graph.Size() + static_cast<double>(graph.neighbour.size()) / 2;
    if (work > DissectionWorthWhile * entries) {
        std::vector<int> dissected = NestedDissectionOrder(graph);
        EliminationTree dissectedTree = TreeOfElimination(graph, dissected);
        if (EliminationWork(dissectedTree) < work) {
            order = std::move(dissected);
            tree = std::move(dissectedTree);
        }
    }
    return Postordered(order, tree);
}

using Block = Eigen::Map<Eigen::MatrixXd>;
using ConstBlock = Eigen::Map<const Eigen::MatrixXd>;

// Fronts up to this size are factorised by plain loops: the blocked dense kernels cost more in setting up
// than they save on so few entries.
constexpr int SmallFront = 48;

// Factorises the first `columns` columns of the front (its lower triangle, size by size) and leaves the
// rest of it updated by them: the update its parent adds.
bool partialCholesky(Block front, int columns) {
    const int size = static_cast<int>(front.rows());
    if (size > SmallFront) {
        Eigen::Ref<Eigen::MatrixXd> diagonal = front.topLeftCorner(columns, columns);
        const Eigen::LLT<Eigen::Ref<Eigen::MatrixXd>> pivots(diagonal);
        if (pivots.info() != Eigen::Success)
            return false;
        const int below = size - columns;
        if (below > 0) {
            auto under = front.bottomLeftCorner(below, columns);
            diagonal.triangularView<Eigen::Lower>().transpose().solveInPlace<Eigen::OnTheRight>(under);
            front.bottomRightCorner(below, below).selfadjointView<Eigen::Lower>().rankUpdate(under, -1.0);
        }
        return true;
    }
    double *f = front.data();
    for (int k = 0; k < columns; ++k) {
        double *column = f + static_cast<std::ptrdiff_t>(k) * size;
        if (!(column[k] > 0))
            return false;
        const double pivot = std::sqrt(column[k]);
        column[k] = pivot;
        for (int i = k + 1; i < size; ++i)
            column[i] /= pivot;
        for (int j = k + 1; j < size; ++j) {
            const double factor = column[j];
            double *target = f + static_cast<std::ptrdiff_t>(j) * size;
            for (int i = j; i < size; ++i)
                target[i] -= column[i] * factor;
        }
    }
    return true;
}

} // namespace

void JunctionSystem::Define(const std::vector<int64_t> &identity,
                            const std::vector<std::pair<int, int>> &links) {
    const int n = static_cast<int>(identity.size());
    // Unknowns numbered by ascending identity give an unchanged network the same pattern, however its
    // airways and junctions are numbered in this run.
    std::vector<int> byIdentity(static_cast<std::size_t>(n));
    std::iota(byIdentity.begin(), byIdentity.end(), 0);
    std::sort(byIdentity.begin(), byIdentity.end(), [&](int a, int b) { return identity[a] < identity[b]; });
    std::vector<int> rank(static_cast<std::size_t>(n));
    std::vector<int64_t> ascending(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        rank[byIdentity[k]] = k;
        ascending[k] = identity[byIdentity[k]];
    }
    Adjacency graph = adjacencyOf(links, rank);
    KeptOrder &kept = keptOrder();
    if (kept.identity != ascending || kept.graph.start != graph.start ||
        kept.graph.neighbour != graph.neighbour) {
        std::vector<int> order = orderFor(graph);
        kept = KeptOrder{std::move(ascending), std::move(graph), std::move(order)};
    }
    analyse(kept.graph, kept.order);
    std::vector<int> placeOfRank(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p)
        placeOfRank[kept.order[p]] = p;
    place_.resize(static_cast<std::size_t>(n));
    for (int v = 0; v < n; ++v)
        place_[v] = placeOfRank[rank[v]];
}

void JunctionSystem::analyse(const Adjacency &graph, const std::vector<int> &order) {
    const int n = graph.Size();
    std::vector<int> place(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p)
        place[order[p]] = p;
    columnStart_.assign(1, 0);
    row_.clear();
    for (int j = 0; j < n; ++j) {
        const int v = order[j];
        row_.push_back(j);
        const std::size_t first = row_.size();
        for (int e = graph.start[v]; e < graph.start[v + 1]; ++e)
            if (place[graph.neighbour[e]] > j)
                row_.push_back(place[graph.neighbour[e]]);
        std::sort(row_.begin() + static_cast<std::ptrdiff_t>(first), row_.end());
        columnStart_.push_back(static_cast<int>(row_.size()));
    }
    value_.assign(row_.size(), 0.0);

    const EliminationTree tree = TreeOfElimination(graph, order);
    std::vector<int> children(static_cast<std::size_t>(n), 0);
    for (int j = 0; j < n; ++j)
        if (tree.parent[j] >= 0)
            ++children[tree.parent[j]];
    superStart_.clear();
    for (int j = 0; j < n; ++j) {
        const bool chained = j > 0 && tree.parent[j - 1] == j && children[j] == 1;
        const bool samePattern = chained && tree.below[j - 1] == tree.below[j] + 1;
        if (!(samePattern || (chained && j - superStart_.back() < RelaxedColumns)))
            superStart_.push_back(j);
    }
    const int supernodes = static_cast<int>(superStart_.size());
    superStart_.push_back(n);

    // Each supernode's rows below its columns: those of the matrix and those its children pass up.
    std::vector<int> superOf(static_cast<std::size_t>(n)), seen(static_cast<std::size_t>(n), -1);
    for (int s = 0; s < supernodes; ++s)
        std::fill(superOf.begin() + superStart_[s], superOf.begin() + superStart_[s + 1], s);
    std::vector<std::vector<int>> childrenOf(static_cast<std::size_t>(supernodes));
    structureStart_.assign(1, 0);
    structure_.clear();
    childCount_.assign(static_cast<std::size_t>(supernodes), 0);
    blockStart_.assign(1, 0);
    std::size_t largestFront = 0, stack = 0, largestStack = 0;
    std::vector<std::size_t> updateSize(static_cast<std::size_t>(supernodes), 0);
    for (int s = 0; s < supernodes; ++s) {
        const int first = superStart_[s], last = superStart_[s + 1] - 1;
        const std::size_t from = structure_.size();
        auto add = [&](int i) {
            if (i > last && seen[i] != s) {
                seen[i] = s;
                structure_.push_back(i);
            }
        };
        for (int j = first; j <= last; ++j)
            for (int p = columnStart_[j]; p < columnStart_[j + 1]; ++p)
                add(row_[p]);
        for (int c : childrenOf[s])
            for (int k = structureStart_[c]; k < structureStart_[c + 1]; ++k)
                add(structure_[k]);
        std::sort(structure_.begin() + static_cast<std::ptrdiff_t>(from), structure_.end());
        structureStart_.push_back(static_cast<int>(structure_.size()));
        const std::size_t below = structure_.size() - from,
                          columns = static_cast<std::size_t>(last - first + 1);
        childCount_[s] = static_cast<int>(childrenOf[s].size());
        for (int c : childrenOf[s])
            stack -= updateSize[c];
        if (below > 0) {
            childrenOf[superOf[structure_[from]]].push_back(s);
            updateSize[s] = below * below;
            stack += updateSize[s];
        }
        largestStack = std::max(largestStack, stack);
        largestFront = std::max(largestFront, columns + below);
        blockStart_.push_back(blockStart_.back() + (columns + below) * columns);
    }
    factor_.assign(blockStart_.back(), 0.0);
    front_.assign(largestFront * largestFront, 0.0);
    stack_.assign(largestStack, 0.0);
    relative_.assign(static_cast<std::size_t>(n), 0);
    work_.resize(n);
    product_.resize(static_cast<Eigen::Index>(largestFront));
}

int JunctionSystem::Slot(int u, int v) const {
    const int column = std::min(place_[u], place_[v]), row = std::max(place_[u], place_[v]);
    const auto begin = row_.begin() + columnStart_[column], end = row_.begin() + columnStart_[column + 1];
    const auto at = std::lower_bound(begin, end, row);
    return at != end && *at == row ? static_cast<int>(at - row_.begin()) : -1;
}

void JunctionSystem::ClearValues() {
    std::fill(value_.begin(), value_.end(), 0.0);
}

bool JunctionSystem::Factorize() {
    const int supernodes = static_cast<int>(superStart_.size()) - 1;
    std::size_t top = 0; // the stack's used length
    std::vector<std::size_t> updateAt(static_cast<std::size_t>(std::max(supernodes, 0)));
    std::vector<int> waiting; // supernodes whose updates lie on the stack, the latest last
    for (int s = 0; s < supernodes; ++s) {
        const int first = superStart_[s], columns = superStart_[s + 1] - first;
        const int *rows = structure_.data() + structureStart_[s];
        const int below = structureStart_[s + 1] - structureStart_[s], size = columns + below;
        for (int k = 0; k < columns; ++k)
            relative_[first + k] = k;
        for (int k = 0; k < below; ++k)
            relative_[rows[k]] = columns + k;
        Block front(front_.data(), size, size);
        front.setZero();
        for (int j = first; j < first + columns; ++j)
            for (int p = columnStart_[j]; p < columnStart_[j + 1]; ++p)
                front(relative_[row_[p]], j - first) += value_[p];
        // The children's updates lie on top of the stack, the last child's uppermost: the order of
        // elimination puts every subtree whole just before its root.
        for (int k = 0; k < childCount_[s]; ++k) {
            const int child = waiting.back();
            waiting.pop_back();
            const int childBelow = structureStart_[child + 1] - structureStart_[child];
            const int *childRows = structure_.data() + structureStart_[child];
            const std::size_t at = updateAt[child];
            const ConstBlock update(stack_.data() + at, childBelow, childBelow);
            for (int b = 0; b < childBelow; ++b) {
                const int to = relative_[childRows[b]];
                for (int a = b; a < childBelow; ++a)
                    front(relative_[childRows[a]], to) += update(a, b);
            }
            top = at;
        }
        if (!partialCholesky(front, columns))
            return false;
        if (below > 0) {
            updateAt[s] = top;
            waiting.push_back(s);
            Block(stack_.data() + top, below, below) = front.bottomRightCorner(below, below);
            top += static_cast<std::size_t>(below) * below;
        }
        std::memcpy(factor_.data() + blockStart_[s], front_.data(),
                    sizeof(double) * static_cast<std::size_t>(size) * columns);
    }
    return true;
}

bool JunctionSystem::Solve(const Eigen::VectorXd &rhs, Eigen::VectorXd &solution) {
    const int n = static_cast<int>(place_.size()), supernodes = static_cast<int>(superStart_.size()) - 1;
    for (int v = 0; v < n; ++v)
        work_[place_[v]] = rhs[v];
    for (int s = 0; s < supernodes; ++s) {
        const int first = superStart_[s], columns = superStart_[s + 1] - first;
        const int *rows = structure_.data() + structureStart_[s];
        const int below = structureStart_[s + 1] - structureStart_[s];
        const ConstBlock block(factor_.data() + blockStart_[s], columns + below, columns);
        auto own = work_.segment(first, columns);
        block.topRows(columns).triangularView<Eigen::Lower>().solveInPlace(own);
        if (below == 0)
            continue;
        auto product = product_.head(below);
        product.noalias() = block.bottomRows(below) * own;
        for (int k = 0; k < below; ++k)
            work_[rows[k]] -= product[k];
    }
    for (int s = supernodes - 1; s >= 0; --s) {
        const int first = superStart_[s], columns = superStart_[s + 1] - first;
        const int *rows = structure_.data() + structureStart_[s];
        const int below = structureStart_[s + 1] - structureStart_[s];
        const ConstBlock block(factor_.data() + blockStart_[s], columns + below, columns);
        auto own = work_.segment(first, columns);
        if (below > 0) {
            auto gathered = product_.head(below);
            for (int k = 0; k < below; ++k)
                gathered[k] = work_[rows[k]];
            own.noalias() -= block.bottomRows(below).transpose() * gathered;
        }
        block.topRows(columns).triangularView<Eigen::Lower>().transpose().solveInPlace(own);
    }
    solution.resize(n);
    for (int v = 0; v < n; ++v)
        solution[v] = work_[place_[v]];
    return solution.allFinite();
}
