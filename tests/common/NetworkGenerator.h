#pragma once
// Builds random but valid mine-like networks in the model for tests and benchmarks: a surface and
// several underground levels, two shafts from the surface through every level (intake and exhaust),
// a drive grid on each level, a main fan on the exhaust shaft, a booster fan, a fixed-quantity airway,
// a bulkhead, layer names and floating texts. The same seed gives the same network.
#include <cstdint>

struct GeneratedNetwork {
    int levels = 0;        // underground levels (the surface is level 1 besides)
    int mainFanAirway = 0; // airway slots of the special airways
    int boosterFanAirway = 0;
    int fixedFlowAirway = 0;
    int bulkheadAirway = 0;
};

// Replaces the network with `airways` airways (at least 8, at most 32,766); grows MaxAirways when needed.
GeneratedNetwork GenerateNetwork(int airways, uint32_t seed);

// What GenerateMultiLevelMine built.
struct GeneratedMine {
    int levels = 0;  // underground levels
    int rows = 0;    // drives per level, joined by cross-cuts
    int columns = 0; // cross-cuts between two drives
    int mainFans = 0, boosterFans = 0, regulators = 0, doors = 0, fixedQuantities = 0, raises = 0;
};

// Replaces the network with a panel mine of exactly `airways` airways (200 .. 32,766): up to 25 levels,
// each a panel of parallel drives joined by cross-cuts, fed by intake shafts from the surface and exhausted
// through return shafts with a main fan at the top of each; every level returns through a regulator (some
// also through a booster fan behind it), some cross-cuts are closed by doors (bulkheads) and some carry a
// fixed quantity, and raises between the levels make up the count. The fans work within their curves, so a
// run balances it without warnings. Grows MaxAirways when needed; the same seed gives the same mine.
GeneratedMine GenerateMultiLevelMine(int airways, uint32_t seed);

// Replaces the network with a mine of `levels` levels (2 .. 20), each a square grid of `side` x `side`
// junctions (3 .. 120) joined by drives, fed through two intake shafts from the surface and exhausted
// through two return shafts with a main fan at the top of each; raises join neighbouring levels at every
// `raiseEvery`-th junction of both directions. Six levels of 50 x 50 with raises at every second junction
// make 32,304 airways. Grows MaxAirways when needed; the same seed gives the same mine.
void GenerateGridMine(int levels, int side, int raiseEvery, uint32_t seed);
