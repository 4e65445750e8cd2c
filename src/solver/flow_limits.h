#pragma once
// The flow limits the whole-network solve, the sweeps and the settings share.
#include <algorithm>
#include <cmath>

// The flow (m³/s) below which an airway's friction is linearised with the slope it has at that flow, for a
// tolerance (m³/s): a tenth of a litre per second, or a hundredth of the tolerance where that is less, so
// that the slope taken hides no error the tolerance would see; the steps stay finite beside airways of
// negligible resistance.
inline double SlopeFloorFlow(double tolerance) {
    return std::min(1e-4, 0.01 * tolerance);
}

// The least Max Allowable Error (m³/s) that flows stored in single precision can meet where the largest
// flow is largestFlow (m³/s): the spacing of single-precision values there.
inline double FlowErrorFloor(double largestFlow) {
    const float largest = static_cast<float>(std::min(largestFlow, 1e38));
    return static_cast<double>(std::nextafter(largest, INFINITY)) - largest;
}
