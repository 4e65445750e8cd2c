#pragma once
// Airway cross-section, length and Atkinson resistance; compaction of the airway arrays.
#include <cstdint>

// Flags with one shape bit at most: of several, the one whose area counts (irregular, then rectangular, then
// round) stays. A damaged or foreign record may carry several.
int32_t OneShape(int32_t flags);

// Recomputes area-dependent values, friction factor, shock length, length and resistance of airway a.
void CalcAirway(int a);
// CalcAirway for every airway in order.
void CalcAllAirways();
// The friction resistance of airway a for display (Ns²/m⁸): no services deduction, preset, parallel
// division or resistance type; stores the copied presets and the length like CalcAirway.
double CalcResistance(int a);
// Closes the gaps left by deleted airways and sets AirwayCount.
// A slot cleared and not filled again: no shape or other flag and every coordinate 0.
bool IsEmptyAirwaySlot(int a);
void PackAirways();
