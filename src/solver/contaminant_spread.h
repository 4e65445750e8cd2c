#pragma once
// The contaminant spread and the smoke sourcing trace on the connection lists of a solved network: what
// they compute into AirwaySmoke and AirwaySmokeTime, apart from what shows it.
#include "platform/VBArray.h"

#include <cstdint>

// Work list of the spread (airway slots from position 1, ended by 0), kept apart from the visible list,
// which a redraw rebuilds while the spread lets events run. Sized by the spread; a clear zeroes it.
extern VBArray<int32_t> SmokeWork;

// Spreads the contaminant from every source with airflow: the airways reached, then their concentrations
// and arrival times, sweep by sweep until they settle (asking whether to accept the best guess when they
// do not). False when there is no source with airflow; a stop request ends it with what was reached.
bool SpreadContaminant();
// Marks every airway from the smoke report pins: potential sources upstream of a smoke report, cleared
// upstream of a clear report, smoked at and downstream of a smoke report.
void MarkSmokeTrace();
