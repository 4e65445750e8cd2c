#pragma once
// The sparse symmetric positive definite system over the junctions that each step of the whole-network
// solve factorises. It owns the order of elimination, the analysis of the pattern and the factor:
// - the order is the cheaper of minimum degree and nested dissection, and is kept from one run to the next
//   while the network's junctions and their links stay the same, so a run again orders nothing;
// - the factor is supernodal: columns that share their pattern below the diagonal are factorised together
//   as one dense block (multifrontal), so the arithmetic runs on dense blocks instead of entry by entry.
#include <Eigen/Core>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct Adjacency;

class JunctionSystem {
public:
    // Sets the pattern: one unknown per identity (distinct numbers, the same for the same junction from
    // run to run) and the links between unknowns (either way round, repeats allowed, none to itself).
    void Define(const std::vector<int64_t> &identity, const std::vector<std::pair<int, int>> &links);

    // Where the entry of unknowns u and v (u == v: the diagonal) lies among Values(); -1 where none.
    int Slot(int u, int v) const;
    // The matrix's values, each entry the sum of what is added at its slot.
    double *Values() { return value_.data(); }
    void ClearValues();

    // Factorises the values written; false when the matrix is not positive definite.
    bool Factorize();
    // Solves with the last factor (rhs and solution by unknown); false when the solution is not finite.
    bool Solve(const Eigen::VectorXd &rhs, Eigen::VectorXd &solution);

private:
    void analyse(const Adjacency &graph, const std::vector<int> &order);

    std::vector<int> place_; // each unknown's column in the order of elimination
    // The lower triangle by column in that order, each column's diagonal first, then its rows ascending.
    std::vector<int> columnStart_, row_;
    std::vector<double> value_;
    // Supernode s holds columns superStart_[s] .. superStart_[s + 1] - 1; its rows below them are
    // structure_[structureStart_[s]] .. (ascending); its children are the childCount_[s] supernodes just
    // before it whose updates are still to be added.
    std::vector<int> superStart_, structureStart_, structure_, childCount_;
    // Each supernode's block of the factor: its columns by all its rows (its own, then its structure).
    std::vector<std::size_t> blockStart_;
    std::vector<double> factor_;
    std::vector<double> front_, stack_; // the dense front being factorised; updates waiting for their parent
    std::vector<int> relative_;         // a row's place in the current front
    Eigen::VectorXd work_, product_;
};
