#include "common/NetworkGenerator.h"
#include "common/AirwayEnds.h"

#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <tuple>

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

// Replaces the levels with the surface at RL 1000 and `levels` levels below it, `spacing` m apart.
void setLevels(int levels, int spacing) {
    for (int l = 1; l <= 250; ++l) {
        LevelName(l).clear();
        LevelRange(l, 1) = LevelRange(l, 2) = 0;
    }
    LevelName(1) = "SURFACE";
    LevelRange(1, 1) = LevelRange(1, 2) = 1000;
    for (int k = 1; k <= levels; ++k) {
        LevelName(k + 1) = "Level " + std::to_string(k);
        LevelRange(k + 1, 1) = 1000 - spacing * k + 10;
        LevelRange(k + 1, 2) = 1000 - spacing * k - 10;
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
    setLevels(result.levels, 60);
    auto levelZ = [](int k) { return 1000 - 60 * k; };

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

GeneratedMine GenerateMultiLevelMine(int airways, uint32_t seed) {
    airways = std::clamp(airways, 200, AirwayLimit - 1);
    if (MaxAirways < airways + 2)
        MaxAirways = std::min(airways + 2, AirwayLimit);
    ReDimNetwork();
    AirwayCount = 0;
    Builder b{std::mt19937(seed)};
    GeneratedMine mine;

    // Levels of about 1,200 airways; a large mine has a second intake and a second return shaft.
    const int levels = mine.levels = std::clamp(airways / 1200, 2, 25);
    const int shaftPairs = levels >= 6 ? 2 : 1;
    const int rows = mine.rows =
        std::clamp(static_cast<int>(std::lround(std::sqrt(airways / levels / 12.0))), 3, 14);
    const int boosterEvery = 3; // levels 2, 5, 8, ... return through a booster as well
    const int boosters = (levels + 1) / boosterEvery;
    // Shaft segments, level connections and boosters; the panels take what is left but a twentieth, the
    // raises between the levels make up the count.
    const int fixedPart = 2 * shaftPairs * levels * 2 + boosters;
    const int perLevel = (airways - airways / 20 - fixedPart) / levels;
    const int columns = mine.columns = std::max(2, (perLevel - (rows - 1)) / (2 * rows - 1));

    constexpr int Spacing = 60, DriveStep = 80, CrossCutStep = 40;
    setLevels(levels, Spacing);
    auto z = [&](int k) { return 1000 - Spacing * k; };
    // Grid node (r, c) of a level; column -1 and columns + 1 are the shafts' nodes beside the panel.
    auto x = [&](int c) { return b.originX + DriveStep * c; };
    auto y = [&](int r) { return b.originY + CrossCutStep * r; };
    auto drive = [&](int r1, int c1, int r2, int c2, int k) {
        return b.add(x(c1), y(r1), z(k), x(c2), y(r2), z(k), false);
    };
    auto shaft = [&](int r, int c, int k1, int k2) {
        const int a = b.add(x(c), y(r), k1 == 0 ? 1000 : z(k1), x(c), y(r), k2 == 0 ? 1000 : z(k2), true);
        AirwaySize(2, a) = 7;
        AirwayWallType(a) = TypedPreset;
        AirwayFrictionFactor(a) = 0.004f;
        AirwayShockLength(a) = 0;
        AirwayName(a) = "Shaft " + std::to_string(a);
        return a;
    };

    // Intake shafts at the panel's intake corners, return shafts at its return corners, the main fans at
    // the tops of the return shafts.
    struct Corner {
        int shaftColumn, panelColumn;
    };
    std::vector<Corner> intakes{{-1, 0}}, returns{{columns + 1, columns}};
    if (shaftPairs == 2) {
        intakes.push_back({columns + 1, columns});
        returns.push_back({-1, 0});
    }
    for (const Corner &in : intakes) {
        AirwayFlags(shaft(0, in.shaftColumn, 0, 1)) |= AirwayFlag::SurfaceEntry | AirwayFlag::FreshAir;
        for (int k = 1; k < levels; ++k)
            shaft(0, in.shaftColumn, k, k + 1);
    }
    for (const Corner &out : returns) {
        for (int k = levels; k > 1; --k)
            shaft(rows - 1, out.shaftColumn, k, k - 1);
        const int fan = shaft(rows - 1, out.shaftColumn, 1, 0);
        // A fan fixes its airway's direction, as the edit dialog stores it.
        AirwayFlags(fan) |= AirwayFlag::SurfaceExit | AirwayFlag::ExhaustAir | AirwayFlag::FixedDirection;
        AirwayFan(fan) = 1;
        AirwayFanCount(fan) = 1;
        ++mine.mainFans;
    }

    // The regulators' presets: wood door, brattice, parachute stop and high muck pile (1.5 to 5 Ns²/m⁸).
    const int regulatorPresets[] = {3, 4, 5, 6};
    for (int k = 1; k <= levels; ++k) {
        for (const Corner &in : intakes)
            drive(0, in.shaftColumn, 0, in.panelColumn, k);
        for (const Corner &out : returns) {
            const bool boosted = &out == &returns.front() && k % boosterEvery == 2;
            // A boosted return ends in the booster beyond the regulator, halfway to the shaft, so every
            // path round the booster passes the regulator.
            const int regulator =
                boosted ? b.add(x(out.panelColumn), y(rows - 1), z(k),
                                (x(out.panelColumn) + x(out.shaftColumn)) / 2, y(rows - 1), z(k), false)
                        : drive(rows - 1, out.panelColumn, rows - 1, out.shaftColumn, k);
            AirwayResistanceType(regulator) = regulatorPresets[b.pick(0, 3)];
            AirwayName(regulator) = "Regulator " + std::to_string(regulator);
            ++mine.regulators;
            if (boosted) {
                const int booster = b.add((x(out.panelColumn) + x(out.shaftColumn)) / 2, y(rows - 1), z(k),
                                          x(out.shaftColumn), y(rows - 1), z(k), false);
                AirwayFlags(booster) |= AirwayFlag::FixedDirection;
                AirwayFan(booster) = 2;
                AirwayFanCount(booster) = 1;
                AirwayName(booster) = "Booster " + std::to_string(booster);
                ++mine.boosterFans;
            }
        }
        // The panel: drives along the rows, cross-cuts between them, all drawn from the intake side.
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                drive(r, c, r, c + 1, k);
        for (int r = 0; r + 1 < rows; ++r)
            for (int c = 0; c <= columns; ++c) {
                const int a = drive(r, c, r + 1, c, k);
                AirwayName(a) = "Cross-cut " + std::to_string(a);
                // Cross-cuts are driven smaller than the drives they join.
                AirwaySize(1, a) = std::round(b.uniform(3.0f, 4.0f) * 10) / 10;
                AirwaySize(2, a) = std::round(b.uniform(3.0f, 4.0f) * 10) / 10;
                // Away from the panel's ends, where the air comes in and leaves: the panel gives a way round
                // a door or a fixed quantity there, so it closes a mesh of its own and restricts no flow.
                if (c == 0 || c == columns)
                    continue;
                const int roll = b.pick(0, 99);
                if (roll < 3) {
                    AirwayResistanceType(a) = 1;
                    AirwayName(a) = "Door " + std::to_string(a);
                    ++mine.doors;
                } else if (roll == 3 && mine.fixedQuantities < 2 * k) {
                    AirwayFlags(a) |= AirwayFlag::FixedFlow;
                    AirwayFlow(a) = 4;
                    AirwayName(a) = "Stope " + std::to_string(a);
                    ++mine.fixedQuantities;
                }
            }
    }
    // Raises between neighbouring levels at panel nodes, none twice, up to the count.
    std::set<std::tuple<int, int, int>> raised;
    while (AirwayCount < airways) {
        const int k = b.pick(1, levels - 1), r = b.pick(0, rows - 1), c = b.pick(0, columns);
        if (!raised.insert({k, r, c}).second)
            continue;
        const int a = b.add(x(c), y(r), z(k), x(c), y(r), z(k + 1), true);
        AirwayName(a) = "Raise " + std::to_string(a);
        ++mine.raises;
    }

    for (int f = 1; f <= MaxFans; ++f)
        FanName(f).clear();
    // Each main fan serves one return of every level, some 30 m³/s each at two thirds of its shut-off
    // pressure.
    setFan(1, "Main fan", 3000, 60.0f * static_cast<float>(levels), 4.5f);
    setFan(2, "Booster", 900, 60, 1.4f);
    PrimaryLayerName(1) = "Development";
    PrimaryLayerName(2) = "Production";
    SecondaryLayerName(1) = "Intake";
    SecondaryLayerName(2) = "Return";
    NetworkTitle = "Generated multi-level mine " + std::to_string(airways);
    NextAirwayNumber = AirwayCount;
    UpdateNodeKeys();
    CalcAllAirways();
    return mine;
}

void GenerateGridMine(int levels, int side, int raiseEvery, uint32_t seed) {
    levels = std::clamp(levels, 2, 20);
    side = std::clamp(side, 3, 120);
    raiseEvery = std::clamp(raiseEvery, 1, side);
    // Raises stand halfway between the lattice's lines, away from the shafts in the grid's corners.
    const int firstRaise = std::max(1, raiseEvery / 2);
    auto count = [&] {
        const int raisesPerSide = (side - 2 - firstRaise) / raiseEvery + 1;
        return levels * 2 * side * (side - 1) + 4 * levels + (levels - 1) * raisesPerSide * raisesPerSide;
    };
    while (count() > AirwayLimit - 2)
        --side;
    const int airways = count();
    if (MaxAirways < airways + 2)
        MaxAirways = std::min(airways + 2, AirwayLimit);
    ReDimNetwork();
    AirwayCount = 0;
    Builder b{std::mt19937(seed)};

    constexpr int Spacing = 60, DriveStep = 50;
    setLevels(levels, Spacing);
    auto x = [&](int i) { return b.originX + DriveStep * i; };
    auto y = [&](int j) { return b.originY + DriveStep * j; };
    auto z = [&](int k) { return k == 0 ? 1000 : 1000 - Spacing * k; };
    auto shaft = [&](int i, int j, int k1, int k2) {
        const int a = b.add(x(i), y(j), z(k1), x(i), y(j), z(k2), true);
        AirwaySize(2, a) = 7;
        AirwayWallType(a) = TypedPreset;
        AirwayFrictionFactor(a) = 0.004f;
        AirwayShockLength(a) = 0;
        return a;
    };
    const int last = side - 1;
    for (const int i : {0, last}) {
        AirwayFlags(shaft(i, 0, 0, 1)) |= AirwayFlag::SurfaceEntry | AirwayFlag::FreshAir;
        for (int k = 1; k < levels; ++k)
            shaft(i, 0, k, k + 1);
    }
    for (const int i : {last, 0}) {
        for (int k = levels; k > 1; --k)
            shaft(i, last, k, k - 1);
        const int fan = shaft(i, last, 1, 0);
        // A fan fixes its airway's direction, as the edit dialog stores it.
        AirwayFlags(fan) |= AirwayFlag::SurfaceExit | AirwayFlag::ExhaustAir | AirwayFlag::FixedDirection;
        AirwayFan(fan) = 1;
        AirwayFanCount(fan) = 1;
    }
    for (int k = 1; k <= levels; ++k)
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i) {
                if (i < last)
                    b.add(x(i), y(j), z(k), x(i + 1), y(j), z(k), false);
                if (j < last)
                    b.add(x(i), y(j), z(k), x(i), y(j + 1), z(k), false);
            }
    for (int k = 1; k < levels; ++k)
        for (int j = firstRaise; j < last; j += raiseEvery)
            for (int i = firstRaise; i < last; i += raiseEvery) {
                const int a = b.add(x(i), y(j), z(k), x(i), y(j), z(k + 1), true);
                AirwayName(a) = "Raise " + std::to_string(a);
            }

    for (int f = 1; f <= MaxFans; ++f)
        FanName(f).clear();
    // Each main fan draws half the mine's air.
    setFan(1, "Main fan", 3000, 80.0f * static_cast<float>(levels), 4.5f);
    NetworkTitle = "Generated grid mine " + std::to_string(AirwayCount);
    NextAirwayNumber = AirwayCount;
    UpdateNodeKeys();
    CalcAllAirways();
}
