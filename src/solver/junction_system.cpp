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

// Fronts up to this size are factorised by plain loops: the blocked dense kernels cost more in setting up
// than they save on so few entries. Larger ones are factorised this many columns at a time, each panel's
// update of the rest of the front by the dense kernel.
constexpr int SmallFront = 48;
constexpr int Panel = 32;
// Of the largest flow, the imbalance that the flows of a solution may leave in all: it bounds the error of
// every flow, for an imbalance spreads through the links as a flow no larger than itself.
constexpr double Balanced = 1e-10;
// Solutions refined before one whose flows do not balance is refused.
constexpr int Refinements = 2;

// Eliminates columns from .. to - 1 of a front of `size` rows (its lower triangle below the diagonal holds
// minus the weights between its rows, g their groundings), updating columns up to updateTo - 1 on all their
// rows. Each pivot is the column's grounding plus its weights, all terms positive; each row below it takes
// its share of the column's grounding, as its weight to the column over the pivot. The columns are left
// scaled as a Cholesky factor's (minus each weight over the root of the pivot), the pivot on the diagonal.
bool eliminate(double *f, double *g, int size, int from, int to, int updateTo) {
    for (int k = from; k < to; ++k) {
        double *column = f + static_cast<std::ptrdiff_t>(k) * size;
        double pivot = g[k];
        for (int i = k + 1; i < size; ++i)
            pivot -= column[i];
        if (!(pivot > 0) || !std::isfinite(pivot))
            return false;
        const double root = std::sqrt(pivot), share = g[k] / root;
        column[k] = pivot;
        for (int i = k + 1; i < size; ++i) {
            column[i] /= root;
            g[i] -= share * column[i];
        }
        for (int j = k + 1; j < updateTo; ++j) {
            const double factor = column[j];
            if (factor == 0)
                continue;
            double *target = f + static_cast<std::ptrdiff_t>(j) * size;
            for (int i = j + 1; i < size; ++i)
                target[i] -= column[i] * factor;
        }
    }
    return true;
}

// Columns from .. to - 1 as the solve uses them: below each pivot each row's weight to it over the pivot.
void toWeightShares(double *f, int size, int from, int to) {
    for (int k = from; k < to; ++k) {
        double *column = f + static_cast<std::ptrdiff_t>(k) * size;
        const double root = std::sqrt(column[k]);
        for (int i = k + 1; i < size; ++i)
            column[i] = -column[i] / root;
    }
}

// Factorises the first `columns` columns of the front and leaves the rest of it updated by them, with its
// rows' groundings: the update its parent adds.
bool partialFactor(Block front, double *g, int columns) {
    const int size = static_cast<int>(front.rows());
    double *f = front.data();
    if (size <= SmallFront) {
        if (!eliminate(f, g, size, 0, columns, size))
            return false;
        toWeightShares(f, size, 0, columns);
        return true;
    }
    for (int from = 0; from < columns; from += Panel) {
        const int to = std::min(columns, from + Panel), rest = size - to;
        if (!eliminate(f, g, size, from, to, to))
            return false;
        if (rest > 0)
            front.bottomRightCorner(rest, rest)
                .selfadjointView<Eigen::Lower>()
                .rankUpdate(front.block(to, from, rest, to - from), -1.0);
        toWeightShares(f, size, from, to);
    }
    return true;
}

// a + b as two doubles, a given as two.
void addTo(double &high, double &low, double b) {
    const double sum = high + b, part = sum - high;
    const double error = (high - (sum - part)) + (b - part) + low;
    high = sum + error;
    low = error - (high - sum);
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
    if (identity_ != ascending || graph_.start != graph.start || graph_.neighbour != graph.neighbour) {
        order_ = orderFor(graph);
        identity_ = std::move(ascending);
        graph_ = std::move(graph);
        analyse();
    }
    std::vector<int> placeOfRank(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p)
        placeOfRank[order_[p]] = p;
    place_.resize(static_cast<std::size_t>(n));
    for (int v = 0; v < n; ++v)
        place_[v] = placeOfRank[rank[v]];
}

void JunctionSystem::analyse() {
    const Adjacency &graph = graph_;
    const int n = graph.Size();
    std::vector<int> place(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p)
        place[order_[p]] = p;
    columnStart_.assign(1, 0);
    row_.clear();
    for (int j = 0; j < n; ++j) {
        const int v = order_[j];
        const std::size_t first = row_.size();
        for (int e = graph.start[v]; e < graph.start[v + 1]; ++e)
            if (place[graph.neighbour[e]] > j)
                row_.push_back(place[graph.neighbour[e]]);
        std::sort(row_.begin() + static_cast<std::ptrdiff_t>(first), row_.end());
        columnStart_.push_back(static_cast<int>(row_.size()));
    }
    weight_.assign(row_.size(), 0.0);
    grounding_.assign(static_cast<std::size_t>(n), 0.0);

    const EliminationTree tree = TreeOfElimination(graph, order_);
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
            updateSize[s] = below * below + below;
            stack += updateSize[s];
        }
        largestStack = std::max(largestStack, stack);
        largestFront = std::max(largestFront, columns + below);
        blockStart_.push_back(blockStart_.back() + (columns + below) * columns);
    }
    factor_.assign(blockStart_.back(), 0.0);
    front_.assign(largestFront * largestFront, 0.0);
    frontGround_.assign(largestFront, 0.0);
    stack_.assign(largestStack, 0.0);
    updateAt_.assign(static_cast<std::size_t>(supernodes), 0);
    waiting_.reserve(static_cast<std::size_t>(supernodes));
    relative_.assign(static_cast<std::size_t>(n), 0);
    into_.assign(largestFront, 0);
    for (std::vector<double> *byPlace : {&grounded_, &ground_, &b_, &r_, &y_, &hi_, &lo_, &dhi_, &dlo_})
        byPlace->assign(static_cast<std::size_t>(n), 0.0);
}

int JunctionSystem::Link(int u, int v) const {
    if (u == v)
        return -1;
    const int column = std::min(place_[u], place_[v]), row = std::max(place_[u], place_[v]);
    const auto begin = row_.begin() + columnStart_[column], end = row_.begin() + columnStart_[column + 1];
    const auto at = std::lower_bound(begin, end, row);
    return at != end && *at == row ? static_cast<int>(at - row_.begin()) : -1;
}

void JunctionSystem::ClearValues() {
    std::fill(weight_.begin(), weight_.end(), 0.0);
    std::fill(grounding_.begin(), grounding_.end(), 0.0);
}

bool JunctionSystem::Factorize() {
    const int n = static_cast<int>(place_.size()), supernodes = static_cast<int>(superStart_.size()) - 1;
    auto usable = [](double w) { return w >= 0 && std::isfinite(w); };
    if (!std::all_of(weight_.begin(), weight_.end(), usable) ||
        !std::all_of(grounding_.begin(), grounding_.end(), usable))
        return false;
    for (int v = 0; v < n; ++v)
        ground_[place_[v]] = grounding_[v];
    std::size_t top = 0; // the stack's used length
    waiting_.clear();    // supernodes whose updates lie on the stack, the latest last
    for (int s = 0; s < supernodes; ++s) {
        const int first = superStart_[s], columns = superStart_[s + 1] - first;
        const int *rows = structure_.data() + structureStart_[s];
        const int below = structureStart_[s + 1] - structureStart_[s], size = columns + below;
        for (int k = 0; k < columns; ++k)
            relative_[first + k] = k;
        for (int k = 0; k < below; ++k)
            relative_[rows[k]] = columns + k;
        Block front(front_.data(), size, size);
        double *f = front_.data();
        for (int j = 0; j < size; ++j) // only the lower triangle is read
            std::fill(f + static_cast<std::ptrdiff_t>(j) * size + j,
                      f + static_cast<std::ptrdiff_t>(j + 1) * size, 0.0);
        double *g = frontGround_.data();
        std::copy_n(ground_.begin() + first, columns, g);
        std::fill_n(g + columns, below, 0.0);
        for (int j = first; j < first + columns; ++j)
            for (int p = columnStart_[j]; p < columnStart_[j + 1]; ++p)
                front(relative_[row_[p]], j - first) -= weight_[p];
        // The children's updates lie on top of the stack, the last child's uppermost: the order of
        // elimination puts every subtree whole just before its root.
        for (int k = 0; k < childCount_[s]; ++k) {
            const int child = waiting_.back();
            waiting_.pop_back();
            const int childBelow = structureStart_[child + 1] - structureStart_[child];
            const int *childRows = structure_.data() + structureStart_[child];
            const std::size_t at = updateAt_[child];
            const double *update = stack_.data() + at, *childGround = update + childBelow * childBelow;
            int *into = into_.data();
            for (int a = 0; a < childBelow; ++a)
                into[a] = relative_[childRows[a]];
            for (int b = 0; b < childBelow; ++b) {
                g[into[b]] += childGround[b];
                double *target = f + static_cast<std::ptrdiff_t>(into[b]) * size;
                const double *from = update + static_cast<std::ptrdiff_t>(b) * childBelow;
                for (int a = b + 1; a < childBelow; ++a)
                    target[into[a]] += from[a];
            }
            top = at;
        }
        if (!partialFactor(front, g, columns))
            return false;
        if (below > 0) {
            updateAt_[s] = top;
            waiting_.push_back(s);
            for (int b = 0; b < below; ++b) // its strict lower triangle is what the parent adds
                std::copy(f + static_cast<std::ptrdiff_t>(columns + b) * size + columns + b + 1,
                          f + static_cast<std::ptrdiff_t>(columns + b + 1) * size,
                          stack_.begin() + static_cast<std::ptrdiff_t>(top) +
                              static_cast<std::ptrdiff_t>(b) * below + b + 1);
            top += static_cast<std::size_t>(below) * below;
            std::copy_n(g + columns, below, stack_.begin() + static_cast<std::ptrdiff_t>(top));
            top += static_cast<std::size_t>(below);
        }
        std::memcpy(factor_.data() + blockStart_[s], front_.data(),
                    sizeof(double) * static_cast<std::size_t>(size) * columns);
        for (int k = 0; k < columns; ++k)
            grounded_[first + k] = g[k] / front(k, k);
    }
    return true;
}

void JunctionSystem::substitute(const std::vector<double> &b, std::vector<double> &hi,
                                std::vector<double> &lo) {
    const int supernodes = static_cast<int>(superStart_.size()) - 1;
    std::vector<double> &y = y_;
    y = b;
    // Forward: what each eliminated unknown takes in passes on to the rows below it by their shares.
    for (int s = 0; s < supernodes; ++s) {
        const int first = superStart_[s], columns = superStart_[s + 1] - first;
        const int *rows = structure_.data() + structureStart_[s];
        const int size = columns + structureStart_[s + 1] - structureStart_[s];
        const double *block = factor_.data() + blockStart_[s];
        for (int k = 0; k < columns; ++k) {
            const double *share = block + static_cast<std::ptrdiff_t>(k) * size, taken = y[first + k];
            if (taken == 0)
                continue;
            for (int i = k + 1; i < columns; ++i)
                y[first + i] += share[i] * taken;
            for (int i = columns; i < size; ++i)
                y[rows[i - columns]] += share[i] * taken;
        }
    }
    // Back: each unknown's pressure as its difference from that of the row it is joined to most strongly,
    // the weighted mean of the other rows' differences from it less the grounding's share of it; or, where
    // the grounding holds it most strongly, as the weighted mean of the rows' pressures. So no share's
    // rounding scales a drop larger than the one its own link carries.
    auto rowOf = [&](int first, int columns, const int *rows, int i) {
        return i < columns ? first + i : rows[i - columns];
    };
    for (int s = supernodes - 1; s >= 0; --s) {
        const int first = superStart_[s], columns = superStart_[s + 1] - first;
        const int *rows = structure_.data() + structureStart_[s];
        const int size = columns + structureStart_[s + 1] - structureStart_[s];
        const double *block = factor_.data() + blockStart_[s];
        for (int k = columns - 1; k >= 0; --k) {
            const double *share = block + static_cast<std::ptrdiff_t>(k) * size;
            const int at = first + k;
            int strongest = -1;
            double most = grounded_[at];
            for (int i = k + 1; i < size; ++i)
                if (share[i] > most) {
                    most = share[i];
                    strongest = i;
                }
            double sum = y[at] / share[k];
            if (strongest < 0) {
                hi[at] = lo[at] = 0;
                for (int i = k + 1; i < size; ++i) {
                    const int r = rowOf(first, columns, rows, i);
                    sum += share[i] * (hi[r] + lo[r]);
                }
                addTo(hi[at], lo[at], sum);
                continue;
            }
            const int next = rowOf(first, columns, rows, strongest);
            const double nextHigh = hi[next], nextLow = lo[next];
            for (int i = k + 1; i < size; ++i) {
                const int r = rowOf(first, columns, rows, i);
                sum += share[i] * ((hi[r] - nextHigh) + (lo[r] - nextLow));
            }
            hi[at] = nextHigh;
            lo[at] = nextLow;
            addTo(hi[at], lo[at], sum - grounded_[at] * (nextHigh + nextLow));
        }
    }
}

double JunctionSystem::residual(const std::vector<double> &b, double &scale) {
    const int n = static_cast<int>(place_.size());
    r_ = b;
    scale = 0;
    for (int j = 0; j < n; ++j) {
        scale = std::max(scale, std::fabs(b[j]));
        const double grounded = ground_[j] * (hi_[j] + lo_[j]);
        r_[j] -= grounded;
        scale = std::max(scale, std::fabs(grounded));
        for (int p = columnStart_[j]; p < columnStart_[j + 1]; ++p) {
            const int i = row_[p];
            const double flow = weight_[p] * ((hi_[j] - hi_[i]) + (lo_[j] - lo_[i]));
            r_[j] -= flow;
            r_[i] += flow;
            scale = std::max(scale, std::fabs(flow));
        }
    }
    double sum = 0;
    for (double r : r_)
        sum += std::fabs(r);
    return sum;
}

bool JunctionSystem::Solve(const Eigen::VectorXd &rhs, Eigen::VectorXd &solution) {
    const int n = static_cast<int>(place_.size());
    for (int v = 0; v < n; ++v)
        b_[place_[v]] = rhs[v];
    substitute(b_, hi_, lo_);
    for (int round = 0;; ++round) {
        double scale = 0;
        const double imbalance = residual(b_, scale);
        if (!std::isfinite(imbalance) || !std::isfinite(scale))
            return false;
        if (imbalance <= Balanced * scale)
            break;
        if (round == Refinements)
            return false;
        substitute(r_, dhi_, dlo_);
        for (int j = 0; j < n; ++j)
            addTo(hi_[j], lo_[j], dhi_[j] + dlo_[j]);
    }
    solution.resize(n);
    for (int v = 0; v < n; ++v)
        solution[v] = hi_[place_[v]] + lo_[place_[v]];
    return true;
}

double JunctionSystem::Drop(int u, int v) const {
    auto high = [&](int w) { return w >= 0 ? hi_[place_[w]] : 0.0; };
    auto low = [&](int w) { return w >= 0 ? lo_[place_[w]] : 0.0; };
    return (high(u) - high(v)) + (low(u) - low(v));
}
