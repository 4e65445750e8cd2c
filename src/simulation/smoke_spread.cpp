#include "simulation/smoke_spread.h"

VBArray<int32_t> SmokeWork;
int SavedDataGroup = 0;
int SavedDataItem = 0;

// The spread, the trace and their windows are not built yet: nothing is computed or shown.
void ShowSmokeDialog() {}
void SmokeSimulate() {}
void SmokeTrace() {}
void CloseSmokeLegend() {}
