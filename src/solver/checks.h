#pragma once
// Airway order, duplicate and zero-length airways, node numbering and the closure checks of the network.
#include "model/Gustrom1.h"

#include <utility>
#include <vector>

// Distinct start nodes numbered by CheckNetwork (nodes 1 .. NodeCount).
extern int NodeCount;

// Puts the airways into descending order of (start key, end key), moving whole records, removes or
// reports duplicate and zero-length airways, sorts again and refreshes the visible list and projection.
void SortAirways();
// The same order alone, without the duplicate search, the visible list or the projection. Returns the
// old slot of each new slot 1 .. AirwayCount (element k - 1 for slot k), or nothing when no record moved.
std::vector<int> SortAirwayRecords();
// The duplicate and zero-length search on the sorted airways; called by SortAirways.
void RemoveDuplicates();
// Numbers the nodes and lists every airway without exit, without entry, touching a surface entry or
// exit, or repeating the pair of the airway before it, every airway of negative resistance, every fixed
// quantity beyond SolverFlowLimit, every fixed pressure without resistance whose ends airways without
// resistance join, and every fixed airway whose quantity cannot hold with the others (fixed inflows and
// outflows of a junction, or of junctions joined only by airways without a fixed quantity away from the
// surface, that differ). Stored flows beyond it are reset to 0, fixed quantities never.
void CheckNetwork();

// The slot order SortAirways gives: result[k] is the position (0-based) in pairs of the record that
// goes to place k. Equal pairs keep the order of the classic insertion sort: a record whose pair is at
// or below every pair before it goes behind its equals, any other goes in front of them.
std::vector<int> DescendingPairOrder(const std::vector<std::pair<Currency, Currency>> &pairs);
