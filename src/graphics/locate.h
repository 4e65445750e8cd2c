#pragma once
// Finding airways by a criterion and bringing them into view. The level and layer switching and the
// ring around the found airway come with the find tool; until then ShowAirway only centres the view.
#include <cstdint>
#include <string>

extern int32_t SearchKind;     // 0 none, 1 error mark, 2 fan off its curve, 3 the slot SearchAirway, ...
extern int32_t SearchPosition; // slot where the next search starts
extern int32_t SearchAirway;   // slot sought by kind 3
extern std::string SearchText; // upper case: kind 4 seeks it in airway names, kind 5 in node names
extern int32_t LocateTarget;   // Find > Branch Number: the unique number typed, then its airway's slot

// Starts a search of the given kind (kinds 0 .. 3 and 6 .. 9) and shows its first match.
void LocateByName(int kind);
// Shows the next airway that matches SearchKind after the last one, wrapping round once.
void FindNextBranch();
// Makes airway a the rotation centre and centres the active view on it.
void ShowAirway(int a);
