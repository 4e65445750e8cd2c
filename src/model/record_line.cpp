#include "model/record_line.h"

#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/text_files.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <algorithm>

namespace {

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 32 || u == 127;
}

// The text without blanks at either end and without control characters, stored back into the slot.
template <std::size_t N> std::string_view storeTrimmed(FixedString<N> &stored) {
    const std::string &padded = stored.str();
    const auto last = padded.find_last_not_of(' ');
    if (last == std::string::npos)
        return {};
    // Most names are already clean and start without a blank: the slot then stays as it is.
    const std::string_view used = std::string_view(padded).substr(0, last + 1);
    if (used.front() != ' ' && std::none_of(used.begin(), used.end(), isControl))
        return used;
    std::string text(used);
    ReplaceControlCharacters(text);
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        text.clear();
    else
        text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    stored = text;
    return std::string_view(stored.str()).substr(0, text.size());
}

template <std::size_t N> void storeText(FixedString<N> &stored, const std::string &field) {
    if (std::none_of(field.begin(), field.end(), isControl)) {
        stored = field;
        return;
    }
    std::string text = field;
    ReplaceControlCharacters(text);
    stored = text;
}

void tab(std::string &line) {
    line += '\t';
}

} // namespace

std::string AirwayHeadingLine(char separator) {
    static constexpr const char *Names[37] = {"Entry Node",
                                              "Exit Node",
                                              "Branch Name",
                                              "Blank",
                                              "Blank",
                                              "X1",
                                              "Y1",
                                              "Z1",
                                              "X2",
                                              "Y2",
                                              "Z2",
                                              "Height",
                                              "Width",
                                              "Branch Code",
                                              "Res Type",
                                              "Shock Type",
                                              "Wall Type",
                                              "Wall Factor",
                                              "Shock Factor",
                                              "Comment",
                                              "Resistance",
                                              "Quantity",
                                              "Fan Number",
                                              "No of Fans",
                                              "Length",
                                              "Pressure",
                                              "Contaminant",
                                              "Primary Layer",
                                              "Second Layer",
                                              "From Node P",
                                              "To Node P",
                                              "Undo No",
                                              "Airway No",
                                              "Icon Loc",
                                              "Remote Station",
                                              "No Airways",
                                              "Curve Fraction"};
    std::string line;
    for (const char *name : Names) {
        if (!line.empty())
            line += separator;
        line += name;
    }
    return line;
}

std::string &AirwayLine(std::string &line, int a, bool undoStamp) {
    return AirwayLine(line, a, undoStamp, VB::LocaleDecimalSeparator());
}

std::string &AirwayLine(std::string &line, int a, bool undoStamp, char sep) {
    line.clear();
    line += storeTrimmed(AirwayStartName(a));
    tab(line);
    line += storeTrimmed(AirwayEndName(a));
    tab(line);
    line += storeTrimmed(AirwayName(a));
    line += "\t\t\t";
    for (int c = 1; c <= 3; ++c) {
        AppendNumberText(line, AirwayStart(c, a));
        tab(line);
    }
    for (int c = 1; c <= 3; ++c) {
        AppendNumberText(line, AirwayEnd(c, a));
        tab(line);
    }
    auto single = [&](float x) {
        AppendNumberText(line, x, sep);
        tab(line);
    };
    auto whole = [&](int32_t x) {
        AppendNumberText(line, x);
        tab(line);
    };
    single(AirwaySize(1, a));
    single(AirwaySize(2, a));
    whole(AirwayFlags(a));
    whole(AirwayResistanceType(a));
    whole(AirwayShockType(a));
    whole(AirwayWallType(a));
    single(AirwayFrictionFactor(a));
    single(AirwayShockLength(a));
    line += storeTrimmed(AirwayComment(a));
    tab(line);
    single(AirwayResistance(a));
    single(AirwayFlow(a));
    whole(AirwayFan(a));
    whole(AirwayFanCount(a));
    single(AirwayLength(a));
    single(AirwayPressure(a));
    single(AirwayContaminant(a));
    whole(AirwayPrimaryLayer(a));
    whole(AirwaySecondaryLayer(a));
    single(AirwayStartPressure(a));
    single(AirwayEndPressure(a));
    whole(undoStamp ? AirwayUndoStamp(a) : 0);
    whole(AirwayNumber(a));
    single(AirwayIconPosition(a));
    whole(AirwayStation(a));
    whole(AirwayParallelCount(a));
    whole(AirwayCurvePercent(a));
    whole(AirwaySmoke(1, a));
    whole(AirwaySmoke(2, a));
    return line;
}

std::string AirwayLine(int airway) {
    std::string line;
    line.reserve(256);
    return AirwayLine(line, airway);
}

void AirwayFromRecord(std::string_view line, int a, float version) {
    if (a > MaxAirways) {
        VB::MsgBox("Insufficient memory for undo function - please increase file size in defaults",
                   VB::vbOKOnly);
        AirwayCount = MaxAirways;
        return;
    }
    if (a < 0)
        throw VBError(VBErr::SubscriptOutOfRange, "subscript out of range");
    SplitFields(version, line, LineFields);
    const VBArray<std::string> &f = LineFields;
    auto strict = [&](int n) { return StrictValue(f(n)); };
    auto lenient = [&](int n) { return LenientValue(f(n)); };
    auto present = [&](int n) { return !f(n).empty(); };

    storeText(AirwayStartName(a), f(1));
    storeText(AirwayEndName(a), f(2));
    storeText(AirwayName(a), f(3));
    AirwayStartKey(a) = VB::ClampToInt<Currency>(VB::RoundHalfEven(lenient(4) * CurrencyScale));
    AirwayEndKey(a) = VB::ClampToInt<Currency>(VB::RoundHalfEven(lenient(5) * CurrencyScale));
    for (int c = 1; c <= 3; ++c)
        AirwayStart(c, a) = StrictLong(strict(5 + c));
    for (int c = 1; c <= 3; ++c)
        AirwayEnd(c, a) = StrictLong(strict(8 + c));
    AirwaySize(1, a) = StrictSingle(strict(12));
    AirwaySize(2, a) = StrictSingle(strict(13));
    AirwayFlags(a) = OneShape(LenientLong(lenient(14)));
    AirwayResistanceType(a) = LenientInteger(lenient(15));
    // Files up to 2.0 marked a typed resistance with 10.
    if (AirwayResistanceType(a) == 10 && version <= 2.0f)
        AirwayResistanceType(a) = TypedPreset;
    AirwayShockType(a) = LenientInteger(lenient(16));
    AirwayWallType(a) = LenientInteger(lenient(17));
    AirwayFrictionFactor(a) = StrictSingle(strict(18));
    // Files before 2.9 marked a typed friction factor with 10 and a typed shock length with 6.
    if (AirwayWallType(a) == 10 && version < 2.9f)
        AirwayWallType(a) = TypedPreset;
    if (AirwayShockType(a) == 6 && version < 2.9f)
        AirwayShockType(a) = TypedPreset;
    AirwayShockLength(a) = StrictSingle(strict(19));
    storeText(AirwayComment(a), f(20));
    AirwayResistance(a) = StrictSingle(strict(21));
    AirwayFlow(a) = StrictSingle(strict(22));
    AirwayFan(a) = LenientInteger(lenient(23));
    AirwayFanCount(a) = LenientInteger(lenient(24));
    AirwayLength(a) = StrictSingle(strict(25));
    if (present(26))
        AirwayPressure(a) = StrictSingle(strict(26));
    if (present(27))
        AirwayContaminant(a) = StrictSingle(strict(27));
    if (present(28))
        AirwayPrimaryLayer(a) = LenientInteger(lenient(28));
    if (present(29))
        AirwaySecondaryLayer(a) = LenientInteger(lenient(29));
    if (present(30))
        AirwayStartPressure(a) = StrictSingle(strict(30));
    if (present(31))
        AirwayEndPressure(a) = StrictSingle(strict(31));
    AirwayUndoStamp(a) = LenientLong(lenient(32));
    AirwayNumber(a) = LenientLong(lenient(33));
    AirwayIconPosition(a) = LenientSingle(lenient(34));
    AirwayStation(a) = LenientInteger(lenient(35));
    AirwayParallelCount(a) = LenientInteger(lenient(36));
    AirwayCurvePercent(a) = LenientInteger(lenient(37));
    AirwaySmoke(1, a) = LenientInteger(lenient(38));
    AirwaySmoke(2, a) = LenientInteger(lenient(39));
}
