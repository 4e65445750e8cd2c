#pragma once
// The sparse symmetric system over the junctions that each step of the whole-network solve factorises: a
// graph Laplacian of weighted links plus each unknown's grounding, its weight to the reference junction.
// It owns the order of elimination, the analysis of the pattern and the factor:
// - the order is the cheaper of minimum degree and nested dissection; the order, the analysis and the
//   factor's storage are kept by the object from one Define to the next while the junctions and their
//   links stay the same, so a run again orders, analyses and allocates nothing;
// - the factor is supernodal: columns that share their pattern below the diagonal are factorised together
//   as one dense block (multifrontal), so the arithmetic runs on dense blocks instead of entry by entry;
// - every pivot is the unknown's grounding plus the weights of its links still to be eliminated, each
//   grounding carried through the elimination, so no pivot is formed by a subtraction and weights that
//   span many orders of magnitude factorise as exactly as narrow ones;
// - the solution is held as two doubles per unknown and worked as differences from a neighbour's, so the
//   flow of a link of large weight (its weight times the drop of pressure along it) keeps its digits; a
//   solution whose flows do not balance the right-hand side is refined, and refused if it still does not.
#include <Eigen/Core>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "solver/fill_ordering.h"

class JunctionSystem {
public:
    // Sets the pattern: one unknown per identity (distinct numbers, the same for the same junction from
    // run to run) and the links between unknowns (either way round, repeats allowed, none to itself).
    void Define(const std::vector<int64_t> &identity, const std::vector<std::pair<int, int>> &links);

    // Where the weight of the link between unknowns u and v lies among Weights(); -1 where none.
    int Link(int u, int v) const;
    // Each link's weight (at least 0), the sum of what is added at its slot; the matrix's entry is minus it.
    double *Weights() { return weight_.data(); }
    // By unknown: its weight to the reference (at least 0). The matrix's diagonal is the unknown's
    // grounding plus the weights of its links.
    double *Grounding() { return grounding_.data(); }
    void ClearValues();

    // Factorises the values written; false when a weight or grounding is negative or not finite, or an
    // unknown is linked to the reference by no weight at all.
    bool Factorize();
    // Solves with the last factor (rhs and solution by unknown): the flows the solution gives (each link's
    // weight times the drop along it, each grounding times the pressure) balance rhs to within a
    // ten-billionth of the largest of them and of rhs; false where they do not or are not finite.
    bool Solve(const Eigen::VectorXd &rhs, Eigen::VectorXd &solution);
    // After Solve: the pressure of unknown u less that of v, -1 standing for the reference, from the
    // solution's two doubles.
    double Drop(int u, int v) const;

private:
    void analyse();
    // x (two doubles by place) from the last factor for b (by place).
    void substitute(const std::vector<double> &b, std::vector<double> &hi, std::vector<double> &lo);
    // b less what the flows of x take out of each unknown (by place); the sum of their magnitudes, and in
    // scale the largest flow and the largest magnitude of b.
    double residual(const std::vector<double> &b, double &scale);

    // The pattern defined last, its unknowns numbered by ascending identity, and the order found for it.
    std::vector<int64_t> identity_;
    Adjacency graph_;
    std::vector<int> order_;

    std::vector<int> place_; // each unknown's column in the order of elimination
    // The strict lower triangle by column in that order, each column's rows ascending, and each entry's
    // weight.
    std::vector<int> columnStart_, row_;
    std::vector<double> weight_, grounding_;
    // Supernode s holds columns superStart_[s] .. superStart_[s + 1] - 1; its rows below them are
    // structure_[structureStart_[s]] .. (ascending); its children are the childCount_[s] supernodes just
    // before it whose updates are still to be added.
    std::vector<int> superStart_, structureStart_, structure_, childCount_;
    // Each supernode's block of the factor: its columns by all its rows (its own, then its structure); each
    // column holds its pivot on the diagonal and below it each row's weight to it over the pivot.
    std::vector<std::size_t> blockStart_, updateAt_;
    std::vector<double> factor_;
    std::vector<double> grounded_; // by place: each column's grounding over its pivot
    // The dense front being factorised and its rows' groundings; updates waiting for their parent, each
    // followed by its rows' groundings.
    std::vector<double> front_, frontGround_, stack_;
    // A row's place in the current front; a child's rows' places in it; supernodes on the stack.
    std::vector<int> relative_, into_, waiting_;
    std::vector<double> ground_, b_, r_, y_, hi_, lo_, dhi_, dlo_; // by place
};
