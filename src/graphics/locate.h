#pragma once
// Finding airways by a criterion and bringing them into view: the search commands step through the
// matching airways one per command, wrapping round once; each is shown on its level with its layers
// visible, centred and ringed.
#include <cstdint>
#include <string>

extern int32_t SearchKind;     // 0 none, 1 error mark, 2 fan off its curve, 3 the slot SearchAirway,
                               // 4 airway name, 5 node name, 6 fixed flow, 7 fixed pressure,
                               // 8 fixed direction without fan, 9 zero length
extern std::string SearchText; // upper case: what kinds 4 and 5 look for
extern int32_t SearchPosition; // slot where the next search starts
extern int32_t SearchAirway;   // slot sought by kind 3
extern int32_t LocateTarget;   // Find > Branch Number: the unique number typed, then its airway's slot

// Starts a search of a kind and shows its first match; `slot` is the airway kind 3 looks for. Kinds 4 and
// 5 first ask for the text of the name. Kinds outside 0 .. 9 do nothing.
void LocateByName(int kind, int slot);
// Shows the next airway that matches SearchKind after the last one, wrapping round once.
void FindNextBranch();
// Shows airway a: on a level that holds its nearer end (the surface level for an end above the surface, a
// "Global Level" spanning the network below the surface when no level does), with its layers visible,
// centred in the active view and ringed.
void ShowAirway(int a);
