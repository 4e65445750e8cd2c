#include "model/node_keys.h"

#include "model/geometry.h"
#include "platform/Dialogs.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

double FoldSix(double v) {
    const double a = std::fabs(v);
    return a - 1000000.0 * VB::Int(a / 1000000.0);
}

double FoldFour(double v) {
    const double a = std::fabs(v);
    return a - 10000.0 * VB::Int(a / 10000.0);
}

Currency NodeKey(double z, double y, double x) {
    const double zs = z < 0 ? z + 9999 : z;
    const double ys = y < 0 ? y + 99999 : y;
    const double xs = x < 0 ? x + 9999 : x;
    // In ten-thousandths: Z × 1e10, Y × 1e4 and X / 100 of the key.
    const auto kz = static_cast<Currency>(std::llround(FoldFour(zs))) * 100000000000000LL;
    const auto ky = static_cast<Currency>(std::llround(FoldSix(ys))) * 100000000LL;
    const auto kx = static_cast<Currency>(std::llround(FoldSix(xs) * 100.0));
    const Currency key = kx + ky + kz;
    return key == 0 ? OriginNodeKey : key;
}

bool StartsAtSurface(int a) {
    return AirwayStart(3, a) >= LevelRange(1, 2) || (AirwayFlags(a) & AirwayFlag::SurfaceEntry);
}

bool EndsAtSurface(int a) {
    return AirwayEnd(3, a) >= LevelRange(1, 2) || (AirwayFlags(a) & AirwayFlag::SurfaceExit);
}

void SetAirwayKeys(int a) {
    AirwayStartKey(a) = NodeKey(AirwayStart(3, a), AirwayStart(2, a), AirwayStart(1, a));
    AirwayEndKey(a) = NodeKey(AirwayEnd(3, a), AirwayEnd(2, a), AirwayEnd(1, a));
    if (StartsAtSurface(a))
        AirwayStartKey(a) = SurfaceNodeKey;
    if (EndsAtSurface(a))
        AirwayEndKey(a) = SurfaceNodeKey;
}

namespace {

// The highest number held by an airway outside the slots first..last; 0 when none.
int32_t highestNumberOutside(int first, int last) {
    int32_t highest = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (a < first || a > last)
            highest = std::max(highest, AirwayNumber(a));
    return highest;
}

} // namespace

void LiftNextAirwayNumber(int first, int last) {
    NextAirwayNumber = std::max(NextAirwayNumber, highestNumberOutside(first, last));
}

void NumberNewAirways(int first, int last) {
    LiftNextAirwayNumber(first, last);
    for (int a = first; a <= last; ++a)
        AirwayNumber(a) = ++NextAirwayNumber;
}

void NumberNewAirways(const std::vector<int> &slots) {
    LiftNextAirwayNumber();
    for (const int a : slots)
        AirwayNumber(a) = ++NextAirwayNumber;
}

void UpdateNodeKeys() {
    bool packDue = false;
    bool noticeDue = false;
    // Numbered first, so that an error line names the airway by the number the error window finds.
    std::vector<int> unnumbered;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayNumber(a) == 0 && !IsEmptyAirwaySlot(a))
            unnumbered.push_back(a);
    NumberNewAirways(unnumbered);
    for (int a = 1; a <= AirwayCount; ++a) {
        if (IsEmptyAirwaySlot(a)) {
            ClearAirway(a);
            packDue = true;
            continue;
        }
        SetAirwayKeys(a);
        if (AirwayStartKey(a) == SurfaceNodeKey && AirwayEndKey(a) == SurfaceNodeKey) {
            ErrorLevel = 1;
            Errorlist.push_back(std::to_string(AirwayNumber(a)) + "\tboth ends on surface");
            AirwayComment(a) = "ends on surface";
            AirwayFlags(a) |= AirwayFlag::ErrorMark;
            noticeDue = true;
        }
        // A bulkhead carries no air; a fixed quantity given to one is the user's and stays for the checks.
        if (AirwayResistance(a) >= static_cast<float>(BulkheadResistance) &&
            !(AirwayFlags(a) & AirwayFlag::FixedFlow))
            AirwayFlow(a) = 0;
    }
    if (packDue)
        PackAirways();
    if (noticeDue)
        VB::MsgBox(
            "Gustrom has detected that one or more of your airways has both ends on or above the surface"
            "\r\n\r\nPlease check your surface RL values or the airway data as the network will not "
            "simulate properly with the current settings.");
}

void RenumberAirways(int from, bool restart) {
    if (restart)
        NextAirwayNumber = 0;
    NumberNewAirways(from, AirwayCount);
}

void CheckAirwayNumbers() {
    // Any repeated number among the airways, found with a set instead of comparing all pairs.
    std::unordered_set<int32_t> seen;
    bool duplicate = false;
    for (int a = 1; a <= AirwayCount && !duplicate; ++a)
        duplicate = !seen.insert(AirwayNumber(a)).second;
    if (!duplicate) {
        VB::MsgBox("All airways have unique numbers");
        return;
    }
    if (VB::MsgBox("Duplicate unique airway numbers exist - allow Gustrom to re-number them ?",
                   VB::vbYesNo | VB::vbQuestion, "Duplicate airway numbers") == VB::vbYes)
        RenumberAirways(1, true);
}
