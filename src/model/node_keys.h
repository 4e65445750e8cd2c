#pragma once
// Node identity by key: two airway ends meet when their coordinates give the same key.
#include "model/Gustrom1.h"

#include <vector>

// The single surface (atmosphere) node; no point's key reaches it.
constexpr Currency SurfaceNodeKey = 900000000000000LL * CurrencyScale;

// The key of the origin (0, 0, 0) and of every point that folds onto it. The origin is an ordinary point
// (a local mine grid, RL 0); its key lies below every other key, so that 0 is left to mean "no node".
constexpr Currency OriginNodeKey = -1;

double FoldSix(double v);  // |v| modulo 1,000,000
double FoldFour(double v); // |v| modulo 10,000
// The key of a point, elevation first: Z modulo 10,000 m, Y and X modulo 1,000,000 m (X in hundredths);
// never 0.
Currency NodeKey(double z, double y, double x);

// Whether airway a starts or ends on the surface node: the end lies at or above the surface level's RL Low,
// or is flagged as a surface entry or exit.
bool StartsAtSurface(int a);
bool EndsAtSurface(int a);
// The keys of airway a from its end coordinates; an end at or above the surface level's RL Low, or
// flagged as a surface entry or exit, is on the surface node.
void SetAirwayKeys(int a);
// Recomputes every airway's keys, applies the surface rules, removes empty slots (cleared and not
// filled again) and numbers unnumbered airways.
void UpdateNodeKeys();
// Unique airway numbers. NextAirwayNumber is the last number given; it never stays below the highest
// number an airway holds, and every number given to an airway is above that: drawing, splitting, copying,
// merging, importing, a new spreadsheet row, loading and reloading the defaults all go through the three
// calls below.
// Lifts NextAirwayNumber to the highest number held by an airway outside the slots first..last (which
// are about to be numbered; an empty range skips none).
void LiftNextAirwayNumber(int first = 1, int last = 0);
// Gives the airways in slots first..last new numbers, each above every other airway's number.
void NumberNewAirways(int first, int last);
// The same for the airways in the listed slots, in list order (one lift for the whole list).
void NumberNewAirways(const std::vector<int> &slots);
// Numbers airways from .. AirwayCount consecutively; restart starts the numbers again at 1, otherwise
// they go on above every other number in use.
void RenumberAirways(int from, bool restart);
// Tells whether every airway number is unique and offers to renumber when not.
void CheckAirwayNumbers();
