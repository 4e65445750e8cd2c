#pragma once
// Arrays with inclusive lower and upper bounds per dimension, as the data model declares them
// ("0 .. MaxAirways", "(0..3, slot)"). The first index varies fastest, so a component-first array
// such as AirwayStart(c, a) keeps one airway's components together.
#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <memory>

struct Bounds {
    int lo = 0;
    int hi = -1;
    int count() const { return hi >= lo ? hi - lo + 1 : 0; }
    bool contains(int i) const { return i >= lo && i <= hi; }
};

template <typename T, std::size_t N = 1> class VBArray {
public:
    VBArray() = default;

    // Allocates to the bounds, every element empty (T{}).
    template <typename... B> void ReDim(B... b) {
        static_assert(sizeof...(B) == N, "one Bounds per dimension");
        bounds_ = {b...};
        size_ = total();
        data_ = std::make_unique<T[]>(size_);
    }

    // Same allocation, keeping every element that lies inside both the old and the new bounds.
    template <typename... B> void ReDimPreserve(B... b) {
        static_assert(sizeof...(B) == N, "one Bounds per dimension");
        std::array<Bounds, N> nb{b...};
        const std::size_t n = total(nb);
        auto fresh = std::make_unique<T[]>(n);
        if (size_ > 0)
            copyOverlap(fresh, nb, 0, 0, 0);
        bounds_ = nb;
        size_ = n;
        data_ = std::move(fresh);
    }

    template <typename... I> T &operator()(I... i) { return data_[offset(i...)]; }
    template <typename... I> const T &operator()(I... i) const { return data_[offset(i...)]; }

    // True when every index lies inside the bounds: for data read from files before it is used as an index.
    template <typename... I> bool InBounds(I... i) const {
        static_assert(sizeof...(I) == N);
        int idx[] = {static_cast<int>(i)...};
        for (std::size_t d = 0; d < N; ++d)
            if (!bounds_[d].contains(idx[d]))
                return false;
        return true;
    }

    int LBound(std::size_t dim = 0) const { return bounds_[dim].lo; }
    int UBound(std::size_t dim = 0) const { return bounds_[dim].hi; }
    std::size_t size() const { return size_; }
    void Fill(const T &v) { std::fill(data_.get(), data_.get() + size_, v); }
    T *data() { return data_.get(); }
    const T *data() const { return data_.get(); }

private:
    std::array<Bounds, N> bounds_{};
    // A plain buffer rather than std::vector so that bool elements are real bools.
    std::unique_ptr<T[]> data_;
    std::size_t size_ = 0;

    static std::size_t total(const std::array<Bounds, N> &b) {
        std::size_t n = 1;
        for (const auto &d : b)
            n *= static_cast<std::size_t>(d.count());
        return n;
    }
    std::size_t total() const { return total(bounds_); }

    template <typename... I> std::size_t offset(I... i) const {
        static_assert(sizeof...(I) == N, "one index per dimension");
        int idx[] = {static_cast<int>(i)...};
        std::size_t off = 0;
        std::size_t stride = 1;
        for (std::size_t d = 0; d < N; ++d) {
            assert(bounds_[d].contains(idx[d]) && "array index out of bounds");
            off += static_cast<std::size_t>(idx[d] - bounds_[d].lo) * stride;
            stride *= static_cast<std::size_t>(bounds_[d].count());
        }
        return off;
    }

    // Walks the dimensions from the last (slowest) down, copying the overlap of old and new bounds.
    void copyOverlap(std::unique_ptr<T[]> &fresh, const std::array<Bounds, N> &nb, std::size_t level,
                     std::size_t oldOff, std::size_t newOff) {
        const std::size_t d = N - 1 - level;
        std::size_t oldStride = 1, newStride = 1;
        for (std::size_t k = 0; k < d; ++k) {
            oldStride *= static_cast<std::size_t>(bounds_[k].count());
            newStride *= static_cast<std::size_t>(nb[k].count());
        }
        const int lo = std::max(bounds_[d].lo, nb[d].lo);
        const int hi = std::min(bounds_[d].hi, nb[d].hi);
        for (int i = lo; i <= hi; ++i) {
            const std::size_t o = oldOff + static_cast<std::size_t>(i - bounds_[d].lo) * oldStride;
            const std::size_t n = newOff + static_cast<std::size_t>(i - nb[d].lo) * newStride;
            if (d == 0)
                fresh[n] = std::move(data_[o]);
            else
                copyOverlap(fresh, nb, level + 1, o, n);
        }
    }
};
