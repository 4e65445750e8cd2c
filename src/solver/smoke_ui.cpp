#include "solver/smoke_ui.h"

#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/Seam.h"

#include <cstdio>

namespace {
Seam<SmokeUi> seam;
} // namespace

std::string SmokeUi::LegendBox(int i) const {
    return SmokeLegendLevel.InBounds(i) ? LegendLevelText(SmokeLegendLevel(i)) : std::string("0");
}

SmokeUi &Smoke() {
    return seam.Get();
}

SmokeUi *SetSmokeUi(SmokeUi *ui) {
    return seam.Set(ui);
}

std::string LegendLevelText(double level) {
    return FormatPattern(level, "0", 7);
}

std::string SmokeTimeText(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}
