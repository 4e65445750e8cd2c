#include "graphics/visible.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/level_dialogs.h"
#include "graphics/mouse.h"
#include "graphics/projection.h"
#include "model/Gustrom1.h"
#include "model/levels_views.h"
#include "platform/ShellHooks.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

struct ElevationWindow {
    int32_t low, high;
};

// The elevation windows the level test uses: the selected levels in mode 2, else the current window.
std::vector<ElevationWindow> elevationWindows() {
    std::vector<ElevationWindow> windows;
    if (ViewMode != 2) {
        windows.push_back({RLWindowLow, RLWindowHigh});
        return windows;
    }
    for (int i = SelectedLevels.LBound(); i <= SelectedLevels.UBound(); ++i) {
        const int level = SelectedLevels(i);
        if (level == 0)
            break;
        if (!LevelRange.InBounds(level, 1))
            continue;
        RLWindowHigh = LevelRange(level, 1);
        RLWindowLow = LevelRange(level, 2);
        windows.push_back({RLWindowLow, RLWindowHigh});
    }
    return windows;
}

bool withinAny(const std::vector<ElevationWindow> &windows, double z) {
    for (const auto &w : windows)
        if (z >= w.low && z <= w.high)
            return true;
    return false;
}

bool overlapsAny(const std::vector<ElevationWindow> &windows, double zlo, double zhi) {
    for (const auto &w : windows)
        if (zlo <= w.high && zhi >= w.low)
            return true;
    return false;
}

void listFloatingTexts(const std::vector<ElevationWindow> &windows) {
    if (FloatingTextShown.size() == 0)
        return;
    const int capacity = FloatingTextShown.UBound();
    const int last = std::min({MaxFloatingTexts, FloatingTextUsed.UBound(), FloatingTextPosition.UBound(1)});
    for (int t = 0; t <= capacity; ++t)
        FloatingTextShown(t) = 0;
    int n = 0;
    for (int t = 1; t <= last && n < capacity; ++t) {
        if (!FloatingTextUsed(t))
            continue;
        // A text on several selected levels is listed once: the union of the levels' texts.
        if (ViewMode == 4 || (ViewMode < 4 && withinAny(windows, FloatingTextPosition(3, t))))
            FloatingTextShown(++n) = t;
    }
}

} // namespace

void SetVisibleAirways() {
    PlanProjected = 0;
    if (VisibleAirways.size() == 0)
        return;
    const int capacity = VisibleAirways.UBound();
    const int count = std::min({AirwayCount, AirwayStartKey.UBound(), capacity - 1});
    for (int i = 0; i <= std::min(AirwayCount, capacity); ++i)
        VisibleAirways(i) = 0;

    std::array<bool, 17> primaryShown{};
    std::array<bool, 49> secondaryShown{};
    for (int l = 1; l <= 16; ++l)
        primaryShown[l] = PrimaryLayerVisible(l);
    for (int l = 1; l <= 48; ++l)
        secondaryShown[l] = SecondaryLayerVisible(l);

    const std::vector<ElevationWindow> windows = elevationWindows();
    listFloatingTexts(windows);
    // Mode 2 with no level chosen shows nothing.
    const bool anyWindow = !windows.empty();
    const bool hiddenLayersShown = (LayerDisplay & 3) != 0;
    const bool throughWindow = (GraphicsDetail & 0x200) != 0;

    int n = 0;
    for (int a = 1; a <= count; ++a) {
        if (AirwaySecondaryLayer(a) == 0)
            AirwaySecondaryLayer(a) = 1;
        if (AirwayPrimaryLayer(a) == 0)
            AirwayPrimaryLayer(a) = 1;
        if (AirwayStartKey(a) == 0)
            continue;
        // Layer numbers read from files may lie outside the tables: the nearest layer stands for them.
        const int secondary = std::clamp(AirwaySecondaryLayer(a), 1, 48);
        const int primary = std::clamp(AirwayPrimaryLayer(a), 1, 16);
        const bool layersShown =
            secondaryShown[static_cast<size_t>(secondary)] && primaryShown[static_cast<size_t>(primary)];
        AirwayFlags(a) &= ~AirwayFlag::LayerVisible;
        if (!layersShown && !hiddenLayersShown)
            continue;
        if (layersShown)
            AirwayFlags(a) |= AirwayFlag::LayerVisible;

        bool taken = ViewMode == 4;
        if (!taken && ViewMode < 4 && anyWindow) {
            const double z1 = AirwayStart(3, a), z2 = AirwayEnd(3, a);
            taken = throughWindow ? overlapsAny(windows, std::min(z1, z2), std::max(z1, z2))
                                  : withinAny(windows, z1) || withinAny(windows, z2);
        }
        if (!taken)
            continue;
        const float flow = AirwayFlow(a);
        if ((flow < MinShownFlow || flow > MaxShownFlow) && DimOption >= 2)
            continue;
        VisibleAirways(++n) = a;
    }
    VisibleAirways(n + 1) = 0;
}

void ShowLevelModeMarks(int mode) {
    for (int i = 0; i <= 3; ++i)
        Shell().SetMenuChecked("mnuLevels(" + std::to_string(i) + ")", i == mode);
}

void SetViewMode(int mode) {
    ShowLevelModeMarks(mode);
    switch (mode) {
    case 0: {
        ViewMode = 1;
        LevelScrollValue = Shell().LevelScrollGetValue();
        const int level = static_cast<int>(LevelScrollValue);
        Shell().LevelListSetIndex(level - 1);
        if (LevelRange.InBounds(level, 1)) {
            RLWindowLow = LevelRange(level, 2);
            RLWindowHigh = LevelRange(level, 1);
        }
        LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
        WorkingElevation = static_cast<float>(LevelElevation);
        break;
    }
    case 1:
        LevelChoosers().ShowSelectLevelDialog();
        if (LevelSelectCancelled) {
            // The check mark goes back to the mode that stays.
            ShowLevelModeMarks(ViewMode - 1);
            return;
        }
        ViewMode = 2;
        SetVisibleAirways();
        RotateView();
        Redraw();
        ButtonHeld = false;
        return;
    case 2:
        ViewMode = 3;
        LevelChoosers().ShowRangeDialog();
        RangeLow = RLWindowLow;
        RangeHigh = RLWindowHigh;
        break;
    case 3:
        ViewMode = 4;
        break;
    default:
        return;
    }
    SetVisibleAirways();
    KeepPan = 1;
    RotateView();
    Redraw();
}

void ShowWorkingLevel() {
    const int levels = std::max(1, static_cast<int>(LevelListNames().size()));
    const auto holds = [](int level, double z) {
        return z >= LevelRange(level, 2) && z <= LevelRange(level, 1);
    };
    int level = static_cast<int>(LevelScrollValue);
    if (level < 1 || level > levels) {
        level = 0;
        for (int l = 1; l <= levels && level == 0; ++l)
            if (holds(l, LevelElevation))
                level = l;
        if (level == 0)
            level = levels >= 2 ? 2 : 1;
    }
    // New points take the middle of the level's band, where every airway drawn on it meets the others; an
    // elevation between levels (the mean of the network's ends, say) would join nothing.
    LevelScrollValue = level;
    CurrentLevel = level - 1;
    LevelElevation = (static_cast<double>(LevelRange(level, 1)) + LevelRange(level, 2)) / 2;
    WorkingElevation = static_cast<float>(LevelElevation);
    Shell().ShowLevelChoice(level);
    ShowCursorCoords(CursorX, CursorY);
}
