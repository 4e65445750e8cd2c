#include "graphics/locate.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ShellHooks.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>

int32_t SearchKind = 0;
std::string SearchText;
int32_t SearchPosition = 0;
int32_t SearchAirway = 0;
int32_t LocateTarget = 0;

namespace {

constexpr int LastLevel = 249;

bool holdsText(const std::string &name) {
    return UCase1252(name).find(SearchText) != std::string::npos;
}

bool matches(int a) {
    switch (SearchKind) {
    case 1:
        return (AirwayFlags(a) & AirwayFlag::ErrorMark) != 0;
    case 2:
        return std::fabs(AirwayPressure(a)) == 9999;
    case 3:
        return a == SearchAirway;
    case 4:
        return holdsText(AirwayName(a).str());
    case 5:
        return holdsText(AirwayStartName(a).str()) || holdsText(AirwayEndName(a).str());
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

bool surfaceDefined() {
    return !LevelName(1).empty() || LevelRange(1, 1) != 0 || LevelRange(1, 2) != 0;
}

// A new last level spanning every airway end below the surface; 0 when the level list is full. Its top stays
// under the surface's RL Low: a level as high would sort above the surface and become the surface itself,
// turning every airway end below it into a surface node.
int addGlobalLevel() {
    VB::MsgBox("Could not find a valid defined display level the airway was on!\nGustrom will create a new "
               "global level range and add it to your level list");
    int32_t low = 0, high = 0;
    for (int a = 1; a <= AirwayCount; ++a) {
        const int32_t z1 = AirwayStart(3, a), z2 = AirwayEnd(3, a);
        low = a == 1 ? std::min(z1, z2) : std::min({low, z1, z2});
        high = a == 1 ? std::max(z1, z2) : std::max({high, z1, z2});
    }
    ShellHooks &shell = Shell();
    const int max = shell.LevelScrollGetMax();
    if (max >= LastLevel) {
        VB::MsgBox("Level addition failed - too many levels already defined");
        return 0;
    }
    if (surfaceDefined())
        high = std::min(high, LevelRange(1, 2) - 1);
    const int level = max + 1;
    shell.LevelScrollSetRange(shell.LevelScrollGetMin(), level);
    LevelName(level) = "Global Level";
    LevelRange(level, 1) = high;
    LevelRange(level, 2) = low;
    shell.LevelListAdd("Global Level");
    return level;
}

} // namespace

void LocateByName(int kind, int slot) {
    if (kind < 0 || kind > 9)
        return;
    SearchAirway = slot;
    if (kind == 4 || kind == 5) {
        SearchText = UCase1252(kind == 4 ? VB::InputBox("Enter all or part of branch name", "Locate Branch")
                                         : VB::InputBox("Enter all or part of node name", "Locate Node"));
        if (SearchText.empty())
            return;
    }
    SearchKind = kind;
    FindNextBranch();
}

void FindNextBranch() {
    if (SearchKind == 0)
        return;
    // A search that found the last slot goes on from there; only a start beyond the network restarts.
    // The position moves only with a match.
    const int32_t start = SearchPosition <= 0 || SearchPosition > AirwayCount ? 1 : SearchPosition;
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
    const int32_t z = PickedFraction > 0.5f ? AirwayEnd(3, a) : AirwayStart(3, a);
    int level = 0;
    for (int l = 1; l <= LastLevel && level == 0; ++l)
        if (LevelRange(l, 2) <= z && z <= LevelRange(l, 1))
            level = l;
    // An end on or above the surface is joined at the surface node: it shows with the surface level.
    if (level == 0 && surfaceDefined() && z >= LevelRange(1, 2))
        level = 1;
    // When no level can be added the display stays on its level.
    if (level == 0)
        level = addGlobalLevel();
    if (PrimaryLayerVisible.InBounds(AirwayPrimaryLayer(a)))
        PrimaryLayerVisible(AirwayPrimaryLayer(a)) = true;
    if (SecondaryLayerVisible.InBounds(AirwaySecondaryLayer(a)))
        SecondaryLayerVisible(AirwaySecondaryLayer(a)) = true;
    if (level != 0 && LevelRange(level, 1) != RLWindowHigh) {
        RLWindowHigh = LevelRange(level, 1);
        RLWindowLow = LevelRange(level, 2);
        LevelElevation = VB::Int((static_cast<double>(RLWindowHigh) + RLWindowLow) / 2);
        Shell().LevelScrollSetValue(level);
    }
    // The layers may have changed even when the level did not: the list is always rebuilt.
    SetVisibleAirways();
    AirwayStart(1, 0) = midpoint(AirwayStart(1, a), AirwayEnd(1, a));
    AirwayStart(2, 0) = midpoint(AirwayStart(2, a), AirwayEnd(2, a));
    AirwayStart(3, 0) = midpoint(AirwayStart(3, a), AirwayEnd(3, a));
    PictureBox *pic = ActivePicture();
    if (ViewIs3D == 0) {
        if (pic != nullptr)
            SetViewScale(pic->ScaleWidth, pic->ScaleHeight, AirwayStart(1, 0), AirwayStart(2, 0));
    } else {
        RotateView();
    }
    Redraw();
    if (pic == nullptr)
        return;
    const double cx = pic->ScaleLeft + pic->ScaleWidth / 2, cy = pic->ScaleTop + pic->ScaleHeight / 2;
    const double width = std::fabs(pic->ScaleWidth);
    pic->Circle(cx, cy, width / 29, 0x000000);
    pic->Circle(cx, cy, width / 30, 0xFFFFFF);
}
