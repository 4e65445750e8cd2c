#pragma once
// One range rule per quantity. Every value that enters the model passes the rule of its quantity, whether
// it is typed, pasted, imported or read from a file: finite, within the range of the type that holds it, not
// negative where the quantity cannot be, whole where it counts, within its table where it is an index. A
// typed, pasted or imported value outside its rule is refused (the door says so and changes nothing); an
// airway record or a fan of a file with such a value is damaged; a setting read is held to its range.
#include "platform/VBError.h"

#include <string>
#include <string_view>

// m³/s: no airway of a mine carries more. The solver balances fixed quantities up to it; a stored flow beyond
// it is noise from an earlier failure, and a run whose flows pass it has run away.
constexpr double SolverFlowLimit = 9994;

enum class Value {
    // Airways
    Resistance,     // Ns²/m⁸
    FrictionFactor, // kg/m³
    ShockLength,    // m
    Length,         // m
    Size,           // height, width, diameter or perimeter, m
    Area,           // m²
    FixedFlow,      // m³/s, the fixed quantity a user gives (the solver's own limit)
    Flow,           // m³/s, as a run leaves it
    Pressure,       // Pa, fixed or as a run leaves it
    Contaminant,    // source concentration
    ParallelCount,
    FanCount,
    CurvePercent,
    PlanCoordinate, // m, X and Y
    Elevation,      // m, Z and RL
    ShockCount,     // fittings counted by the shock calculator
    // Fans
    FanDiameter,   // m
    FanFlow,       // m³/s
    FanPressure,   // Pa
    FanEfficiency, // percent
    // Units
    UnitFactor, // display value per SI value
    UnitSystem,
    // Settings
    MinNodeSpacing,
    PickTolerance, // percent of the window, as typed
    PickDivisor,   // window width per pick tolerance, as kept
    PowerZoomSpeed,
    RotationSpeed,
    GridSpacing, // m
    ScaleWidth,  // m
    GridCentre,  // m
    MaxIterations,
    MaxError,        // m³/s
    AirDensity,      // kg/m³
    SurfacePressure, // kPa
    PowerCost,       // per kWh
    PowerEfficiency, // fraction
    MaxFans,
    SurfacePressureRL, // m
    AutosaveMinutes,
    PresetIndex, // a wall, shock or resistance type: presets 0..49, 50 typed
    ShownFlow,   // m³/s, the significant flows of the view options
    ExportSize,  // a text or symbol size of a DXF export, drawing units

    // ---- Typed at a door ----
    // A cross-section typed in a dialog, cell or settings box has a size: 0 is refused at every door, not
    // held to a token size nor stored as none. Only a round airway's unused height is 0, and no door reads
    // it.
    Section,     // width, height, diameter or perimeter, m
    SectionArea, // m²
    // A fixed resistance or friction factor typed as the airway's own value: 0 would be none.
    FixedResistance,     // Ns²/m⁸
    FixedFrictionFactor, // kg/m³
};

struct ValueRule {
    const char *name; // the quantity as messages name it
    int unit;         // unit row its values are shown in; 0 none
    double low, high; // SI
    bool whole;       // counts, codes and indexes
    bool lowOpen;     // `low` itself lies outside
    double usual;     // what a setting read below an open bound, or not a number, becomes
};

const ValueRule &RuleOf(Value quantity);
// Whether an SI value lies within its quantity's rule.
bool InRange(Value quantity, double value);
// The nearest value the rule allows (whole numbers rounded); `usual` below an open bound and for NaN.
double Nearest(Value quantity, double value);
// The rule in words, in the current display units: "Resistance must be a number from 0 to 3.402823E+38
// Ns2/m8".
std::string RangeText(Value quantity);

// A value refused by its rule; what() is the rule in words.
struct ValueRefused : VBError {
    explicit ValueRefused(Value quantity);
};
// The value, or ValueRefused when the rule refuses it.
double Checked(Value quantity, double value);

// ---- Typed at a door ----
// A typed text as the value it stores: the whole text a number, in display units of `unit` (0 none),
// converted to SI and held as the single that keeps it, within the rule (1e-46 is 0 there, 1e39 none).
// ValueRefused for any other text.
float TypedValue(Value quantity, std::string_view text, int unit);
// A value as the single that will keep it, or ValueRefused.
float CheckedSingle(Value quantity, double value);

// Holds every setting, preset value and unit factor read from a file to the nearest value of its range.
void HoldSettingsInRange();
// Holds the British unit factors to their range.
void HoldUnitFactorsInRange();
// VBError when a measured field of airway slot a lies outside its rule (a damaged record); the percentage
// of the fan curve and the counts, which older programs wrote freely, are held to theirs. A resistance and
// a fixed quantity are kept as read: the network checks report what a run cannot use.
void CheckAirwayRecord(int a);
// Whether every value of fan f lies within its rule.
bool FanInRange(int f);

// ---- Positions read from files: airway ends, floating texts, levels ----
// Positions are whole metres in 32-bit arrays. X and Y keep to the plan-coordinate rule and Z and every RL to
// the elevation rule: both lie inside ±2^24 m, where a single (the projection and the geometry work in
// singles) still holds every whole metre exactly, so ends that differ stay apart on the screen and in the
// lengths, and the difference of two ends can never overflow the arrays. The node keys fold any such value.

// Whether a point in whole metres lies within its rules.
bool PointInRange(double x, double y, double z);
// VBError, the rule in words, when an end of airway slot a lies outside them (a damaged record).
void CheckAirwayEnds(int a);
// Whether a level's RL High and RL Low, in whole metres, lie within the elevation rule.
bool LevelInRange(double high, double low);
