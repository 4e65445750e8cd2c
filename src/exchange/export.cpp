#include "exchange/export.h"

int ExportMode = 0;

void ExportNetwork() {
    // The writers are not built yet: nothing is exported.
}
