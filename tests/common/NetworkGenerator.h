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
