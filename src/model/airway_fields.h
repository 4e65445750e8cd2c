#pragma once
// The stored fields of an airway in one table, in the order of the airway record line. The undo snapshot,
// the move of the pack, the clearing of a slot, the sort and the allocation all walk this table, so a
// field added or forgotten is added or forgotten everywhere at once. The record line keeps its own text
// conversions; its columns are the ones the table names.
#include "model/Gustrom1.h"

#include <array>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace AirwayFields {

// A per-airway array (slot). `column` is its field of the record line; 0 when the line does not hold it.
template <typename T> struct Single {
    using Value = T;
    VBArray<T> &array;
    int column;

    Value Get(int a) const { return array(a); }
    void Set(int a, const Value &v) const { array(a) = v; }
    void Move(int from, int to) const { array(to) = array(from); }
    void Clear(int a) const {
        // A name is blanked in place: a fresh empty one would cost a heap allocation per slot.
        if constexpr (std::is_arithmetic_v<T>)
            array(a) = 0;
        else
            array(a) = std::string_view();
    }
    // Moves slot order[k - 1] to slot k.
    void Permute(const std::vector<int> &order) const {
        // Moved out and back: no element is constructed empty on the way (names hold heap text).
        std::vector<T> scratch;
        scratch.reserve(order.size());
        for (const int from : order)
            scratch.push_back(std::move(array(from)));
        for (std::size_t k = 0; k < order.size(); ++k)
            array(static_cast<int>(k) + 1) = std::move(scratch[k]);
    }
    template <bool Preserve> void Allocate(Bounds airways) const {
        if constexpr (Preserve)
            array.ReDimPreserve(airways);
        else
            array.ReDim(airways);
    }
};

// Components First..Last of a component-first array (component, slot), allocated with the component
// bounds `components`; the record line holds them in consecutive fields from `column`.
template <typename T, int First, int Last> struct Components {
    using Value = std::array<T, Last - First + 1>;
    VBArray<T, 2> &array;
    Bounds components;
    int column;

    Value Get(int a) const {
        Value v;
        for (int c = First; c <= Last; ++c)
            v[c - First] = array(c, a);
        return v;
    }
    void Set(int a, const Value &v) const {
        for (int c = First; c <= Last; ++c)
            array(c, a) = v[c - First];
    }
    void Move(int from, int to) const {
        for (int c = First; c <= Last; ++c)
            array(c, to) = array(c, from);
    }
    void Clear(int a) const {
        for (int c = First; c <= Last; ++c)
            array(c, a) = T{};
    }
    void Permute(const std::vector<int> &order) const {
        std::vector<T> scratch(order.size());
        for (int c = First; c <= Last; ++c) {
            for (std::size_t k = 0; k < order.size(); ++k)
                scratch[k] = array(c, order[k]);
            for (std::size_t k = 0; k < order.size(); ++k)
                array(c, static_cast<int>(k) + 1) = scratch[k];
        }
    }
    template <bool Preserve> void Allocate(Bounds airways) const {
        if constexpr (Preserve)
            array.ReDimPreserve(components, airways);
        else
            array.ReDim(components, airways);
    }
};

// The table. Node keys are kept in the record but written as empty fields 4 and 5 (they follow from the
// coordinates); the arrival time of the contaminant moves with its airway but is not in the line.
inline const auto &Table() {
    static const auto table = std::make_tuple(
        Single<NodeName>{AirwayStartName, 1}, Single<NodeName>{AirwayEndName, 2},
        Single<NodeName>{AirwayName, 3}, Single<Currency>{AirwayStartKey, 4}, Single<Currency>{AirwayEndKey, 5},
        Components<int32_t, 1, 3>{AirwayStart, {0, 3}, 6}, Components<int32_t, 1, 3>{AirwayEnd, {0, 3}, 9},
        Components<float, 1, 2>{AirwaySize, {0, 2}, 12}, Single<int32_t>{AirwayFlags, 14},
        Single<int>{AirwayResistanceType, 15}, Single<int>{AirwayShockType, 16}, Single<int>{AirwayWallType, 17},
        Single<float>{AirwayFrictionFactor, 18}, Single<float>{AirwayShockLength, 19},
        Single<CommentText>{AirwayComment, 20}, Single<float>{AirwayResistance, 21},
        Single<float>{AirwayFlow, 22}, Single<int>{AirwayFan, 23}, Single<int>{AirwayFanCount, 24},
        Single<float>{AirwayLength, 25}, Single<float>{AirwayPressure, 26}, Single<float>{AirwayContaminant, 27},
        Single<int>{AirwayPrimaryLayer, 28}, Single<int>{AirwaySecondaryLayer, 29},
        Single<float>{AirwayStartPressure, 30}, Single<float>{AirwayEndPressure, 31},
        Single<int32_t>{AirwayUndoStamp, 32}, Single<int32_t>{AirwayNumber, 33},
        Single<float>{AirwayIconPosition, 34}, Single<int>{AirwayStation, 35},
        Single<int>{AirwayParallelCount, 36}, Single<int>{AirwayCurvePercent, 37},
        Components<int, 1, 2>{AirwaySmoke, {1, 2}, 38}, Single<float>{AirwaySmokeTime, 0});
    return table;
}

// The last field of the record line.
constexpr int RecordColumns = 39;

// Calls f(field) for every field of the table in order.
template <typename F> void ForEach(F &&f) {
    std::apply([&](const auto &...field) { (f(field), ...); }, Table());
}

template <typename> struct ValuesOf;
template <typename... F> struct ValuesOf<std::tuple<F...>> {
    using type = std::tuple<typename F::Value...>;
};

} // namespace AirwayFields

// Every stored field of one airway, kept exactly (no text conversion).
using AirwayValues = AirwayFields::ValuesOf<std::decay_t<decltype(AirwayFields::Table())>>::type;

// The stored fields of slot a.
AirwayValues TakeAirwayValues(int a);
// Puts stored fields into slot a.
void PutAirwayValues(const AirwayValues &values, int a);
// Copies every stored field of slot `from` to slot `to`.
void MoveAirwayFields(int from, int to);
// Moves slot order[k - 1] of every stored field to slot k (k = 1 .. order.size()).
void PermuteAirwayFields(const std::vector<int> &order);
// Allocates every stored field to the slots, empty or keeping what lies inside both bounds.
void AllocateAirwayFields(Bounds airways, bool preserve);
