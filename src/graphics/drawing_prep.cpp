#include "graphics/drawing_prep.h"

#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"

#include <cmath>

namespace {

// A segment is trivially outside when both ends lie beyond the same window edge, unless its midpoint is
// inside (an airway crossing the window).
bool outsideWindow(double x1, double y1, double x2, double y2) {
    const double mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    if (mx > WindowLeft && mx < WindowRight && my > WindowTop && my < WindowBottom)
        return false;
    return (x1 < WindowLeft && x2 < WindowLeft) || (x1 > WindowRight && x2 > WindowRight) ||
           (y1 < WindowTop && y2 < WindowTop) || (y1 > WindowBottom && y2 > WindowBottom);
}

} // namespace

void PrepareDrawing() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    if (ViewIs3D == 0)
        ProjectPlan();
    if (BaseDrawWidth == 0)
        BaseDrawWidth = 1;
    pic->DrawWidth = BaseDrawWidth;
    RefreshWindowBounds();
    WindowExtent = static_cast<float>(WindowRight - WindowLeft);
    AirwayScreenCount = 0;

    const int lastPosition = VisibleAirways.UBound();
    const int lastRecord = AirwayScreen.UBound();
    for (int i = 1; i <= lastPosition && AirwayScreenCount < lastRecord; ++i) {
        const int a = VisibleAirways(i);
        if (a == 0)
            break;
        const double x1 = (AirwayStartProjected(1, a) - PanX) * AxisSignX;
        const double y1 = (AirwayStartProjected(2, a) - PanY) * AxisSignY;
        const double x2 = (AirwayEndProjected(1, a) - PanX) * AxisSignX;
        const double y2 = (AirwayEndProjected(2, a) - PanY) * AxisSignY;
        const double z1 = AirwayStart(3, a), z2 = AirwayEnd(3, a);
        AirwayIncline = 1.5 * std::abs(z1 - z2) > AirwayLength(a) ? 5 : 6;
        if (!FitPass && outsideWindow(x1, y1, x2, y2))
            continue;
        AirwayScreenRecord &r = AirwayScreen(++AirwayScreenCount);
        r.x1 = static_cast<float>(x1);
        r.y1 = static_cast<float>(y1);
        r.x2 = static_cast<float>(x2);
        r.y2 = static_cast<float>(y2);
        r.airway = a;
        const bool selected = (AirwayFlags(a) & AirwayFlag::Selected) != 0;
        const int width = IconSize.size() > 0 ? IconSize(0) : 1;
        r.width = selected ? 2 * width : width;
        r.colour = selected ? PictureBox::QBColor(15) : (ColourTable.size() > 0 ? ColourTable(0) : 0);
    }
    ScreenRecordsPresent = AirwayScreenCount >= 1;
}
