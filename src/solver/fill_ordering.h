#pragma once
// Orders the unknowns of a sparse symmetric system for elimination, so that its factor keeps few entries
// and costs little arithmetic: by minimum degree, or by nested dissection where the network is a grid of
// many junctions on every side (level grids joined by raises), where minimum degree leaves large fronts.
#include <vector>

// The links of a symmetric pattern: the neighbours of unknown v are neighbour[start[v]] ..
// neighbour[start[v + 1] - 1], each link listed at both of its ends, none of an unknown to itself.
struct Adjacency {
    std::vector<int> start{0};
    std::vector<int> neighbour;
    int Size() const { return static_cast<int>(start.size()) - 1; }
};

// order[k] is the unknown eliminated k-th.
std::vector<int> MinimumDegreeOrder(const Adjacency &graph);
// Splits the graph by the smallest band of a breadth-first level structure that leaves at least two
// fifths on either side, orders each side so in turn and the band after both; parts of at most a
// thousand unknowns are ordered by minimum degree.
std::vector<int> NestedDissectionOrder(const Adjacency &graph);

// The elimination tree of the graph eliminated in an order, by place in the order: the place of each
// column's parent (-1 at a root) and the number of entries below the diagonal in each column of the factor.
struct EliminationTree {
    std::vector<int> parent;
    std::vector<int> below;
};
EliminationTree TreeOfElimination(const Adjacency &graph, const std::vector<int> &order);
// The arithmetic a factorisation with this tree takes: the sum over the factor's columns of the square of
// the entries below their diagonal.
double EliminationWork(const EliminationTree &tree);
// The order rearranged so that every subtree of its elimination tree comes whole just before its root: it
// fills in the same entries, and a factorisation can keep the updates still to be added on a stack.
std::vector<int> Postordered(const std::vector<int> &order, const EliminationTree &tree);
