#include "exchange/import_levels.h"

#include "model/Gustrom1.h"
#include "model/levels_views.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <string>

namespace {

constexpr int LastLevel = 249;
const int32_t RLLimit = static_cast<int32_t>(RuleOf(Value::Elevation).high); // m
constexpr int32_t ZeroMarker = 10000000; // an elevation of 0 while the table is built: empty levels hold 0

bool inUse(int l) {
    return !LevelName(l).empty() || LevelRange(l, 1) != 0 || LevelRange(l, 2) != 0;
}

void setLevel(int l, const std::string &name, int32_t high, int32_t low) {
    LevelName(l) = name;
    LevelRange(l, 1) = high;
    LevelRange(l, 2) = low;
}

std::string levelName(double value) {
    return "Level" + VB::Str(value);
}

// An end elevation within the RL limits; each limit is reported once per import.
int32_t limited(int32_t e, bool &highShown, bool &lowShown) {
    if (e > RLLimit) {
        if (!highShown)
            VB::MsgBox("Node exceeds Maximum RL Limits", VB::vbExclamation);
        highShown = true;
        return RLLimit;
    }
    if (e < -RLLimit) {
        if (!lowShown)
            VB::MsgBox("Node exceeds Minimum RL Limits", VB::vbExclamation);
        lowShown = true;
        return -RLLimit;
    }
    return e;
}

void importLevelBand(int32_t lowest, int32_t highest, bool merge, std::optional<int32_t> surface) {
    if (!merge && surface) {
        setLevel(1, "Surface", *surface, *surface);
    } else if (!merge || !inUse(1)) {
        // A merge keeps every level the network has; only a surface level it lacks is made.
        if (!(LevelRange(1, 1) > highest && LevelRange(1, 2) > highest))
            setLevel(1, "Surface", highest + 10, highest + 10);
        else if (LevelName(1).empty())
            LevelName(1) = "Surface"; // an unnamed surface would end the level list before the new level
    }
    // The band stays below the surface: a level as high would be sorted above it and become the surface.
    if (inUse(1) && highest >= LevelRange(1, 2)) {
        highest = LevelRange(1, 2) - 1;
        lowest = std::min(lowest, highest);
    }
    for (int l = 2; l <= LastLevel; ++l)
        if (LevelName(l).empty()) {
            setLevel(l, "Import Level", highest, lowest);
            break;
        }
    FillLevelList();
}

// One level per distinct end elevation in an empty table, then the highest made the surface or placed
// above the next level, as the user chooses.
void buildLevelDatabase() {
    int index = 1;
    int32_t highestEnd = 0;
    bool highShown = false, lowShown = false;
    for (int a = 1; a <= AirwayCount; ++a) {
        int32_t e = AirwayEnd(3, a);
        highestEnd = std::max(highestEnd, e);
        e = limited(e, highShown, lowShown);
        if (e == 0)
            e = ZeroMarker;
        bool known = false;
        for (int l = 1; l <= LastLevel && !known; ++l)
            known = LevelRange(l, 1) == e;
        if (known)
            continue;
        if (LevelName(index).empty())
            LevelName(index) = levelName(index);
        LevelRange(index, 1) = e;
        LevelRange(index, 2) = e;
        if (++index == LastLevel + 1) {
            VB::MsgBox("Maximum number of different RL's used!");
            break;
        }
    }
    FillLevelList();
    for (int l = 2; l <= LastLevel; ++l)
        if (LevelRange(l, 1) != 0 && !LevelName(l).empty())
            LevelName(l) = levelName(LevelRange(l, 1));
    if (LevelRange(1, 1) == ZeroMarker)
        setLevel(1, LevelName(1), 0, 0);
    if (VB::MsgBox("Place highest RL data on surface level?", VB::vbYesNo | VB::vbQuestion,
                   "Surface Level") == VB::vbYes)
        setLevel(1, "Surface", highestEnd, highestEnd);
    else
        setLevel(1, "Surface", LevelRange(2, 2) + 10, LevelRange(2, 2) + 10);
}

// New end elevations of a merge go into free levels; the levels there are keep their names and bounds.
void mergedLevelDatabase() {
    bool highShown = false, lowShown = false;
    int free = 1;
    for (int a = 1; a <= AirwayCount; ++a) {
        const int32_t e = limited(AirwayEnd(3, a), highShown, lowShown);
        // An end on the surface needs no level, and one above it would be sorted in as the surface.
        if (inUse(1) && e >= LevelRange(1, 2))
            continue;
        bool known = false;
        for (int l = 1; l <= LastLevel && !known; ++l)
            known = inUse(l) && LevelRange(l, 1) == e;
        if (known)
            continue;
        while (free <= LastLevel && inUse(free))
            ++free;
        if (free > LastLevel) {
            VB::MsgBox("Maximum number of different RL's used!");
            break;
        }
        setLevel(free, levelName(e), e, e);
    }
    FillLevelList();
}

} // namespace

void BuildImportLevels(int32_t lowest, int32_t highest, bool levelDatabase, bool merge,
                       std::optional<int32_t> surface) {
    if (!merge)
        for (int l = 1; l <= LastLevel; ++l)
            setLevel(l, "", 0, 0);
    if (!levelDatabase)
        importLevelBand(lowest, highest, merge, surface);
    else if (!merge)
        buildLevelDatabase();
    else
        mergedLevelDatabase();
}
