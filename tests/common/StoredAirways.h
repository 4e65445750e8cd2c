#pragma once
// Every stored field of every airway, to compare the network before and after an edit and its undo.
#include "model/airway_fields.h"

#include <vector>

// Every stored field of every airway, bit-exact; undo stamps and the layer-visible mark belong to the
// session and are left out.
std::vector<AirwayValues> StoredAirways();
// Undo may give airways back in other slots: the same airways in any order.
bool SameAirways(const std::vector<AirwayValues> &a, const std::vector<AirwayValues> &b);

// What an edit refused must leave as it was: every airway, the network's saved mark and the undo log.
struct EditState {
    std::vector<AirwayValues> airways;
    int undoSlot, undoStep, saved;
    bool operator==(const EditState &other) const;
};
EditState TakeEditState();
