#include "graphics/locate.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <cmath>

int32_t SearchKind = 0;
int32_t SearchPosition = 0;
int32_t SearchAirway = 0;
std::string SearchText;
int32_t LocateTarget = 0;

namespace {

bool matches(int a) {
    switch (SearchKind) {
    case 1:
        return (AirwayFlags(a) & AirwayFlag::ErrorMark) != 0;
    case 2:
        return std::fabs(AirwayPressure(a)) == 9999;
    case 3:
        return a == SearchAirway;
    case 4:
        return VB::UCase(AirwayName(a).str()).find(SearchText) != std::string::npos;
    case 5:
        return VB::UCase(AirwayStartName(a).str()).find(SearchText) != std::string::npos ||
               VB::UCase(AirwayEndName(a).str()).find(SearchText) != std::string::npos;
    case 6:
        return (AirwayFlags(a) & AirwayFlag::FixedFlow) != 0;
    case 7:
        return AirwayFan(a) == -1;
    case 8:
        return AirwayFan(a) == 0 && (AirwayFlags(a) & AirwayFlag::FixedDirection) != 0;
    case 9:
        return AirwayLength(a) == 0;
    default:
        return false;
    }
}

int32_t midpoint(int32_t from, int32_t to) {
    return static_cast<int32_t>(VB::RoundHalfEven((static_cast<double>(from) + to) / 2));
}

} // namespace

void LocateByName(int kind) {
    if (kind < 0 || kind > 9 || kind == 4 || kind == 5)
        return;
    SearchKind = kind;
    FindNextBranch();
}

void FindNextBranch() {
    if (SearchKind == 0)
        return;
    if (SearchPosition <= 0 || SearchPosition >= AirwayCount)
        SearchPosition = 1;
    const int32_t start = SearchPosition;
    for (int pass = 0; pass < 2; ++pass) {
        for (int a = pass == 0 ? start : 1; a <= AirwayCount; ++a) {
            if (!matches(a))
                continue;
            SearchPosition = a + 1;
            PickedFraction = 0;
            PickedAirway = 0;
            ShowAirway(a);
            return;
        }
        if (start == 1)
            break;
    }
    VB::MsgBox("No branches to find!");
}

void ShowAirway(int a) {
    if (a < 1 || a > AirwayCount)
        return;
    AirwayStart(1, 0) = midpoint(AirwayStart(1, a), AirwayEnd(1, a));
    AirwayStart(2, 0) = midpoint(AirwayStart(2, a), AirwayEnd(2, a));
    AirwayStart(3, 0) = midpoint(AirwayStart(3, a), AirwayEnd(3, a));
    if (ViewIs3D == 0) {
        if (const PictureBox *pic = ActivePicture())
            SetViewScale(pic->ScaleWidth, pic->ScaleHeight, AirwayStart(1, 0), AirwayStart(2, 0));
    } else {
        RotateView();
    }
    Redraw();
}
