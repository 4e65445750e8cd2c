#include "common/NetworkGenerator.h"
#include "common/AirwayEnds.h"

#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

namespace {

struct Builder {
    std::mt19937 random;
    int grid = 2;      // nodes per side of each level's drive grid
    int spacing = 100; // m between grid nodes
    int32_t originX = 50000, originY = 20000;

    int32_t jitter(int i, int j, int k) const {
        // Fixed per node, so that every airway meeting a node meets it at the same point.
        return static_cast<int32_t>((i * 7919 + j * 104729 + k * 1299709) % 11) - 5;
    }
    int32_t nodeX(int i, int j, int level) const { return originX + i * spacing + jitter(i, j, level); }
    int32_t nodeY(int i, int j, int level) const { return originY + j * spacing + jitter(j, i, level); }

    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    int add(int32_t x1, int32_t y1, int32_t z1, int32_t x2, int32_t y2, int32_t z2, bool raise) {
        const int a = ++AirwayCount;
        SetAirwayEnds(a, x1, y1, z1, x2, y2, z2);
        if (raise) {
            // A round airway keeps its diameter as its second size.
            AirwayFlags(a) = AirwayFlag::Round;
            AirwaySize(2, a) = std::round(uniform(3.0f, 6.0f) * 10) / 10;
            AirwayWallType(a) = 2;
        } else {
            AirwayFlags(a) = AirwayFlag::Rectangular;
            AirwaySize(1, a) = std::round(uniform(3.5f, 5.5f) * 10) / 10;
            AirwaySize(2, a) = std::round(uniform(3.5f, 6.0f) * 10) / 10;
            AirwayWallType(a) = pick(0, 1) == 0 ? 4 : TypedPreset;
        }
        AirwayFrictionFactor(a) = std::round(uniform(0.008f, 0.016f) * 10000) / 10000;
        AirwayShockType(a) = TypedPreset;
        AirwayShockLength(a) = static_cast<float>(pick(0, 20));
        AirwayParallelCount(a) = 1;
        AirwayIconPosition(a) = 0.5f;
        AirwayPrimaryLayer(a) = pick(1, 4);
        AirwaySecondaryLayer(a) = pick(1, 6);
        AirwayNumber(a) = a;
        AirwayName(a) = (raise ? "Shaft " : "Drive ") + std::to_string(a);
        return a;
    }
};

void setFan(int f, const std::string &name, float pressure, float flow, float diameter) {
    FanName(f) = name;
    FanDiameter(f) = diameter;
    for (int p = 1; p <= 10; ++p) {
        const float q = flow * static_cast<float>(p) / 10;
        FanCurveFlow(p, f) = q;
        FanCurvePressure(1, p, f) = std::round(pressure * (1.1f - 0.08f * static_cast<float>(p)));
        FanCurvePressure(2, p, f) = FanCurvePressure(1, p, f) + std::round(q * 2);
        FanCurveEfficiency(p, f) = 40 + 4 * p;
    }
}

} // namespace

GeneratedNetwork GenerateNetwork(int airways, uint32_t seed) {
    airways = std::clamp(airways, 8, AirwayLimit - 1);
    if (MaxAirways < airways + 2) {
        MaxAirways = std::min(airways + 2, AirwayLimit);
    }
    ReDimNetwork();
    AirwayCount = 0;
    Builder b{std::mt19937(seed)};
    GeneratedNetwork result;
    result.levels = std::clamp(airways / 100 + 2, 2, 40);
    // The largest drive grid that fits whole on every level, so that every node has a way in and out and
    // the network solves; the rest of the count goes into cross-cuts and raises below.
    auto fits = [&](int g) { return result.levels * (2 * g * (g - 1) + 2) <= airways; };
    while (fits(b.grid + 1))
        ++b.grid;

    // Levels: the surface, then one every 60 m below it.
    for (int l = 1; l <= 250; ++l) {
        LevelName(l).clear();
        LevelRange(l, 1) = LevelRange(l, 2) = 0;
    }
    LevelName(1) = "SURFACE";
    LevelRange(1, 1) = LevelRange(1, 2) = 1000;
    auto levelZ = [](int k) { return 1000 - 60 * k; };
    for (int k = 1; k <= result.levels; ++k) {
        LevelName(k + 1) = "Level " + std::to_string(k);
        LevelRange(k + 1, 1) = levelZ(k) + 10;
        LevelRange(k + 1, 2) = levelZ(k) - 10;
    }

    // Shafts: intake at one grid corner going down, exhaust at the other going up.
    const int last = b.grid - 1;
    for (int k = 1; k <= result.levels; ++k) {
        const int up = k == 1 ? 1000 : levelZ(k - 1);
        const int a = b.add(b.nodeX(0, 0, k - 1), b.nodeY(0, 0, k - 1), up, b.nodeX(0, 0, k),
                            b.nodeY(0, 0, k), levelZ(k), true);
        if (k == 1)
            AirwayFlags(a) |= AirwayFlag::SurfaceEntry | AirwayFlag::FreshAir;
    }
    for (int k = result.levels; k >= 1; --k) {
        const int up = k == 1 ? 1000 : levelZ(k - 1);
        const int a = b.add(b.nodeX(last, last, k), b.nodeY(last, last, k), levelZ(k),
                            b.nodeX(last, last, k - 1), b.nodeY(last, last, k - 1), up, true);
        if (k == 1) {
            // A fan fixes its airway's direction, as the edit dialog stores it.
            AirwayFlags(a) |= AirwayFlag::SurfaceExit | AirwayFlag::ExhaustAir | AirwayFlag::FixedDirection;
            AirwayFan(a) = 1;
            AirwayFanCount(a) = 1;
            result.mainFanAirway = a;
        }
    }
    // Drive grids, level by level, until the count is reached.
    for (int k = 1; k <= result.levels && AirwayCount < airways; ++k) {
        const int z = levelZ(k);
        for (int j = 0; j < b.grid && AirwayCount < airways; ++j)
            for (int i = 0; i < b.grid && AirwayCount < airways; ++i) {
                if (i + 1 < b.grid)
                    b.add(b.nodeX(i, j, k), b.nodeY(i, j, k), z, b.nodeX(i + 1, j, k), b.nodeY(i + 1, j, k),
                          z, false);
                if (j + 1 < b.grid && AirwayCount < airways)
                    b.add(b.nodeX(i, j, k), b.nodeY(i, j, k), z, b.nodeX(i, j + 1, k), b.nodeY(i, j + 1, k),
                          z, false);
            }
    }
    // Diagonal cross-cuts in both directions, then raises between levels away from the shafts.
    const int g = b.grid;
    for (int k = 1; k <= result.levels && AirwayCount < airways; ++k)
        for (int j = 0; j + 1 < g && AirwayCount < airways; ++j)
            for (int i = 0; i + 1 < g && AirwayCount < airways; ++i)
                b.add(b.nodeX(i, j, k), b.nodeY(i, j, k), levelZ(k), b.nodeX(i + 1, j + 1, k),
                      b.nodeY(i + 1, j + 1, k), levelZ(k), false);
    for (int k = 1; k <= result.levels && AirwayCount < airways; ++k)
        for (int j = 0; j + 1 < g && AirwayCount < airways; ++j)
            for (int i = 0; i + 1 < g && AirwayCount < airways; ++i)
                b.add(b.nodeX(i + 1, j, k), b.nodeY(i + 1, j, k), levelZ(k), b.nodeX(i, j + 1, k),
                      b.nodeY(i, j + 1, k), levelZ(k), false);
    for (int k = 1; k < result.levels && AirwayCount < airways; ++k)
        for (int j = 0; j < g && AirwayCount < airways; ++j)
            for (int i = 0; i < g && AirwayCount < airways; ++i) {
                if ((i == 0 && j == 0) || (i == g - 1 && j == g - 1))
                    continue;
                // Node positions differ per level (jitter), so each raise meets the grid node of both levels.
                b.add(b.nodeX(i, j, k), b.nodeY(i, j, k), levelZ(k), b.nodeX(i, j, k + 1),
                      b.nodeY(i, j, k + 1), levelZ(k + 1), true);
            }
    // A network too small for whole grids takes the rest as parallel drives of the last level.
    while (AirwayCount < airways) {
        const int z = levelZ(result.levels);
        const int i = b.pick(0, b.grid - 2), j = b.pick(0, b.grid - 1);
        b.add(b.nodeX(i, j, result.levels), b.nodeY(i, j, result.levels), z, b.nodeX(i + 1, j, result.levels),
              b.nodeY(i + 1, j, result.levels), z, false);
    }

    const int drives = 2 * result.levels + 1;
    result.boosterFanAirway = std::min(drives + 1, AirwayCount);
    AirwayFlags(result.boosterFanAirway) |= AirwayFlag::FixedDirection;
    AirwayFan(result.boosterFanAirway) = 2;
    AirwayFanCount(result.boosterFanAirway) = 1;
    result.fixedFlowAirway = std::min(drives + 3, AirwayCount);
    AirwayFlags(result.fixedFlowAirway) |= AirwayFlag::FixedFlow;
    AirwayFlow(result.fixedFlowAirway) = 25;
    result.bulkheadAirway = std::min(drives + 5, AirwayCount);
    AirwayResistanceType(result.bulkheadAirway) = 1;

    for (int f = 1; f <= MaxFans; ++f)
        FanName(f).clear();
    setFan(1, "Main fan", 2500, 300, 3.2f);
    setFan(2, "Booster", 900, 60, 1.4f);

    PrimaryLayerName(1) = "Development";
    PrimaryLayerName(2) = "Production";
    SecondaryLayerName(1) = "Intake";
    SecondaryLayerName(2) = "Return";
    for (int t = 1; t <= std::min(3, MaxFloatingTexts); ++t) {
        FloatingTextUsed(t) = true;
        FloatingTextString(t) = "Stope " + std::to_string(t);
        FloatingTextPosition(1, t) = b.originX + 100 * t;
        FloatingTextPosition(2, t) = b.originY;
        FloatingTextPosition(3, t) = levelZ(1);
    }
    NetworkTitle = "Generated mine " + std::to_string(airways);
    NextAirwayNumber = AirwayCount;
    UpdateNodeKeys();
    CalcAllAirways();
    return result;
}
