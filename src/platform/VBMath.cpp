#include "platform/VBMath.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace VB {

double Int(double x) {
    return std::floor(x);
}
double Fix(double x) {
    return std::trunc(x);
}

double RoundHalfEven(double x) {
    return std::nearbyint(x);
} // default rounding mode is to nearest even

std::optional<int16_t> CInt(double x) {
    if (std::isnan(x))
        return std::nullopt;
    const double r = RoundHalfEven(x);
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> CLng(double x) {
    if (std::isnan(x))
        return std::nullopt;
    const double r = RoundHalfEven(x);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(r);
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Scans a number at text[pos]: sign, digits, one decimal mark, digits, optional exponent.
// Returns the characters consumed (0 when there is no number) and the value.
std::size_t scanNumber(std::string_view text, std::size_t pos, char extraMark, double &value) {
    std::string buf;
    std::size_t i = pos;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        buf += text[i++];
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        buf += text[i++];
        ++digits;
    }
    if (i < text.size() && (text[i] == '.' || text[i] == extraMark)) {
        buf += '.';
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            buf += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exp += text[j++];
        std::size_t expDigits = 0;
        while (j < text.size() && isDigit(text[j])) {
            exp += text[j++];
            ++expDigits;
        }
        if (expDigits > 0) {
            buf += exp;
            i = j;
        }
    }
    value = std::strtod(buf.c_str(), nullptr);
    return i - pos;
}

} // namespace

double Val(std::string_view text, char extraDecimalMark) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    double v = 0.0;
    if (scanNumber(text, i, extraDecimalMark, v) == 0)
        return 0.0;
    return v;
}

std::optional<double> StrictNumber(std::string_view text, char extraDecimalMark) {
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    if (b == e)
        return std::nullopt;
    double v = 0.0;
    const std::size_t used = scanNumber(text.substr(b, e - b), 0, extraDecimalMark, v);
    if (used != e - b)
        return std::nullopt;
    return v;
}

namespace {

// General format with the given significant digits, exponent spelled E+07 / E-05; Str drops the zero
// before the decimal point, CStr keeps it.
std::string shortest(double x, int digits, bool dropLeadingZero) {
    if (x == 0.0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, x);
    std::string s = buf;
    if (!dropLeadingZero)
        return s;
    if (s.size() > 1 && s[0] == '0' && s[1] == '.')
        s.erase(0, 1);
    else if (s.size() > 2 && s[0] == '-' && s[1] == '0' && s[2] == '.')
        s.erase(1, 1);
    return s;
}

} // namespace

std::string CStr(double x) {
    return shortest(x, 15, false);
}
std::string CStrSingle(float x) {
    return shortest(static_cast<double>(x), 7, false);
}
namespace {
std::string blankBefore(double x, std::string text) {
    if (x >= 0)
        text.insert(text.begin(), ' ');
    return text;
}
} // namespace

std::string Str(double x) {
    return blankBefore(x, shortest(x, 15, true));
}
std::string StrSingle(float x) {
    return blankBefore(x, shortest(static_cast<double>(x), 7, true));
}

} // namespace VB
