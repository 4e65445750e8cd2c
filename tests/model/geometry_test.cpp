#include "common/ModelFixture.h"
#include "model/geometry.h"

using AirwayGeometry = ModelTest;

TEST_F(AirwayGeometry, RectangularAirwayGetsAtkinsonResistance) {
    const int a = AddAirway(0, 0, 500, 100, 0, 500);
    CalcAirway(a);
    EXPECT_NEAR(AirwayResistance(a), 0.012 * 16 * 100 / 4096.0, 1e-9);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 0.0046875f);
    EXPECT_EQ(AirwayLength(a), 100.0f);

    // Denser air scales the resistance.
    AirDensity = 2.4f;
    CalcAirway(a);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 2 * 0.0046875f);
    AirDensity = 1.2f;
}

TEST_F(AirwayGeometry, ShapeServicesAndLeastArea) {
    // Services take 0.8 m²: A = 15.2 m² instead of 16.
    const int s = AddAirway(0, 0, 500, 100, 0, 500);
    AirwayFlags(s) |= AirwayFlag::Services;
    CalcAirway(s);
    EXPECT_NEAR(AirwayResistance(s), 0.012 * 16 * 100 / (15.2 * 15.2 * 15.2), 1e-8);

    // A round airway of diameter 0 gets the least area, and its first size component is cleared.
    const int r = AddAirway(0, 0, 500, 0, 100, 500);
    AirwayFlags(r) = AirwayFlag::Round;
    AirwaySize(1, r) = 3;
    AirwaySize(2, r) = 0;
    CalcAirway(r);
    EXPECT_EQ(AirwaySize(1, r), 0.0f);
    // Perimeter 0 with A = 0.05 gives no friction: the least resistance stands.
    EXPECT_FLOAT_EQ(AirwayResistance(r), 0.00001f);

    // A round airway of 2 m: A = π, P = 2π.
    AirwaySize(2, r) = 2;
    CalcAirway(r);
    const double pi = 3.1415926;
    EXPECT_NEAR(AirwayResistance(r), 0.012 * 2 * pi * 100 / (pi * pi * pi), 1e-7);

    // Irregular: size 1 is the perimeter and size 2 the area.
    const int i = AddAirway(0, 0, 500, 0, 0, 400);
    AirwayFlags(i) = AirwayFlag::Irregular;
    AirwaySize(1, i) = 20;
    AirwaySize(2, i) = 10;
    CalcAirway(i);
    EXPECT_NEAR(AirwayResistance(i), 0.012 * 20 * 100 / 1000.0, 1e-8);

    // With a round and a rectangular bit the rectangle counts, and its height is left as it was.
    const int b = AddAirway(0, 0, 500, 100, 0, 500);
    AirwayFlags(b) |= AirwayFlag::Round;
    CalcAirway(b);
    EXPECT_EQ(AirwaySize(1, b), 4.0f);
    EXPECT_FLOAT_EQ(AirwayResistance(b), 0.0046875f);
}

TEST_F(AirwayGeometry, PresetsAddToOrReplaceTheComputedResistance) {
    const int a = AddAirway(0, 0, 500, 100, 0, 500);
    AirwayResistanceType(a) = 2; // "Steel Door", 10 Ns²/m⁸
    CalcAirway(a);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 10.0046875f);
    PresetResistanceReplaces = 1;
    CalcAirway(a);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 10.0f);
    PresetResistanceReplaces = 0;
    AirwayResistanceType(a) = 1; // "Bulkhead"
    CalcAirway(a);
    EXPECT_GE(AirwayResistance(a), 1e9f);
}

TEST_F(AirwayGeometry, ParallelAirwaysTypedResistanceAndLengths) {
    const int a = AddAirway(0, 0, 500, 100, 0, 500);
    AirwayParallelCount(a) = 2;
    CalcAirway(a);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 0.0046875f / 4);

    // A parallel count of 0 counts as one airway.
    AirwayParallelCount(a) = 0;
    CalcAirway(a);
    EXPECT_EQ(AirwayParallelCount(a), 1);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 0.0046875f);

    // A typed resistance stays as typed, but the length is still recomputed.
    AirwayResistanceType(a) = TypedPreset;
    AirwayResistance(a) = 3.5f;
    AirwayEnd(1, a) = 250;
    CalcAirway(a);
    EXPECT_EQ(AirwayResistance(a), 3.5f);
    EXPECT_EQ(AirwayLength(a), 250.0f);

    // The stored length is rounded down; the resistance uses the exact distance (about 100.7 m).
    const int b = AddAirway(0, 0, 500, 100, 12, 500);
    CalcAirway(b);
    const double d = std::sqrt(100.0 * 100 + 12 * 12);
    EXPECT_EQ(AirwayLength(b), 100.0f);
    EXPECT_NEAR(AirwayResistance(b), 0.012 * 16 * d / 4096, 1e-8);

    // A fixed length is kept and used.
    AirwayFlags(b) |= AirwayFlag::FixedLength;
    AirwayLength(b) = 300;
    CalcAirway(b);
    EXPECT_EQ(AirwayLength(b), 300.0f);
    EXPECT_NEAR(AirwayResistance(b), 0.012 * 16 * 300 / 4096, 1e-8);
}

TEST_F(AirwayGeometry, WallAndShockPresetsAreCopiedIntoTheAirway) {
    const int a = AddAirway(0, 0, 500, 100, 0, 500);
    AirwayWallType(a) = 4;  // k = 0.01
    AirwayShockType(a) = 3; // 50 m
    CalcAirway(a);
    EXPECT_FLOAT_EQ(AirwayFrictionFactor(a), 0.01f);
    EXPECT_FLOAT_EQ(AirwayShockLength(a), 50);
    EXPECT_NEAR(AirwayResistance(a), 0.01 * 16 * 150 / 4096, 1e-8);
    // Shock presets above 5 and the typed value keep the airway's own length.
    AirwayShockType(a) = 7;
    AirwayShockLength(a) = 12;
    CalcAirway(a);
    EXPECT_FLOAT_EQ(AirwayShockLength(a), 12);
}

TEST_F(AirwayGeometry, TypeCodesOutsideTheTablesAreNeverUsedAsIndices) {
    const int a = AddAirway(0, 0, 500, 100, 0, 500);
    AirwayWallType(a) = -5;
    AirwayShockType(a) = -1;
    AirwayResistanceType(a) = 900;
    AirwayFrictionFactor(a) = 0.012f;
    CalcAirway(a);
    EXPECT_FLOAT_EQ(AirwayFrictionFactor(a), 0.012f);
    EXPECT_FLOAT_EQ(AirwayResistance(a), 0.0046875f);
}

TEST_F(AirwayGeometry, DisplayResistanceIgnoresPresetsServicesAndParallels) {
    const int a = AddAirway(0, 0, 500, 100, 0, 500);
    AirwayFlags(a) |= AirwayFlag::Services;
    AirwayParallelCount(a) = 3;
    AirwayResistanceType(a) = 2;
    AirwayResistance(a) = 77;
    EXPECT_NEAR(CalcResistance(a), 0.0046875, 1e-9);
    EXPECT_EQ(AirwayResistance(a), 77.0f);
    EXPECT_EQ(AirwayLength(a), 100.0f);
}

namespace {
std::string nameOf(int i) {
    std::string name = std::to_string(i);
    name.insert(name.begin(), 'A');
    return name;
}
} // namespace

TEST_F(AirwayGeometry, PackAirwaysClosesGapsInOrder) {
    for (int i = 1; i <= 5; ++i)
        AddAirway(i, i, i, 10 * i, 10 * i, 10 * i);
    // Slots 2 and 4 are cleared; slot 3 was read with no branch code but holds an airway.
    const int32_t flags[] = {1, 0, 0, 0, 9};
    for (int i = 1; i <= 5; ++i) {
        AirwayFlags(i) = flags[i - 1];
        AirwayName(i) = nameOf(i);
        AirwayNumber(i) = 100 + i;
        AirwaySmoke(1, i) = i;
        AirwayStartKey(i) = i;
        // Junction pressures and arrival times move with their airway, whether or not a run follows.
        AirwayStartPressure(i) = 1000.0f + i;
        AirwayEndPressure(i) = 900.0f + i;
        AirwaySmokeTime(i) = 60.0f * i;
    }
    ClearAirway(2);
    ClearAirway(4);
    ViewMode = 4; // all levels shown
    PackAirways();
    EXPECT_EQ(AirwayCount, 3);
    const int from[] = {1, 3, 5};
    for (int s = 1; s <= 3; ++s) {
        const int f = from[s - 1];
        EXPECT_EQ(AirwayFlags(s) & ~AirwayFlag::LayerVisible, flags[f - 1]);
        EXPECT_EQ(AirwayName(s).trimmed(), nameOf(f));
        EXPECT_EQ(AirwayNumber(s), 100 + f);
        EXPECT_EQ(AirwayStart(1, s), f);
        EXPECT_EQ(AirwayEnd(3, s), 10 * f);
        EXPECT_EQ(AirwaySmoke(1, s), f);
        EXPECT_EQ(AirwayStartPressure(s), 1000.0f + f);
        EXPECT_EQ(AirwayEndPressure(s), 900.0f + f);
        EXPECT_EQ(AirwaySmokeTime(s), 60.0f * f);
    }
    for (int s = 4; s <= 5; ++s) {
        EXPECT_EQ(AirwayFlags(s), 0);
        EXPECT_EQ(AirwayNumber(s), 0);
        EXPECT_EQ(AirwayName(s).trimmed(), "");
    }
    // The visible list is rebuilt over the packed slots.
    EXPECT_EQ(VisibleAirways(1), 1);
    EXPECT_EQ(VisibleAirways(3), 3);
    EXPECT_EQ(VisibleAirways(4), 0);
}
