#include "model/units.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "platform/System.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {

// Before any settings are read the unit system is 0, which has no table: show SI values then.
int currentSystem() {
    return UnitSystem == 2 ? 2 : 1;
}

float factorOf(int quantity) {
    if (!UnitFactor.InBounds(quantity, 0))
        return 1;
    return UnitFactor(quantity, currentSystem());
}

// ---- Pattern formatting ----

// Splits a pattern into its sections at ";" outside quotes and escapes.
std::vector<std::string_view> sectionsOf(std::string_view pattern) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\\' && !quoted)
            ++i;
        else if (c == ';' && !quoted) {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

bool isTimeLetter(char c) {
    const char l = static_cast<char>(c | 0x20);
    return l == 'h' || l == 'm' || l == 'n' || l == 's';
}

// One element of a pattern: a digit placeholder, a point, a comma, a time field or literal text.
struct Token {
    enum Kind { Zero, Hash, Point, Comma, Hours, Minutes, Seconds, Literal } kind;
    std::string text; // literal text; for time fields "2" when two digits are asked for
};

std::vector<Token> tokensOf(std::string_view pattern, bool &isTime) {
    std::vector<Token> tokens;
    isTime = false;
    auto literal = [&](std::string_view s) {
        if (!tokens.empty() && tokens.back().kind == Token::Literal)
            tokens.back().text += s;
        else
            tokens.push_back({Token::Literal, std::string(s)});
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '"') {
            const std::size_t end = pattern.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? pattern.size() : end;
            literal(pattern.substr(i + 1, stop - i - 1));
            i = stop;
        } else if (c == '\\') {
            if (i + 1 < pattern.size())
                literal(pattern.substr(++i, 1));
        } else if (c == '0') {
            tokens.push_back({Token::Zero, {}});
        } else if (c == '#') {
            tokens.push_back({Token::Hash, {}});
        } else if (c == '.') {
            tokens.push_back({Token::Point, {}});
        } else if (c == ',') {
            tokens.push_back({Token::Comma, {}});
        } else if (isTimeLetter(c)) {
            isTime = true;
            const char l = static_cast<char>(c | 0x20);
            const bool two = i + 1 < pattern.size() && static_cast<char>(pattern[i + 1] | 0x20) == l;
            if (two)
                ++i;
            const Token::Kind kind = l == 'h' ? Token::Hours : (l == 's' ? Token::Seconds : Token::Minutes);
            tokens.push_back({kind, two ? "2" : "1"});
        } else {
            literal(pattern.substr(i, 1));
        }
    }
    return tokens;
}

// The decimal digits of a non-negative value with `significant` digits: value = 0.digits × 10^point.
void decimalDigits(double value, int significant, std::string &digits, int &point) {
    digits.clear();
    point = 0;
    if (value == 0)
        return;
    // Most singles give their digits without printf, which labels and files would otherwise wait on.
    const float single = static_cast<float>(value);
    DecimalDigits quick;
    if (significant == 7 && static_cast<double>(single) == value && QuickSingleDigits(single, quick)) {
        digits.assign(quick.digits, static_cast<std::size_t>(quick.count));
        point = quick.exponent + 1;
        return;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    point = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

// Rounds the digits to `decimals` places after the point, halves away from zero.
void roundDigits(std::string &digits, int &point, int decimals) {
    const int keep = point + decimals;
    if (keep >= static_cast<int>(digits.size()))
        return;
    if (keep < 0) {
        // Too small to reach the last place: the value rounds to zero.
        digits.clear();
        point = 0;
        return;
    }
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
            } else {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        point = 0;
}

// The shape of a number's section: where its placeholders lie among the tokens, the digits it shows before
// and after the point, its grouping and the literals inside the number (shown behind it).
struct NumberShape {
    std::size_t first = 0, last = 0;
    int minInteger = 0, minDecimals = 0, maxDecimals = 0;
    bool hasPoint = false, grouping = false;
    std::string inner;
};

NumberShape shapeOf(const std::vector<Token> &tokens) {
    NumberShape shape;
    shape.first = tokens.size();
    for (std::size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Zero || tokens[i].kind == Token::Hash ||
            tokens[i].kind == Token::Point) {
            if (shape.first == tokens.size())
                shape.first = i;
            shape.last = i;
        }
    bool afterPoint = false;
    for (std::size_t i = shape.first; i < tokens.size() && i <= shape.last; ++i) {
        switch (tokens[i].kind) {
        case Token::Zero:
            if (afterPoint)
                shape.minDecimals = ++shape.maxDecimals;
            else
                ++shape.minInteger;
            break;
        case Token::Hash:
            if (afterPoint)
                ++shape.maxDecimals;
            break;
        case Token::Point:
            if (!shape.hasPoint)
                shape.hasPoint = afterPoint = true;
            break;
        case Token::Comma:
            if (!afterPoint)
                shape.grouping = true;
            break;
        default:
            shape.inner += tokens[i].text;
            break;
        }
    }
    return shape;
}

std::string formatNumber(double value, const std::vector<Token> &tokens, const NumberShape &shape,
                         int significant, bool withSign) {
    const char decimalMark = VB::LocaleDecimalSeparator();
    const char groupMark = decimalMark == ',' ? '.' : ',';
    const std::size_t first = shape.first, last = shape.last;
    const int minInteger = shape.minInteger, minDecimals = shape.minDecimals, maxDecimals = shape.maxDecimals;
    const bool hasPoint = shape.hasPoint, grouping = shape.grouping;
    const std::string &inner = shape.inner;
    std::string digits;
    int point = 0;
    decimalDigits(std::fabs(value), significant, digits, point);
    roundDigits(digits, point, maxDecimals);

    std::string integer;
    if (point > 0) {
        integer = digits.substr(0, std::min<std::size_t>(digits.size(), static_cast<std::size_t>(point)));
        integer.append(static_cast<std::size_t>(point) - integer.size(), '0');
    }
    if (static_cast<int>(integer.size()) < minInteger)
        integer.insert(0, static_cast<std::size_t>(minInteger) - integer.size(), '0');
    std::string fraction;
    if (point < 0)
        fraction.assign(static_cast<std::size_t>(-point), '0');
    if (static_cast<int>(digits.size()) > point)
        fraction += digits.substr(static_cast<std::size_t>(std::max(point, 0)));
    if (static_cast<int>(fraction.size()) < minDecimals)
        fraction.append(static_cast<std::size_t>(minDecimals) - fraction.size(), '0');
    if (grouping && integer.size() > 3) {
        std::string grouped;
        // A mark before every third digit counted from the right.
        for (std::size_t i = 0; i < integer.size(); ++i) {
            if (i > 0 && (integer.size() - i) % 3 == 0)
                grouped += groupMark;
            grouped += integer[i];
        }
        integer = grouped;
    }

    std::string out;
    // The sign leads the whole text, and a value that rounds to zero has none.
    if (withSign && value < 0 && !digits.empty())
        out += '-';
    for (std::size_t i = 0; i < first && i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Literal)
            out += tokens[i].text;
    if (first < tokens.size()) {
        out += integer;
        if (hasPoint)
            out += decimalMark;
        out += fraction;
        out += inner;
    }
    for (std::size_t i = first < tokens.size() ? last + 1 : tokens.size(); i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Literal)
            out += tokens[i].text;
    return out;
}

// A value in days as hours, minutes and seconds. Hours count on beyond a day.
std::string formatTime(double days, const std::vector<Token> &tokens) {
    const double seconds = std::round(std::fabs(days) * 86400.0);
    // No time of day stands for a value beyond every number: it is shown as it is.
    if (!std::isfinite(seconds))
        return NumberText(days);
    const double hours = std::floor(seconds / 3600);
    const int minutes = static_cast<int>(std::fmod(std::floor(seconds / 60), 60));
    const int secs = static_cast<int>(std::fmod(seconds, 60));
    auto field = [](double v, const std::string &width) {
        char buf[32];
        std::snprintf(buf, sizeof buf, width == "2" ? "%02.0f" : "%.0f", v);
        return std::string(buf);
    };
    std::string out = days < 0 && seconds > 0 ? "-" : "";
    for (const auto &t : tokens) {
        switch (t.kind) {
        case Token::Hours:
            out += field(hours, t.text);
            break;
        case Token::Minutes:
            out += field(minutes, t.text);
            break;
        case Token::Seconds:
            out += field(secs, t.text);
            break;
        case Token::Zero:
            out += '0';
            break;
        case Token::Hash:
            break;
        case Token::Point:
            out += '.';
            break;
        case Token::Comma:
            out += ',';
            break;
        case Token::Literal:
            out += t.text;
            break;
        }
    }
    return out;
}

// A section of a pattern as read: its tokens and, for a number, its shape.
struct Section {
    bool empty = true;
    bool isTime = false;
    std::vector<Token> tokens;
    NumberShape shape;
};

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

// The sections of a pattern, each pattern read once: the program shows its values with a few patterns,
// and reading one costs more than the number it formats.
const std::vector<Section> &sectionsRead(std::string_view pattern) {
    static std::unordered_map<std::string, std::vector<Section>, TextHash, std::equal_to<>> read;
    // A drawing's labels ask for one pattern thousands of times in a row.
    static const std::pair<const std::string, std::vector<Section>> *last = nullptr;
    if (last != nullptr && last->first == pattern)
        return last->second;
    if (const auto found = read.find(pattern); found != read.end()) {
        last = &*found;
        return found->second;
    }
    std::vector<Section> sections;
    for (const std::string_view text : sectionsOf(pattern)) {
        Section section;
        section.empty = text.empty();
        section.tokens = tokensOf(text, section.isTime);
        section.shape = shapeOf(section.tokens);
        sections.push_back(std::move(section));
    }
    last = &*read.emplace(std::string(pattern), std::move(sections)).first;
    return last->second;
}

struct UnitRow {
    const char *name;
    float british;
    const char *siUnit;
    const char *britishUnit;
    const char *siFormat;
    const char *britishFormat;
};
// British units of mine ventilation: a resistance in milli-inches of water per (1000 ft³/min)², which is
// in.w.g. per (ft³/min)² × 1e9; a friction factor in lbf·min²/ft⁴ × 1e10; a pressure in milli-inches of
// water (1 in.w.g. = 249.089 Pa); an absolute pressure in inches of mercury (3386.389 Pa).
constexpr UnitRow BuiltInRows[15] = {
    {"Length", 3.28084f, "m", "ft", "0.0", "0.0"},
    {"Velocity", 196.85f, "m/s", "ft/min", "0.0", "0"},
    {"Area", 10.764f, "m2", "ft2", "0.0", "0.0"},
    {"Airflow", 2.1189f, "m3/s", "kcf/m", "0.0", "0.0"},
    {"Resistance", 0.89420f, "Ns2/m8", "Rx1e9", "0.00000", "0.00000"},
    {"Density", 0.062428f, "kg/m3", "lb/ft3", "0.00", "0.0000"},
    {"Power", 1.341f, "kW", "hp", "0", "0"},
    {"Pressure", 4.0146f, "Pa", "m.in.wg", "0.0", "0.0"},
    {"Mass", 2.2046f, "kg", "lb", "0", "0"},
    {"Friction Factor", 5389.8f, "kg/m3", "Kx1e10", "0.00000", "0.0"},
    {"Cost", 1.0f, "$", "$", "0,000", "0,000"},
    {"Time", 1.0f, "h:m:s", "h:m:s", "hh:mm:ss", "hh:mm:ss"},
    {"Absolute Pressure", 0.29530f, "kPa", "in.Hg", "0.00", "0.00"},
    {"Coordinates", 3.28084f, "m", "ft", "0", "0"},
    {"Percent", 1.0f, "%", "%", "0", "0"},
};

} // namespace

float BuiltInBritishFactor(int quantity) {
    return quantity >= 1 && quantity <= 15 ? BuiltInRows[quantity - 1].british : 1.0f;
}

void SetBuiltInUnits() {
    // Headings of the table's columns: the quantity, the British factor, the units and the formats.
    const char *const headings[7] = {"",          "Data Type",     "Factor", "SI Unit", "British Unit",
                                     "SI Format", "British Format"};
    for (int c = 1; c <= 6; ++c)
        UnitText(0, c) = headings[c];
    for (int q = 1; q <= 15; ++q) {
        const UnitRow &r = BuiltInRows[q - 1];
        UnitText(q, 0) = r.name;
        UnitFactor(q, 1) = 1.0f;
        UnitFactor(q, 2) = r.british;
        UnitText(q, 1) = r.siUnit;
        UnitText(q, 2) = r.britishUnit;
        UnitText(q, 3) = r.siFormat;
        UnitText(q, 4) = r.britishFormat;
    }
}

float ToDisplayUnits(float value, int quantity) {
    return value * factorOf(quantity);
}

float FromDisplayUnits(float &value, int quantity) {
    if (value == 0) {
        value = 0;
        return 0;
    }
    const float factor = factorOf(quantity);
    // A zero factor can only come from a damaged unit file: leave the value unconverted.
    if (factor == 0)
        return value;
    return value * (1 / factor);
}

std::string FormatPattern(double value, std::string_view pattern, int significantDigits) {
    const std::vector<Section> &sections = sectionsRead(pattern);
    const Section *section = &sections[0];
    bool withSign = true;
    if (value < 0 && sections.size() >= 2 && !sections[1].empty) {
        section = &sections[1];
        withSign = false;
    } else if (value == 0 && sections.size() >= 3 && !sections[2].empty) {
        section = &sections[2];
    }
    if (section->empty) {
        std::string text;
        if (significantDigits <= 7)
            AppendNumberText(text, static_cast<float>(value), VB::LocaleDecimalSeparator());
        else
            AppendNumberText(text, value, VB::LocaleDecimalSeparator());
        return text;
    }
    if (section->isTime)
        return formatTime(withSign ? value : std::fabs(value), section->tokens);
    return formatNumber(value, section->tokens, section->shape, significantDigits, withSign);
}

float ShownValue(float value, int decimals) {
    std::string digits;
    int point = 0;
    decimalDigits(std::fabs(static_cast<double>(value)), 7, digits, point);
    roundDigits(digits, point, decimals);
    if (digits.empty())
        return 0.0f;
    // The rounded digits' value as the double nearest to them, then the single nearest to that, as reading
    // them back from their text gives it: a whole number of at most 8 digits times an exact power of ten
    // rounds once.
    constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    int64_t whole = 0;
    for (const char c : digits)
        whole = whole * 10 + (c - '0');
    const int exponent = point - static_cast<int>(digits.size());
    double shown = 0;
    if (exponent >= 0 && exponent <= 22)
        shown = static_cast<double>(whole) * powers[exponent];
    else if (exponent < 0 && exponent >= -22)
        shown = static_cast<double>(whole) / powers[-exponent];
    else {
        const std::string text = digits + "e" + std::to_string(exponent);
        std::from_chars(text.data(), text.data() + text.size(), shown);
    }
    return static_cast<float>(value < 0 ? -shown : shown);
}

std::string UnitName(int quantity) {
    return UnitText.InBounds(quantity, 2) ? UnitText(quantity, currentSystem()) : std::string();
}

int DataUnitRow(int dataCode) {
    switch (dataCode) {
    case 12:
        return Quantity::Airflow;
    case 13:
        return Quantity::Velocity;
    case 22:
    case 23:
    case 24:
    case 26:
        return Quantity::Pressure;
    case 25:
        return Quantity::Mass;
    case 27:
    case 28:
        return Quantity::AbsolutePressure;
    case 32:
        return Quantity::Resistance;
    case 33:
    case 35:
    case 36:
        return Quantity::Length;
    case 34:
        return Quantity::FrictionFactor;
    case 37:
        return Quantity::Coordinates;
    case 42:
    case 43:
        return Quantity::Power;
    case 44:
    case 45:
        return Quantity::Cost;
    case 56:
        return Quantity::Time;
    default:
        return 0;
    }
}

std::string DataUnitName(int dataCode) {
    // Row 0 of the unit table holds its column headings, not a unit.
    const int row = DataUnitRow(dataCode);
    return row != 0 ? UnitName(row) : std::string();
}

std::string FormatValue(float value, int quantity, int withUnit, int precision) {
    const bool known = UnitText.InBounds(quantity, 4);
    const int system = currentSystem();
    const float display = value * factorOf(quantity);
    const std::string_view pattern =
        precision != 0 ? "0.0########" : (known ? std::string_view(UnitText(quantity, 2 + system)) : "");
    const std::string text = FormatPattern(display, pattern, 7);
    if (withUnit == 0 || !known)
        return text;
    const std::string &unit = UnitText(quantity, system);
    std::string out = quantity == 11 ? unit : text;
    out += ' ';
    out += quantity == 11 ? text : unit;
    return out;
}
