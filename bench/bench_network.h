#pragma once
// A generated mine-like network of about 30,000 airways for the solver benchmarks.
#include "model/Gustrom1.h"
#include "model/node_keys.h"

#include "answer_no.h"

#include <optional>
#include <random>
#include <string>

namespace {

constexpr int GridSide = 122; // nodes per row and rows

Currency keyOf(int node) {
    return node == 0 ? SurfaceNodeKey : static_cast<Currency>(node) * 13 * CurrencyScale;
}

int addAirway(int from, int to, float r) {
    const int a = ++AirwayCount;
    AirwayFlags(a) = AirwayFlag::Rectangular;
    AirwayStartKey(a) = keyOf(from);
    AirwayEndKey(a) = keyOf(to);
    AirwayStart(1, a) = 10 * (from % 100000);
    AirwayEnd(1, a) = 10 * (to % 100000);
    AirwayStart(3, a) = from == 0 ? 0 : -100;
    AirwayEnd(3, a) = to == 0 ? 0 : -100;
    AirwayResistanceType(a) = TypedPreset;
    AirwayResistance(a) = r;
    AirwayNumber(a) = a;
    AirwayParallelCount(a) = 1;
    AirwayFanCount(a) = 1;
    return a;
}

// A level of the mine as a square grid: rows run alternately east and west from an intake shaft to an
// exhaust shaft (every fourth one with a fan), cross-cuts between rows run either way; a few cross-cuts
// carry a fixed quantity or a bulkhead. Generated in reverse order so that the sort has work to do.
[[maybe_unused]] void buildNetwork() {
    MaxAirways = 30000;
    MaxFans = 20;
    ReDimNetwork();
    AirwayCount = 0;
    FanName(1) = "Main";
    for (int p = 1; p <= 10; ++p) {
        FanCurveFlow(p, 1) = 15.0f * (p - 1);
        FanCurvePressure(1, p, 1) = 3000.0f - 12.0f * FanCurveFlow(p, 1);
        FanCurvePressure(2, p, 1) = FanCurvePressure(1, p, 1) + 150;
        FanCurveEfficiency(p, 1) = 70;
    }
    std::mt19937 random(42);
    auto r = [&] { return 0.002f + 0.001f * static_cast<float>(random() % 100); };
    auto node = [](int row, int col) { return 1 + row * GridSide + col; };
    for (int row = GridSide - 1; row >= 0; --row) {
        const bool east = row % 2 == 0;
        const int first = node(row, east ? 0 : GridSide - 1), last = node(row, east ? GridSide - 1 : 0);
        addAirway(0, first, r());
        const int exhaust = addAirway(last, 0, r());
        if (row % 4 == 0)
            AirwayFan(exhaust) = 1;
        for (int col = GridSide - 2; col >= 0; --col) {
            const int a = node(row, col), b = node(row, col + 1);
            east ? addAirway(a, b, r()) : addAirway(b, a, r());
            if (row + 1 < GridSide && AirwayCount < MaxAirways - 2) {
                const int c = node(row + 1, col);
                const int k = random() % 100;
                const int x = random() % 2 ? addAirway(a, c, r()) : addAirway(c, a, r());
                if (k == 0) {
                    AirwayFlags(x) |= AirwayFlag::FixedFlow;
                    AirwayFlow(x) = 2;
                } else if (k == 1) {
                    AirwayResistance(x) = 2e9f;
                }
            }
        }
    }
}

} // namespace
