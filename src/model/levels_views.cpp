#include "model/levels_views.h"

#include "model/Gustrom1.h"
#include "model/units.h"
#include "model/upper_layers.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>

namespace {

const int32_t RLLimit = static_cast<int32_t>(RuleOf(Value::Elevation).high); // m
constexpr int CoordinateQuantity = 14;
constexpr int LastLevel = 249;

// A typed height in display units, m.
double typedMetres(const std::string &text) {
    float shown = static_cast<float>(VB::Val(text, VB::LocaleDecimalSeparator()));
    return FromDisplayUnits(shown, CoordinateQuantity);
}

// The message for a height beyond the RL limits (checked before rounding, so no height can overflow); none
// within them.
const char *beyondLimits(double metres) {
    return metres > RLLimit    ? "Exceeds Maximum RL Limits"
           : metres < -RLLimit ? "Exceeds Minimum RL Limits"
                               : nullptr;
}

int32_t wholeMetres(double metres) {
    return static_cast<int32_t>(VB::RoundHalfEven(metres));
}

} // namespace

int LevelListEnd = 0;

bool IsUnusedLevel(int level) {
    return LevelName(level).empty() && LevelRange(level, 1) == 0 && LevelRange(level, 2) == 0;
}

std::vector<std::string> LevelListNames() {
    std::vector<std::string> names;
    LevelListEnd = 1;
    for (; LevelListEnd <= LastLevel; ++LevelListEnd) {
        if (IsUnusedLevel(LevelListEnd))
            break;
        names.push_back(LevelName(LevelListEnd));
    }
    return names;
}

std::optional<LevelCell> CheckLevelRanges(std::vector<LevelGridRow> grid) {
    const int rows = std::min(static_cast<int>(grid.size()), LastLevel);
    // Every height is checked before any level is stored: one beyond the limits is said and stores nothing.
    for (int i = 1; i <= rows; ++i) {
        const LevelGridRow &row = grid[static_cast<size_t>(i - 1)];
        const double high = typedMetres(row[1]);
        const bool lowRead = wholeMetres(high) != 0 || LevelRange(i, 2) != 0;
        for (int column = 2; column <= (lowRead ? 3 : 2); ++column)
            if (const char *message = beyondLimits(column == 2 ? high : typedMetres(row[2]))) {
                VB::MsgBox(message, VB::vbExclamation);
                return LevelCell{i, column};
            }
    }
    for (int i = 1; i <= rows; ++i) {
        const LevelGridRow &row = grid[static_cast<size_t>(i - 1)];
        LevelName(i) = row[0];
        LevelRange(i, 1) = wholeMetres(typedMetres(row[1]));
        if (LevelRange(i, 1) == 0 && LevelRange(i, 2) == 0)
            continue;
        LevelRange(i, 2) = wholeMetres(typedMetres(row[2]));
        if (LevelRange(i, 2) > LevelRange(i, 1))
            std::swap(LevelRange(i, 1), LevelRange(i, 2));
        if (i != 1 && LevelRange(i, 1) >= LevelRange(1, 2))
            VB::MsgBox("Warning : The level " + LevelName(i) +
                           " is within the NO.1 (surface) RL range.  Change the RL ranges to LESS THAN these "
                           "values to prevent possible problems.",
                       VB::vbCritical, "RL Range Problem");
    }
    FillLevelList();
    return std::nullopt;
}

void SetDefaultLevels() {
    for (int l = 1; l <= LastLevel; ++l) {
        LevelName(l).clear();
        LevelRange(l, 1) = LevelRange(l, 2) = 0;
    }
    LevelName(1) = "SURFACE";
    LevelRange(1, 1) = LevelRange(1, 2) = 1000;
    LevelName(2) = "U/Ground";
    LevelRange(2, 1) = RLWindowHigh = 500;
    LevelRange(2, 2) = RLWindowLow = 480;
    FillLevelList();
}

void FillLevelList() {
    Shell().LevelListClear();
    // Insertion by RL High, highest first. Equal heights keep their order, so that a table saved and read
    // back is the same table, its surface level among them.
    for (int i = 2; i <= LastLevel; ++i) {
        if (LevelName(i).empty() || LevelRange(i, 1) <= LevelRange(i - 1, 1))
            continue;
        const std::string name = LevelName(i);
        const int32_t high = LevelRange(i, 1), low = LevelRange(i, 2);
        int j = i - 1;
        for (; j >= 1 && LevelRange(j, 1) < high; --j) {
            LevelName(j + 1) = LevelName(j);
            LevelRange(j + 1, 1) = LevelRange(j, 1);
            LevelRange(j + 1, 2) = LevelRange(j, 2);
        }
        LevelName(j + 1) = name;
        LevelRange(j + 1, 1) = high;
        LevelRange(j + 1, 2) = low;
    }
    int n = 1;
    for (; n <= 250; ++n) {
        if (IsUnusedLevel(n))
            break;
        Shell().LevelListAdd(LevelName(n));
    }
    if (n < 2) {
        n = 2;
        LevelName(1) = "SURFACE";
        Shell().LevelListAdd(LevelName(1));
    }
    Shell().LevelScrollSetRange(1, n - 1);
}

void FillViewList() {
    Shell().ViewListClear();
    for (int v = 1; v <= 100; ++v)
        if (!ViewName(v).empty())
            Shell().ViewListAdd(ViewName(v));
}

void AddNamedView(int slot, int code, const std::string &name) {
    ViewName(slot) = name;
    Upper().SaveView(slot);
    if (slot != 0 && code != 6)
        Shell().ViewListAdd(name);
    NetworkSaved = 0;
    if (slot == 0)
        return;
    const int last = std::min(100, Shell().ViewListCount() - 1);
    for (int i = 1; i <= last; ++i)
        if (Shell().ViewListText(i) == name) {
            Shell().ViewListSetIndex(i);
            break;
        }
}

void SetViewCaption() {
    const int w = ActiveWindow < 0 ? 0 : ActiveWindow;
    Shell().SetupGraphicsWindow(w, "View " + std::to_string(w + 1), ColourTable(3), ScreenBuffer);
}
