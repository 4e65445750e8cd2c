#pragma once
// Unit tables and value formatting: every value is held in SI units and converted only for display
// and entry. Quantities (rows of UnitFactor and UnitText): 1 length, 2 velocity, 3 area, 4 airflow,
// 5 resistance, 6 density, 7 power, 8 pressure, 9 mass, 10 friction factor, 11 cost, 12 time,
// 13 absolute pressure, 14 coordinates, 15 percent.
#include <string>
#include <string_view>

// Rows of the unit tables.
namespace Quantity {
constexpr int Length = 1, Velocity = 2, Area = 3, Airflow = 4, Resistance = 5, Density = 6, Power = 7,
              Pressure = 8, Mass = 9, FrictionFactor = 10, Cost = 11, Time = 12, AbsolutePressure = 13,
              Coordinates = 14, Percent = 15;
} // namespace Quantity

// The built-in table: SI factors 1, British factors, unit names and number formats of rows 1..15.
void SetBuiltInUnits();
// The British factor of a quantity in the built-in table.
float BuiltInBritishFactor(int quantity);

// The unit name of a quantity in the current unit system ("m", "ft", ...).
std::string UnitName(int quantity);

// The unit row of a display data code (group × 10 + item); 0 for a code without a unit.
int DataUnitRow(int dataCode);
// The unit label of a display data code in the current unit system; empty for a code without a unit.
std::string DataUnitName(int dataCode);

// SI value to the display value of the current unit system.
float ToDisplayUnits(float value, int quantity);
// Display value to SI. A value of exactly 0 gives 0 and sets the argument to 0.
float FromDisplayUnits(float &value, int quantity);

// Formats a number with a pattern: "0" a digit always shown, "#" a digit shown when significant,
// "." the decimal point, "," thousands grouping, "hh", "mm", "ss" hours, minutes and seconds of a value
// in days, "\x" and "..." literal, up to three sections "positive;negative;zero"; any other character is
// literal text ("$", " %"). `significantDigits` is 7 for singles and 15 for doubles. An empty pattern
// gives the general number form.
std::string FormatPattern(double value, std::string_view pattern, int significantDigits = 15);

// A single as it shows with `decimals` decimals, read back: its 7 significant digits rounded to them, so a
// value is never cut below the decimal it stands for (0.0002 is held as 0.000199999995).
float ShownValue(float value, int decimals);

// The display text of an SI value: formatted with the quantity's format of the current unit system, or
// with "0.0########" when precision is not 0; withUnit adds the unit (in front for cost).
std::string FormatValue(float value, int quantity, int withUnit, int precision);

// The short text shown beside airway `airway` for display data code `dataCode` (group × 10 + item),
// with the prefixes of fans, fixed pressure, fixed flow and parallel airways. May set ResistanceLabel.
std::string AirwayDataText(int dataCode, int airway, int withUnits);
