#pragma once
// The orifice resistance wizard: adds the resistance of a regulator orifice (an opening of a typed area
// in a wall across the airway) to the airway's stored resistance and fixes the resistance at the sum. It
// changes only the edit dialog's fixed-resistance box; the airway changes when the dialog is saved.
#include <string>

// The edit dialog's fixed-resistance controls as the wizard uses them.
class FixedResistanceBox {
public:
    virtual ~FixedResistanceBox() = default;
    virtual void SetFixedResistanceText(const std::string &text) = 0;
    // Ticks "Resist" and runs its click handler.
    virtual void FixResistance() = 0;
};

// Runs the wizard for CurrentAirway.
void OrificeWizard(FixedResistanceBox &box);
