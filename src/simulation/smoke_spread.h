#pragma once
// The contaminant spread and the smoke sourcing trace as the user runs them: a balanced network first, then
// the legend, the data type shown and the time slider. What they compute is in solver/contaminant_spread.h.

// The data type (group, item) shown before a spread display; 0 when none was saved.
extern int SavedDataGroup;
extern int SavedDataItem;
// The smoke dialog's "Retain Legend" box as the last spread read it, and 1 once a spread filled the legend.
extern int RetainLegend, LegendSet;
// The spread is setting the main window's data combos: their click handlers do not redraw.
extern bool SettingDataCombos;

// The smoke dialog shown modeless as the progress window, then the spread.
void ShowSmokeDialog();
// The spread from the contaminant sources, shown as display mode 1.
void SmokeSimulate();
// The trace from the smoke reports, shown as display mode 2.
void SmokeTrace();
// The legend's time slider after a spread: 0 .. the latest arrival + 1 s (at most three hours).
void ShowSmokeTime();
// Takes the contaminant source mark and concentration off every airway; the network is changed when one
// had either.
void ClearContaminantSources();
// Takes every smoke report pin and every trace or spread value off the airways; the network is changed
// when one had any.
void ClearSmokeReports();
// Closes the contaminant legend window when it is open.
void CloseSmokeLegend();
// Shows again the data type saved before the spread, when a valid one was saved; the data combos'
// handlers do not redraw meanwhile.
void RestoreSavedDataType();
