#include "graphics/visible.h"

#include "model/Gustrom1.h"

void SetVisibleAirways() {
    // Until layers and level filters apply, every airway in use and every used text is shown.
    if (VisibleAirways.size() == 0) return;
    int n = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayFlags(a) != 0) VisibleAirways(n++) = a;
    VisibleAirways(n) = 0;
    if (FloatingTextShown.size() == 0) return;
    int t = 0;
    for (int i = 1; i <= MaxFloatingTexts; ++i)
        if (FloatingTextUsed(i)) FloatingTextShown(t++) = i;
    FloatingTextShown(t) = 0;
}
