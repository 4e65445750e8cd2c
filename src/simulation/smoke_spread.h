#pragma once
// The contaminant spread and the smoke sourcing trace.
#include "platform/VBArray.h"

#include <cstdint>

// Work list of the spread (airway slots), kept apart from the visible list, which a redraw rebuilds while
// the spread lets events run.
extern VBArray<int32_t> SmokeWork;
// The data type (group, item) shown before a spread display; 0 when none was saved.
extern int SavedDataGroup;
extern int SavedDataItem;

// Run > Smoke Simulation: the contaminant options and progress window (modeless).
void ShowSmokeDialog();
// The spread from the contaminant sources, shown as display mode 1.
void SmokeSimulate();
// The trace from the smoke reports, shown as display mode 2.
void SmokeTrace();
// Closes the contaminant legend window when it is open.
void CloseSmokeLegend();
