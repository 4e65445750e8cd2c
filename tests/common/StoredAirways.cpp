#include "common/StoredAirways.h"

#include "model/Gustrom1.h"
#include "model/undo.h"

#include <algorithm>

std::vector<AirwayValues> StoredAirways() {
    std::vector<AirwayValues> all;
    for (int a = 1; a <= AirwayCount; ++a) {
        const int32_t stamp = AirwayUndoStamp(a), flags = AirwayFlags(a);
        AirwayUndoStamp(a) = 0;
        AirwayFlags(a) &= ~AirwayFlag::LayerVisible;
        all.push_back(TakeAirwayValues(a));
        AirwayUndoStamp(a) = stamp;
        AirwayFlags(a) = flags;
    }
    return all;
}

bool SameAirways(const std::vector<AirwayValues> &a, const std::vector<AirwayValues> &b) {
    return a.size() == b.size() && std::is_permutation(a.begin(), a.end(), b.begin());
}

EditState TakeEditState() {
    return {StoredAirways(), UndoSlot, UndoStep, NetworkSaved};
}

bool EditState::operator==(const EditState &other) const {
    return SameAirways(airways, other.airways) && undoSlot == other.undoSlot && undoStep == other.undoStep &&
           saved == other.saved;
}
