#include "model/value_rules.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

namespace {

constexpr double Single = FLT_MAX;
constexpr double Integer = 32767;

using Q = Value;
struct Entry {
    Q quantity;
    ValueRule rule;
};

// name, unit row, low, high, whole, low open, usual
constexpr Entry Rules[] = {
    {Q::Resistance, {"Resistance", Quantity::Resistance, 0, Single, false, false, 0}},
    {Q::FrictionFactor, {"Friction factor", Quantity::FrictionFactor, 0, Single, false, false, 0}},
    {Q::ShockLength, {"Shock length", Quantity::Length, 0, Single, false, false, 0}},
    {Q::Length, {"Length", Quantity::Length, 0, Single, false, false, 0}},
    {Q::Size, {"Size", Quantity::Length, 0, Single, false, false, 0}},
    {Q::Area, {"Area", Quantity::Area, 0, Single, false, false, 0}},
    {Q::FixedFlow, {"Fixed quantity", Quantity::Airflow, -SolverFlowLimit, SolverFlowLimit, false, false, 0}},
    {Q::Flow, {"Quantity", Quantity::Airflow, -Single, Single, false, false, 0}},
    {Q::Pressure, {"Pressure", Quantity::Pressure, -Single, Single, false, false, 0}},
    {Q::Contaminant, {"Contaminant", 0, 0, Single, false, false, 0}},
    {Q::ParallelCount, {"Number of parallel airways", 0, 0, Integer, true, false, 1}},
    {Q::FanCount, {"Number of fans", 0, 0, Integer, true, false, 0}},
    {Q::CurvePercent, {"Percentage of velocity pressure", 0, 0, 100, true, false, 0}},
    {Q::PlanCoordinate, {"Coordinate", Quantity::Coordinates, -10000000, 10000000, false, false, 0}},
    {Q::Elevation, {"RL", Quantity::Coordinates, -9999999, 9999999, false, false, 0}},
    {Q::ShockCount, {"Number of fittings", 0, 0, 1000, true, false, 0}},
    {Q::FanDiameter, {"Fan diameter", Quantity::Length, 0, Single, false, false, 0}},
    {Q::FanFlow, {"Fan quantity", Quantity::Airflow, 0, Single, false, false, 0}},
    {Q::FanPressure, {"Fan pressure", Quantity::Pressure, -Single, Single, false, false, 0}},
    {Q::FanEfficiency, {"Fan efficiency", 0, 0, 100, true, false, 0}},
    {Q::UnitFactor, {"Unit factor", 0, 1e-6, 1e6, false, false, 1}},
    {Q::UnitSystem, {"Unit system", 0, 1, 2, true, false, 1}},
    {Q::MinNodeSpacing, {"Minimum node spacing", 0, 1, 100, true, false, 5}},
    {Q::PickTolerance, {"Airway proximity search", 0, 0.25, 20, false, false, 4}},
    {Q::PickDivisor, {"Airway proximity divisor", 0, 5, 400, true, false, 25}},
    {Q::PowerZoomSpeed, {"Power zoom speed", 0, 0, 200, false, true, 4}},
    {Q::RotationSpeed, {"Rotation speed", 0, 0, 45, false, true, 2}},
    {Q::GridSpacing, {"Grid line spacing", 0, 5, 1000, false, false, 50}},
    {Q::ScaleWidth, {"Scale width", 0, 5, 10000, false, false, 500}},
    {Q::GridCentre, {"Grid centre", 0, 0, 1e9, false, false, 1000}},
    {Q::MaxIterations, {"Iteration limit", 0, 1, 5000, true, false, 50}},
    // Compared as the single it is kept in.
    {Q::MaxError, {"Allowable error", 0, static_cast<double>(0.0001f), 5, false, false, 0.05}},
    {Q::AirDensity, {"Air density", Quantity::Density, 0.001, 2000, false, false, 1.2}},
    {Q::SurfacePressure,
     {"Surface barometric pressure", Quantity::AbsolutePressure, 0, 10000, false, false, 101}},
    {Q::PowerCost, {"Power cost", 0, 0, 1000, false, true, 0.08}},
    {Q::PowerEfficiency, {"Air power efficiency", 0, 0, 1, false, true, 0.8}},
    {Q::MaxFans, {"Number of fan types", 0, 10, 1000, true, false, 250}},
    {Q::SurfacePressureRL, {"RL at surface pressure", Quantity::Length, -1e7, 1e7, false, true, 99999}},
    {Q::AutosaveMinutes, {"Autosave minutes", 0, 0, 10, true, false, 0}},
    {Q::PresetIndex, {"Preset type", 0, 0, TypedPreset, true, false, 0}},
    {Q::ShownFlow, {"Significant flow", Quantity::Airflow, 0, 10000, false, false, 0}},
    {Q::ExportSize, {"Size", 0, -32768, 32767, true, false, 0}},

    // ---- Typed at a door ----
    {Q::Section, {"Size", Quantity::Length, 0, Single, false, true, 1}},
    {Q::SectionArea, {"Area", Quantity::Area, 0, Single, false, true, 1}},
    {Q::FixedResistance, {"Fixed resistance", Quantity::Resistance, 0, Single, false, true, 0}},
    {Q::FixedFrictionFactor, {"Friction factor", Quantity::FrictionFactor, 0, Single, false, true, 0}},
};

// A number as messages show it: a single's seven digits where it fits one.
std::string shown(double v) {
    return std::fabs(v) <= FLT_MAX ? NumberText(static_cast<float>(v)) : NumberText(v);
}

double displayed(double si, int unit) {
    if (unit == 0 || !UnitFactor.InBounds(unit, 2))
        return si;
    return si * UnitFactor(unit, UnitSystem == 2 ? 2 : 1);
}

template <typename T> void hold(Value quantity, T &setting) {
    setting = static_cast<T>(Nearest(quantity, static_cast<double>(setting)));
}

// A setting of 0 is not set: its usual value is given where it is used.
template <typename T> void holdSet(Value quantity, T &setting) {
    if (setting != 0)
        hold(quantity, setting);
}

void holdPresets(Value quantity, VBArray<float> &values) {
    for (int i = values.LBound(); i <= values.UBound(); ++i)
        hold(quantity, values(i));
}

void require(Value quantity, double value) {
    if (!InRange(quantity, value))
        throw ValueRefused(quantity);
}

} // namespace

namespace {

// Each quantity's place in the table, so that a reader checking every field of every record finds its rule
// at once; a quantity the table lacks takes the first rule.
constexpr std::size_t RuleSlots = [] {
    std::size_t most = 0;
    for (const Entry &e : Rules)
        most = std::max(most, static_cast<std::size_t>(e.quantity));
    return most + 1;
}();
constexpr std::array<std::size_t, RuleSlots> RulePlace = [] {
    std::array<std::size_t, RuleSlots> place{};
    for (std::size_t i = std::size(Rules); i-- > 0;)
        place[static_cast<std::size_t>(Rules[i].quantity)] = i;
    return place;
}();

} // namespace

const ValueRule &RuleOf(Value quantity) {
    const auto slot = static_cast<std::size_t>(quantity);
    return Rules[slot < RuleSlots ? RulePlace[slot] : 0].rule;
}

bool InRange(Value quantity, double value) {
    const ValueRule &r = RuleOf(quantity);
    if (!std::isfinite(value) || value > r.high || value < r.low || (r.lowOpen && value == r.low))
        return false;
    return !r.whole || value == std::trunc(value);
}

double Nearest(Value quantity, double value) {
    const ValueRule &r = RuleOf(quantity);
    if (std::isnan(value) || (r.lowOpen && value <= r.low))
        return r.usual;
    const double held = std::fmin(std::fmax(value, r.low), r.high);
    return r.whole ? std::nearbyint(held) : held;
}

std::string RangeText(Value quantity) {
    const ValueRule &r = RuleOf(quantity);
    std::string text = r.name;
    text += r.whole ? " must be a whole number" : " must be a number";
    text += r.lowOpen ? " above " : " from ";
    text += shown(displayed(r.low, r.unit));
    text += r.lowOpen ? " up to " : " to ";
    text += shown(displayed(r.high, r.unit));
    if (r.unit != 0) {
        text += ' ';
        text += UnitName(r.unit);
    }
    return text;
}

ValueRefused::ValueRefused(Value quantity) : VBError(VBErr::InvalidPropertyValue, RangeText(quantity)) {}

double Checked(Value quantity, double value) {
    require(quantity, value);
    return value;
}

// ---- Typed at a door ----

float CheckedSingle(Value quantity, double value) {
    if (!(std::fabs(value) <= FLT_MAX))
        throw ValueRefused(quantity);
    const auto kept = static_cast<float>(value);
    require(quantity, kept);
    return kept;
}

float TypedValue(Value quantity, std::string_view text, int unit) {
    double typed = 0;
    try {
        typed = StrictValue(text);
    } catch (const VBError &) {
        throw ValueRefused(quantity);
    }
    if (!(std::fabs(typed) <= FLT_MAX))
        throw ValueRefused(quantity);
    // A count is whole as typed: 1e-46 of a fan is a fraction, though its single is 0.
    if (RuleOf(quantity).whole && typed != std::trunc(typed))
        throw ValueRefused(quantity);
    auto shown = static_cast<float>(typed);
    return CheckedSingle(quantity, unit == 0 ? shown : FromDisplayUnits(shown, unit));
}

void HoldSettingsInRange() {
    hold(Q::UnitSystem, UnitSystem);
    hold(Q::MinNodeSpacing, MinNodeSpacing);
    hold(Q::PickDivisor, PickDivisor);
    hold(Q::PowerZoomSpeed, PowerZoomSpeed);
    holdSet(Q::RotationSpeed, TiltSpeed);
    holdSet(Q::RotationSpeed, SpinSpeed);
    hold(Q::GridSpacing, GridSpacing);
    holdSet(Q::ScaleWidth, DefaultScaleWidth);
    hold(Q::GridCentre, DefaultCentreX);
    hold(Q::GridCentre, DefaultCentreY);
    hold(Q::MaxIterations, MaxIterations);
    hold(Q::MaxError, MaxError);
    hold(Q::AirDensity, AirDensity);
    hold(Q::SurfacePressure, SurfacePressure);
    hold(Q::PowerCost, PowerCost);
    hold(Q::PowerEfficiency, AirPowerEfficiency);
    hold(Q::MaxFans, MaxFans);
    hold(Q::SurfacePressureRL, SurfacePressureRL);
    hold(Q::AutosaveMinutes, AutosaveMinutes);
    for (int *type : {&DefaultDriveWallType, &DefaultRaiseWallType})
        hold(Q::PresetIndex, *type);
    hold(Q::PresetIndex, DefaultShockLength);
    for (float *size : {&DefaultDriveHeight, &DefaultDriveWidth, &DefaultRaiseDiameter, &DefaultPerimeter})
        hold(Q::Size, *size);
    hold(Q::Area, DefaultArea);
    hold(Q::CurvePercent, DefaultCurvePercent);
    hold(Q::ShownFlow, MinShownFlow);
    hold(Q::ShownFlow, MaxShownFlow);
    holdPresets(Q::FrictionFactor, WallTypeFactor);
    holdPresets(Q::ShockLength, ShockTypeLength);
    holdPresets(Q::Resistance, ResistanceTypeValue);
    HoldUnitFactorsInRange();
}

void HoldUnitFactorsInRange() {
    for (int q = 1; q <= 15 && UnitFactor.InBounds(q, 2); ++q)
        hold(Q::UnitFactor, UnitFactor(q, 2));
}

void CheckAirwayRecord(int a) {
    const bool irregular = (AirwayFlags(a) & AirwayFlag::Irregular) != 0;
    require(Q::Size, AirwaySize(1, a));
    require(irregular ? Q::Area : Q::Size, AirwaySize(2, a));
    require(Q::FrictionFactor, AirwayFrictionFactor(a));
    require(Q::ShockLength, AirwayShockLength(a));
    require(Q::Length, AirwayLength(a));
    require(Q::Contaminant, AirwayContaminant(a));
    hold(Q::ParallelCount, AirwayParallelCount(a));
    hold(Q::FanCount, AirwayFanCount(a));
    hold(Q::CurvePercent, AirwayCurvePercent(a));
}

bool FanInRange(int f) {
    if (!InRange(Q::FanDiameter, FanDiameter(f)))
        return false;
    for (int p = 1; p <= 10; ++p)
        if (!InRange(Q::FanFlow, FanCurveFlow(p, f)) || !InRange(Q::FanPressure, FanCurvePressure(1, p, f)) ||
            !InRange(Q::FanPressure, FanCurvePressure(2, p, f)) ||
            !InRange(Q::FanEfficiency, FanCurveEfficiency(p, f)))
            return false;
    return true;
}

// ---- Positions read from files: airway ends, floating texts, levels ----

bool PointInRange(double x, double y, double z) {
    return InRange(Q::PlanCoordinate, x) && InRange(Q::PlanCoordinate, y) && InRange(Q::Elevation, z);
}

void CheckAirwayEnds(int a) {
    for (const VBArray<int32_t, 2> *end : {&AirwayStart, &AirwayEnd}) {
        require(Q::PlanCoordinate, (*end)(1, a));
        require(Q::PlanCoordinate, (*end)(2, a));
        require(Q::Elevation, (*end)(3, a));
    }
}

bool LevelInRange(double high, double low) {
    return InRange(Q::Elevation, high) && InRange(Q::Elevation, low);
}
