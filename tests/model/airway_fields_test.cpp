#include "common/ModelFixture.h"
#include "model/airway_fields.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/record_line.h"
#include "model/undo.h"
#include "model/upper_layers.h"
#include "solver/checks.h"

#include <set>
#include <sstream>
#include <type_traits>
#include <vector>

namespace {

template <std::size_t N> void setDistinct(FixedString<N> &v, int n) {
    v = "F" + std::to_string(n);
}
template <typename T> void setDistinct(T &v, int n) {
    v = static_cast<T>(n) + (std::is_floating_point_v<T> ? static_cast<T>(0.25) : 0);
}
template <typename T, std::size_t K> void setDistinct(std::array<T, K> &v, int n) {
    for (std::size_t k = 0; k < K; ++k)
        setDistinct(v[k], n + static_cast<int>(k));
}
// Changes component k of a value (a single value has only component 0).
template <typename T> void change(T &v, int) {
    setDistinct(v, 900);
}
template <typename T, std::size_t K> void change(std::array<T, K> &v, int k) {
    setDistinct(v[static_cast<std::size_t>(k)], 900);
}
template <typename T> int width(const T &) {
    return 1;
}
template <typename T, std::size_t K> int width(const std::array<T, K> &) {
    return static_cast<int>(K);
}

// Gives every stored field of slot a its own value from `seed` on, within what a network can hold.
void fillEveryField(int a, int seed) {
    int n = seed;
    AirwayFields::ForEach([&](const auto &field) {
        auto v = field.Get(a);
        setDistinct(v, n);
        n += width(v);
        field.Set(a, v);
        EXPECT_TRUE(field.Get(a) == v) << "field of column " << field.column;
    });
    // Typed values and a fixed length, so that the recalculation keeps them.
    AirwayFlags(a) = AirwayFlag::Rectangular | AirwayFlag::FreshAir | AirwayFlag::FixedLength;
    AirwayResistanceType(a) = TypedPreset;
    AirwayWallType(a) = TypedPreset;
    AirwayShockType(a) = 7;
    AirwayPrimaryLayer(a) = 2;
    AirwaySecondaryLayer(a) = 3;
    // What the program derives after every change: the keys from the ends, the layer mark.
    UpdateNodeKeys();
    Upper().SetVisibleAirways();
}

// The record line with the stored fields it leaves out.
std::string stored(int a) {
    std::ostringstream text;
    text << AirwayLine(a) << '|' << AirwayStartKey(a) << '|' << AirwayEndKey(a) << '|' << AirwaySmokeTime(a);
    return text.str();
}

int slotOfNumber(int32_t number) {
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayNumber(a) == number)
            return a;
    return 0;
}

std::vector<std::string> columns(const std::string &line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, '\t');)
        fields.push_back(f);
    return fields;
}

} // namespace

using AirwayFieldTable = ModelTest;

TEST_F(AirwayFieldTable, EveryStoredFieldSurvivesGrowthPackSortUndoAndRedo) {
    AutoSimulate = false;
    AddAirway(100, 0, 1, 200, 0, 1);
    const int full = ++AirwayCount;
    AddAirway(300, 0, 50, 400, 0, 50);
    fillEveryField(full, 10);
    const int32_t number = AirwayNumber(full);
    const std::string before = stored(full);

    MaxAirways += 7;
    ReDimNetworkPreserve();
    EXPECT_EQ(stored(full), before) << "growth";

    ClearAirway(1);
    PackAirways();
    ASSERT_EQ(slotOfNumber(number), 1);
    EXPECT_EQ(stored(1), before) << "pack";

    // The other airway lies higher, so the descending sort puts it in front.
    SortAirways();
    ASSERT_EQ(slotOfNumber(number), 2);
    EXPECT_EQ(stored(2), before) << "sort";

    RecordUndo(2, UndoCode::Before, UndoStep);
    fillEveryField(2, 500);
    RecordUndo(2, UndoCode::After, UndoStep);
    const int32_t changedNumber = AirwayNumber(2);
    const std::string changed = stored(2);
    ++UndoStep;
    UndoAction();
    ASSERT_NE(slotOfNumber(number), 0);
    EXPECT_EQ(stored(slotOfNumber(number)), before) << "undo";
    RedoAction();
    ASSERT_NE(slotOfNumber(changedNumber), 0);
    EXPECT_EQ(stored(slotOfNumber(changedNumber)), changed) << "redo";
}

TEST_F(AirwayFieldTable, RecordLineHoldsEachFieldInTheColumnTheTableNames) {
    const int a = ++AirwayCount, b = ++AirwayCount;
    fillEveryField(a, 10);
    const std::vector<std::string> line = columns(AirwayLine(a));
    ASSERT_EQ(static_cast<int>(line.size()), AirwayFields::RecordColumns);
    std::set<int> named;
    AirwayFields::ForEach([&](const auto &field) {
        const int n = width(field.Get(a));
        for (int k = 0; k < n; ++k) {
            // Change one component in a copy: exactly its column of the line changes.
            MoveAirwayFields(a, b);
            auto v = field.Get(b);
            change(v, k);
            field.Set(b, v);
            const std::vector<std::string> other = columns(AirwayLine(b));
            std::set<int> changedColumns;
            for (std::size_t c = 0; c < line.size() && c < other.size(); ++c)
                if (line[c] != other[c])
                    changedColumns.insert(static_cast<int>(c) + 1);
            const bool keys = field.column == 4 || field.column == 5; // written empty, derived from the ends
            if (field.column == 0 || keys) {
                EXPECT_TRUE(changedColumns.empty()) << "field of column " << field.column;
            } else {
                EXPECT_EQ(changedColumns, std::set<int>{field.column + k}) << "field of column " << field.column;
                named.insert(field.column + k);
            }
        }
    });
    named.insert(4);
    named.insert(5);
    EXPECT_EQ(static_cast<int>(named.size()), AirwayFields::RecordColumns);
}
