#include "graphics/drawing_prep.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"

#include <cmath>
#include <cstdlib>

namespace {

// Palette entries of the smoke and highlight colours.
constexpr int DimEntry = 0;
constexpr int WhiteEntry = 6;
// Window units a vertical airway's end is moved by in single-level plan view, so that it shows as a stroke.
constexpr float ShaftOffset = 15;

// A segment is trivially outside when both ends lie beyond the same window edge, unless its midpoint is
// inside (an airway crossing the window).
bool outsideWindow(double x1, double y1, double x2, double y2) {
    const double mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    if (mx > WindowLeft && mx < WindowRight && my > WindowTop && my < WindowBottom)
        return false;
    return (x1 < WindowLeft && x2 < WindowLeft) || (x1 > WindowRight && x2 > WindowRight) ||
           (y1 < WindowTop && y2 < WindowTop) || (y1 > WindowBottom && y2 > WindowBottom);
}

int32_t colourTable(int i) {
    return ColourTable.InBounds(i) ? ColourTable(i) : 0;
}

void buildPalette() {
    static constexpr int standard[8] = {8, 2, 9, 13, 12, 14, 15, 11};
    if (SmokePalette.size() != 8)
        SmokePalette.ReDim(Bounds{0, 7});
    for (int i = 0; i <= 7; ++i)
        SmokePalette(i) = PictureBox::QBColor(standard[i]);
}

// Fresh air in the above-level colour, exhaust in the below-level colour; exhaust wins.
int32_t airTypeColour(int32_t flags) {
    if (flags & AirwayFlag::ExhaustAir)
        return colourTable(1);
    if (flags & AirwayFlag::FreshAir)
        return colourTable(2);
    return colourTable(0);
}

// The palette entry of the contaminant class of airway a, or -1 when it shows no contaminant.
int smokeEntry(int a) {
    if (SmokeMode == 1) {
        const double limit = std::abs(static_cast<double>(SmokeDisplayTime));
        const int concentration = AirwaySmoke(2, a);
        if ((SmokeDisplayTime == 0 || limit >= AirwaySmokeTime(a)) && concentration > 0) {
            int entry = DimEntry;
            // The lowest class whose threshold the concentration reaches counts.
            for (int k = 5; k >= 0; --k)
                if (SmokeLegendLevel.InBounds(k) && concentration + 1 >= SmokeLegendLevel(k))
                    entry = 6 - k;
            return entry;
        }
        return DimEntry;
    }
    if (SmokeMode == 2) {
        const int mark = AirwaySmoke(2, a);
        return mark >= 1 && mark <= 7 ? mark : DimEntry;
    }
    return -1;
}

} // namespace

void PrepareDrawing() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    if (ViewIs3D == 0)
        ProjectPlan();
    buildPalette();
    if (BaseDrawWidth == 0)
        BaseDrawWidth = 1;
    pic->DrawWidth = BaseDrawWidth;
    RefreshWindowBounds();
    WindowExtent = static_cast<float>(WindowRight - WindowLeft);
    AirwayScreenCount = 0;

    const bool singleLevelPlan = ViewIs3D == 0 && ViewMode == 1;
    const int width = IconSize.InBounds(0) ? IconSize(0) : 1;
    const int lastPosition = VisibleAirways.UBound();
    const int lastRecord = AirwayScreen.UBound();
    for (int i = 1; i <= lastPosition && AirwayScreenCount < lastRecord; ++i) {
        const int a = VisibleAirways(i);
        if (a == 0)
            break;
        if (!AirwayFlags.InBounds(a))
            continue;
        double x1 = (AirwayStartProjected(1, a) - PanX) * AxisSignX;
        double y1 = (AirwayStartProjected(2, a) - PanY) * AxisSignY;
        double x2 = (AirwayEndProjected(1, a) - PanX) * AxisSignX;
        double y2 = (AirwayEndProjected(2, a) - PanY) * AxisSignY;
        const double z1 = AirwayStart(3, a), z2 = AirwayEnd(3, a);
        AirwayIncline = 1.5 * std::abs(z1 - z2) > AirwayLength(a) ? 5 : 6;
        if (!FitPass && outsideWindow(x1, y1, x2, y2))
            continue;
        const int32_t flags = AirwayFlags(a);

        int32_t colour;
        if (singleLevelPlan) {
            colour = colourTable(0);
            if (z1 > RLWindowHigh || z2 > RLWindowHigh)
                colour = colourTable(2);
            if (z1 < RLWindowLow || z2 < RLWindowLow)
                colour = colourTable(1);
            if (x1 == x2 && y1 == y2) {
                // A shaft seen from above would be a point: each end off the level is drawn as a stroke.
                if (z1 > RLWindowHigh) {
                    x1 += ShaftOffset;
                    y1 -= ShaftOffset;
                } else if (z1 < RLWindowLow) {
                    x1 -= ShaftOffset;
                    y1 -= ShaftOffset;
                }
                if (z2 > RLWindowHigh) {
                    x2 += ShaftOffset;
                    y2 -= ShaftOffset;
                } else if (z2 < RLWindowLow) {
                    x2 -= ShaftOffset;
                    y2 -= ShaftOffset;
                }
            }
            if (ColourScheme == 1)
                colour = airTypeColour(flags);
        } else if (ColourScheme == 1) {
            colour = airTypeColour(flags);
        } else if (AirwayIncline == 5) {
            colour = z1 <= z2 ? colourTable(1) : colourTable(2);
        } else {
            colour = colourTable(0);
        }

        int entry = smokeEntry(a);
        if ((flags & AirwayFlag::LayerVisible) == 0 && (LayerDisplay & 3) == 1)
            entry = DimEntry;
        if (DimOption == 1 && (AirwayFlow(a) < MinShownFlow || AirwayFlow(a) > MaxShownFlow))
            entry = DimEntry;
        if (flags & AirwayFlag::ErrorMark)
            entry = WhiteEntry;
        const bool selected = (flags & AirwayFlag::Selected) != 0;
        if (selected)
            entry = WhiteEntry;
        if (entry >= 0)
            colour = SmokePalette(entry);

        AirwayScreenRecord &r = AirwayScreen(++AirwayScreenCount);
        r.x1 = static_cast<float>(x1);
        r.y1 = static_cast<float>(y1);
        r.x2 = static_cast<float>(x2);
        r.y2 = static_cast<float>(y2);
        r.airway = a;
        r.width = selected ? 2 * width : width;
        r.colour = colour;
    }
    ScreenRecordsPresent = AirwayScreenCount >= 1;
}
