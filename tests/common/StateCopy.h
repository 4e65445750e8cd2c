#pragma once
// Copies a global's value for the state resets of the test programs: arrays with their bounds.
#include "platform/VBArray.h"

#include <cstddef>
#include <utility>

namespace state_copy {

template <typename T> void copyValue(T &to, const T &from) {
    to = from;
}
template <typename T, std::size_t N> void copyValue(T (&to)[N], const T (&from)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        copyValue(to[i], from[i]);
}
// Arrays are copied with their bounds, so an array unallocated at start is unallocated again. An array of
// the same bounds keeps its storage: the settings table refers to the fixed tables' elements.
template <typename T, std::size_t N> void copyValue(VBArray<T, N> &to, const VBArray<T, N> &from) {
    [&]<std::size_t... D>(std::index_sequence<D...>) {
        if (to.size() != from.size() ||
            ((to.LBound(D) != from.LBound(D) || to.UBound(D) != from.UBound(D)) || ...))
            to.ReDim(Bounds{from.LBound(D), from.UBound(D)}...);
    }
    (std::make_index_sequence<N>{});
    for (std::size_t i = 0; i < from.size(); ++i)
        to.data()[i] = from.data()[i];
}

} // namespace state_copy
