#include "simulation/smoke_spread.h"

// The spread and the trace are not built yet: nothing is computed or shown.
void ShowSmokeDialog() {}
void SmokeSimulate() {}
void SmokeTrace() {}
