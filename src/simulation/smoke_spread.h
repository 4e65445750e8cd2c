#pragma once
// The contaminant spread and the smoke sourcing trace, on the connection lists of a solved network.
#include "platform/VBArray.h"

// The spread's work list: airway slots from position 1, ended by 0 (its own array, so that a redraw
// from the event pump cannot rebuild it under the spread). Sized by the spread; a clear zeroes it.
extern VBArray<int> SmokeWork;
// The display data type (group, item) shown before a spread switched to "Contaminant"; 0 = none saved.
extern int SavedDataGroup, SavedDataItem;
// The smoke dialog's "Retain Legend" box as the last spread read it, and 1 once a spread filled the legend.
extern int RetainLegend, LegendSet;
// The spread is setting the main window's data combos: their click handlers do not redraw.
extern bool SettingDataCombos;

// Run > Smoke Simulation: the contaminant options and progress window (modeless).
void ShowSmokeDialog();
// The spread from the contaminant sources, shown as display mode 1.
void SmokeSimulate();
// The trace from the smoke reports, shown as display mode 2.
void SmokeTrace();
