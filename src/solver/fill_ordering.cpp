#include "solver/fill_ordering.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>

#include <numeric>
#include <utility>

namespace {

// Parts this small are ordered by minimum degree: below it, splitting gains less than minimum degree's
// own choice of the order of each part.
constexpr int LeafSize = 1024;
// The least share of a piece that a band may leave on either side: an uneven split leaves the larger side
// to be split again at nearly the same cost.
constexpr double LeastShare = 0.4;
// Marks an unknown already given its place.
constexpr int Ordered = -1;

// Appends the unknowns to order by minimum degree over the links among them (those with member[v] == id).
void appendByMinimumDegree(const Adjacency &graph, const std::vector<int> &unknowns, std::vector<int> &member,
                           int id, std::vector<int> &local, std::vector<int> &order) {
    const int n = static_cast<int>(unknowns.size());
    if (n <= 2) {
        for (int v : unknowns) {
            order.push_back(v);
            member[v] = Ordered;
        }
        return;
    }
    for (int i = 0; i < n; ++i)
        local[unknowns[i]] = i;
    std::vector<Eigen::Triplet<double>> pattern;
    for (int i = 0; i < n; ++i) {
        const int v = unknowns[i];
        pattern.emplace_back(i, i, 1.0);
        for (int k = graph.start[v]; k < graph.start[v + 1]; ++k) {
            const int w = graph.neighbour[k];
            if (member[w] == id && local[w] > i)
                pattern.emplace_back(local[w], i, 1.0);
        }
    }
    Eigen::SparseMatrix<double> lower(n, n);
    lower.setFromTriplets(pattern.begin(), pattern.end());
    // Eigen's orderings give the unknown of each place (the inverse of the permutation they apply).
    Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> places;
    Eigen::AMDOrdering<int> minimumDegree;
    minimumDegree(lower.selfadjointView<Eigen::Lower>(), places);
    for (int k = 0; k < n; ++k) {
        const int v = unknowns[places.indices()[k]];
        order.push_back(v);
        member[v] = Ordered;
    }
    for (int v : unknowns)
        local[v] = -1;
}

class Dissection {
public:
    explicit Dissection(const Adjacency &graph)
        : graph_(graph), member_(graph.Size(), 0), level_(graph.Size(), 0), reached_(graph.Size(), 0),
          local_(graph.Size(), -1) {}

    std::vector<int> Run() {
        std::vector<int> all(graph_.Size());
        std::iota(all.begin(), all.end(), 0);
        order_.reserve(all.size());
        dissect(std::move(all), 0);
        return std::move(order_);
    }

private:
    int degree(int v) const { return graph_.start[v + 1] - graph_.start[v]; }

    // The unknowns of part id reached from root, breadth first, with their levels; depth is the last level.
    std::vector<int> search(int root, int id, int &depth) {
        ++stamp_;
        std::vector<int> reached{root};
        reached_[root] = stamp_;
        level_[root] = 0;
        for (std::size_t next = 0; next < reached.size(); ++next) {
            const int v = reached[next];
            for (int k = graph_.start[v]; k < graph_.start[v + 1]; ++k) {
                const int w = graph_.neighbour[k];
                if (member_[w] != id || reached_[w] == stamp_)
                    continue;
                reached_[w] = stamp_;
                level_[w] = level_[v] + 1;
                reached.push_back(w);
            }
        }
        depth = level_[reached.back()];
        return reached;
    }

    void dissect(std::vector<int> unknowns, int id) {
        // Each connected piece on its own.
        while (!unknowns.empty()) {
            if (static_cast<int>(unknowns.size()) <= LeafSize) {
                appendByMinimumDegree(graph_, unknowns, member_, id, local_, order_);
                return;
            }
            int depth = 0;
            std::vector<int> piece = search(unknowns.front(), id, depth);
            // Levels from a far end of the piece are the narrowest: search again from the least linked
            // unknown of the last level while that makes the piece deeper.
            for (int tries = 0; tries < 4; ++tries) {
                int far = piece.back();
                for (auto v = piece.rbegin(); v != piece.rend() && level_[*v] == depth; ++v)
                    if (degree(*v) < degree(far))
                        far = *v;
                int farDepth = 0;
                std::vector<int> fromFar = search(far, id, farDepth);
                const bool deeper = farDepth > depth;
                piece = std::move(fromFar);
                depth = farDepth;
                if (!deeper)
                    break;
            }
            std::vector<int> rest;
            for (int v : unknowns)
                if (reached_[v] != stamp_)
                    rest.push_back(v);
            if (static_cast<int>(piece.size()) <= LeafSize || depth < 2)
                appendByMinimumDegree(graph_, piece, member_, id, local_, order_);
            else
                split(piece, id, depth);
            unknowns = std::move(rest);
        }
    }

    // Splits a connected piece, searched last, by the smallest level that leaves enough on either side.
    void split(const std::vector<int> &piece, int id, int depth) {
        std::vector<int> count(static_cast<std::size_t>(depth) + 1, 0);
        for (int v : piece)
            ++count[level_[v]];
        const int total = static_cast<int>(piece.size());
        int band = -1;
        for (int l = 1, below = count[0]; l < depth; below += count[l], ++l) {
            const int above = total - below - count[l];
            if (below >= LeastShare * total && above >= LeastShare * total &&
                (band < 0 || count[l] < count[band]))
                band = l;
        }
        if (band < 0) // no level leaves enough on both sides: the one at the middle
            for (int l = 1, below = count[0]; l < depth && band < 0; below += count[l], ++l)
                if (below + count[l] > total / 2)
                    band = l;
        if (band < 0)
            band = depth - 1;
        // The band's unknowns that link to the next level separate the two sides; the others join the
        // lower side.
        std::vector<int> low, high, separator;
        const int stamp = stamp_;
        for (int v : piece) {
            if (level_[v] != band) {
                (level_[v] < band ? low : high).push_back(v);
                continue;
            }
            bool links = false;
            for (int k = graph_.start[v]; k < graph_.start[v + 1] && !links; ++k) {
                const int w = graph_.neighbour[k];
                links = member_[w] == id && reached_[w] == stamp && level_[w] == band + 1;
            }
            (links ? separator : low).push_back(v);
        }
        const int lowId = ++parts_, highId = ++parts_;
        for (int v : low)
            member_[v] = lowId;
        for (int v : high)
            member_[v] = highId;
        for (int v : separator)
            member_[v] = Ordered;
        dissect(std::move(low), lowId);
        dissect(std::move(high), highId);
        order_.insert(order_.end(), separator.begin(), separator.end());
    }

    const Adjacency &graph_;
    std::vector<int> member_; // the part each unknown is in, Ordered once placed
    std::vector<int> level_, reached_, local_;
    int stamp_ = 0, parts_ = 0;
    std::vector<int> order_;
};

} // namespace

std::vector<int> MinimumDegreeOrder(const Adjacency &graph) {
    std::vector<int> all(graph.Size()), member(graph.Size(), 0), local(graph.Size(), -1), order;
    std::iota(all.begin(), all.end(), 0);
    order.reserve(all.size());
    appendByMinimumDegree(graph, all, member, 0, local, order);
    return order;
}

std::vector<int> NestedDissectionOrder(const Adjacency &graph) {
    return Dissection(graph).Run();
}

EliminationTree TreeOfElimination(const Adjacency &graph, const std::vector<int> &order) {
    const int n = graph.Size();
    EliminationTree tree{std::vector<int>(n, -1), std::vector<int>(n, 0)};
    std::vector<int> place(n), mark(n);
    for (int k = 0; k < n; ++k)
        place[order[k]] = k;
    // Column k of the factor reaches every column on the paths up the tree from the earlier unknowns
    // linked to it.
    for (int k = 0; k < n; ++k) {
        mark[k] = k;
        const int v = order[k];
        for (int e = graph.start[v]; e < graph.start[v + 1]; ++e)
            for (int i = place[graph.neighbour[e]]; i < k && mark[i] != k; i = tree.parent[i]) {
                if (tree.parent[i] == -1)
                    tree.parent[i] = k;
                ++tree.below[i];
                mark[i] = k;
            }
    }
    return tree;
}

double EliminationWork(const EliminationTree &tree) {
    double work = 0;
    for (int c : tree.below)
        work += static_cast<double>(c) * c;
    return work;
}

std::vector<int> Postordered(const std::vector<int> &order, const EliminationTree &tree) {
    const int n = static_cast<int>(order.size());
    // Children by place, the earliest first.
    std::vector<int> firstChild(n, -1), nextSibling(n, -1);
    for (int j = n - 1; j >= 0; --j)
        if (tree.parent[j] >= 0) {
            nextSibling[j] = firstChild[tree.parent[j]];
            firstChild[tree.parent[j]] = j;
        }
    std::vector<int> result, path;
    result.reserve(order.size());
    for (int root = 0; root < n; ++root) {
        if (tree.parent[root] != -1)
            continue;
        path.push_back(root);
        while (!path.empty()) {
            const int j = path.back();
            if (firstChild[j] >= 0) { // descend into the next child not yet placed
                const int child = firstChild[j];
                firstChild[j] = nextSibling[child];
                path.push_back(child);
                continue;
            }
            result.push_back(order[j]);
            path.pop_back();
        }
    }
    return result;
}
