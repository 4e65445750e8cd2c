#pragma once
// Number habits of the program's arithmetic and text conversion, each in one place.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace VB {

// Int: the largest whole number not above x (floor).
double Int(double x);
// Fix: x with its fraction dropped (towards zero).
double Fix(double x);
// CInt/CLng: nearest whole number, halves to even; out of range or NaN gives std::nullopt.
std::optional<int16_t> CInt(double x);
std::optional<int32_t> CLng(double x);
// Nearest whole number, halves to even, as a double (no range check).
double RoundHalfEven(double x);

// The one checked float-to-integer conversion: NaN becomes fallback, values beyond the type's range clamp.
template <typename I> I ClampToInt(double x, I fallback = 0);

// Lenient conversion: the leading number of the text; blanks skipped, "." as decimal point (and the
// extra mark given, for example the locale's ","), exponent allowed, nothing numeric gives 0.
double Val(std::string_view text, char extraDecimalMark = '.');

// Strict conversion: the whole text must be a number, blanks around it allowed; empty or garbage fails.
// Accepts " .05 ", " 1E+09 ", "-3", and the extra decimal mark when given.
std::optional<double> StrictNumber(std::string_view text, char extraDecimalMark = '.');

// Str: the number in general form (7 significant digits for a single, 15 for a double, exponent as
// "1E+09"), no zero before the decimal point (" .05"), and a blank before a non-negative number.
std::string Str(double x);
std::string StrSingle(float x);
// CStr: the same general form without the blank and with the zero before the decimal point ("0.05").
std::string CStr(double x);
std::string CStrSingle(float x);

} // namespace VB

template <typename I> I VB::ClampToInt(double x, I fallback) {
    if (x != x)
        return fallback;
    constexpr double lo = static_cast<double>(std::numeric_limits<I>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<I>::max());
    if (x <= lo)
        return std::numeric_limits<I>::min();
    if (x >= hi)
        return std::numeric_limits<I>::max();
    return static_cast<I>(x);
}
