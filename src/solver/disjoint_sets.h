#pragma once
// Disjoint sets of the numbers 0 .. n (union by size, path halving): the groups of junctions that the
// checks and the meshing join airway by airway in near-constant time each.
#include <numeric>
#include <utility>
#include <vector>

class DisjointSets {
public:
    explicit DisjointSets(int n) : parent_(static_cast<std::size_t>(n) + 1), size_(parent_.size(), 1) {
        std::iota(parent_.begin(), parent_.end(), 0);
    }
    int Find(int x) {
        while (parent_[x] != x) {
            parent_[x] = parent_[parent_[x]];
            x = parent_[x];
        }
        return x;
    }
    // Joins the sets of x and y; returns the representative of the joined set.
    int Unite(int x, int y) {
        x = Find(x);
        y = Find(y);
        if (x == y)
            return x;
        if (size_[x] < size_[y])
            std::swap(x, y);
        parent_[y] = x;
        size_[x] += size_[y];
        return x;
    }

private:
    std::vector<int> parent_, size_;
};
