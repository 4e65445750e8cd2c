#pragma once
// Puts an airway's two end points (whole metres) into the model: the one step every test network builder
// shares.
#include "model/Gustrom1.h"

inline void SetAirwayEnds(int a, int32_t x1, int32_t y1, int32_t z1, int32_t x2, int32_t y2, int32_t z2) {
    AirwayStart(1, a) = x1;
    AirwayStart(2, a) = y1;
    AirwayStart(3, a) = z1;
    AirwayEnd(1, a) = x2;
    AirwayEnd(2, a) = y2;
    AirwayEnd(3, a) = z2;
}
