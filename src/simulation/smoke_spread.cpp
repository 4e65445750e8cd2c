#include "simulation/smoke_spread.h"

VBArray<int> SmokeWork;
int SavedDataGroup = 0, SavedDataItem = 0;
int RetainLegend = 0, LegendSet = 0;
bool SettingDataCombos = false;

// The spread and the trace are not built yet: nothing is computed or shown.
void ShowSmokeDialog() {}
void SmokeSimulate() {}
void SmokeTrace() {}
