#include "dialogs/orifice_wizard.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

namespace {

constexpr double ContractionCoefficient = 0.65;
constexpr double OrificeFactor = 0.6;
constexpr double Pi = 3.1415926;

// The airway's stored cross-section, m² (services not deducted).
double storedArea(int a) {
    const int32_t flags = AirwayFlags(a);
    double area = (flags & AirwayFlag::Round) != 0 ? AirwaySize(2, a) * AirwaySize(2, a) * Pi / 4
                                                   : static_cast<double>(AirwaySize(1, a)) * AirwaySize(2, a);
    if ((flags & AirwayFlag::Irregular) != 0)
        area = AirwaySize(2, a);
    return area;
}

// The numeric value of a box's text; a text that is not a number counts as 0.
double numericValue(const std::string &text) {
    try {
        return StrictValue(text);
    } catch (const VBError &) {
        return 0;
    }
}

} // namespace

void OrificeWizard(FixedResistanceBox &box) {
    const int a = CurrentAirway;
    if (AirwayResistanceType(a) == 1) {
        VB::MsgBox("No orifice available on blocked airways");
        return;
    }
    const double area = storedArea(a);
    if (!(area > 0)) {
        VB::MsgBox("The airway has no cross-section area - no orifice can be fitted", VB::vbExclamation);
        return;
    }
    const std::string answer =
        VB::InputBox("Enter the orifice area in " + UnitName(Quantity::Area), "Orifice resistance wizard");
    // No answer asks for nothing; an answer that is no area above 0 is said and changes nothing.
    if (answer.empty())
        return;
    float orifice = 0;
    try {
        orifice = TypedValue(Value::SectionArea, answer, Quantity::Area);
    } catch (const ValueRefused &refused) {
        VB::MsgBox(refused.what(), VB::vbExclamation);
        return;
    }
    // An opening as large as the contracted airway, or larger, restricts nothing.
    const double open = ContractionCoefficient * orifice;
    const double gap = open >= area ? 0 : 1 / open - 1 / area;
    const float added = static_cast<float>(OrificeFactor * gap * gap);
    const double shownAdded = numericValue(FormatValue(added, Quantity::Resistance, 0, 0));

    // The sum starts from the stored resistance as shown; the box keeps what was typed in it unless the
    // orifice is taken.
    const std::string unit = UnitName(Quantity::Resistance);
    const double total =
        numericValue(FormatValue(AirwayResistance(a), Quantity::Resistance, 0, 0)) + shownAdded;
    const int answerCode =
        VB::MsgBox("A resistance of " + FormatPattern(shownAdded, "0.00000") + " " + unit +
                       " will now be added to the airway.\r\n\r\nThe total resistance will be "
                       "fixed to " +
                       FormatPattern(total, "0.00000") + " " + unit,
                   VB::vbOKCancel, "Fix resistance for orifice");
    if (answerCode == VB::vbCancel)
        return;
    box.FixResistance();
    box.SetFixedResistanceText(FormatPattern(total, "0.00000"));
}
