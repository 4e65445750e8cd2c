#include "simulation/smoke_spread.h"

VBArray<int32_t> SmokeWork;
int SavedDataGroup = 0;
int SavedDataItem = 0;
int RetainLegend = 0, LegendSet = 0;
bool SettingDataCombos = false;

// The spread, the trace and their windows are not built yet: nothing is computed or shown.
void ShowSmokeDialog() {}
void SmokeSimulate() {}
void SmokeTrace() {}
void CloseSmokeLegend() {}
