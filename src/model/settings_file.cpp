#include "model/settings_file.h"

#include "model/Gustrom1.h"
#include "model/comma_values.h"
#include "model/defaults_block.h"
#include "model/geometry.h"
#include "model/levels_views.h"
#include "model/node_keys.h"
#include "model/safe_file.h"
#include "model/text_files.h"
#include "model/units.h"
#include "model/upper_layers.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

std::string defaultsPath() {
    return AppFolder + "Defaults.dat";
}
std::string conversionPath() {
    return AppFolder + "Conversion.dat";
}

constexpr float TabSplitVersion = 3.0f;

// A measured value of the old settings lines; an empty field counts as 0.
float measured(const std::string &field) {
    return field.empty() ? 0.0f : StrictSingle(StrictValue(field));
}
int whole(const std::string &field) {
    return LenientInteger(LenientValue(field));
}

// The fan capacity as the settings dialog allows it; a missing value gives the usual 250.
int fanCapacity(int v) {
    return v == 0 ? 250 : static_cast<int>(Nearest(Value::MaxFans, v));
}

// Booleans of the comma files: #TRUE#, #FALSE#, the words or a number.
bool commaBoolean(const std::string &text) {
    if (text == "#TRUE#")
        return true;
    if (text == "#FALSE#")
        return false;
    return BooleanValue(text);
}

// Seven TAB lines: presets 0..10 (resistance 11..50) and one settings line.
void readTabLines(TextFileReader &in, float version) {
    auto next = [&]() {
        CurrentLine = in.LineInput();
        SplitFields(version, CurrentLine, LineFields);
    };
    next();
    for (int i = 0; i <= 10; ++i)
        WallTypeName(i) = LineFields(i + 1);
    next();
    for (int i = 0; i <= 10; ++i)
        WallTypeFactor(i) = measured(LineFields(i + 1));
    next();
    for (int i = 11; i <= 50; ++i)
        ResistanceTypeName(i) = LineFields(i - 10);
    next();
    for (int i = 11; i <= 50; ++i)
        ResistanceTypeValue(i) = measured(LineFields(i - 10));
    ResistanceTypeValue(1) = static_cast<float>(BulkheadResistance);
    next();
    for (int i = 0; i <= 10; ++i)
        ShockTypeName(i) = LineFields(i + 1);
    next();
    for (int i = 0; i <= 10; ++i)
        ShockTypeLength(i) = measured(LineFields(i + 1));
    next();
    const auto &f = LineFields;
    MinNodeSpacing = whole(f(1));
    GridSpacing = measured(f(2));
    PickDivisor = whole(f(3));
    DefaultDriveWallType = whole(f(8));
    DefaultShockLength = measured(f(9));
    DefaultDriveHeight = measured(f(10));
    DefaultDriveWidth = measured(f(11));
    DefaultRaiseDiameter = measured(f(12));
    SurfaceName = f(13);
    MaxIterations = whole(f(14));
    MaxError = measured(f(15));
    PowerCost = measured(f(24));
    AirPowerEfficiency = measured(f(25));
    DefaultRaiseWallType = whole(f(26));
    AirDensity = measured(f(27));
    MaxFans = fanCapacity(whole(f(28)));
    SpinSpeed = measured(f(29));
    TiltSpeed = measured(f(30));
    FullRotation = whole(f(31));
    ColourScheme = whole(f(32));
    AttributeMask = LenientLong(LenientValue(f(33)));
    GraphicsDetail = whole(f(34));
    SurfacePressure = measured(f(35));
    if (!f(36).empty())
        ScreenBuffer = BooleanValue(f(36));
    // The active graphics window takes the picture retention setting.
    SetViewCaption();
}

// The comma format, value by value across lines.
void readCommaValues(TextFileReader &in, float version, bool extendedResistances) {
    CommaValueReader v(in);
    auto number = [&v]() { return static_cast<float>(v.Number()); };
    auto integer = [&v]() { return LenientInteger(v.Number()); };
    for (int i = 0; i <= 10; ++i) {
        WallTypeName(i) = v.Text();
        float factor = number();
        // Friction factors of these files were for a density of 1.2 kg/m³.
        if (version < 2.4f)
            factor = static_cast<float>(VB::RoundHalfEven(factor / 1.2 * 10000) / 10000);
        WallTypeFactor(i) = factor;
    }
    const int lastResistance = extendedResistances ? 49 : 10;
    for (int i = 0; i <= lastResistance; ++i) {
        ResistanceTypeName(i) = v.Text();
        ResistanceTypeValue(i) = number();
    }
    for (int i = 0; i <= 6; ++i) {
        ShockTypeName(i) = v.Text();
        ShockTypeLength(i) = number();
    }
    MinNodeSpacing = integer();
    GridSpacing = number();
    PickDivisor = integer();
    for (int i = 0; i < 4; ++i)
        v.Text();
    DefaultDriveWallType = integer();
    DefaultShockLength = number();
    DefaultDriveHeight = number();
    DefaultDriveWidth = number();
    DefaultRaiseDiameter = number();
    SurfaceName = v.Text();
    MaxIterations = integer();
    MaxError = number();
    for (int i = 0; i < 7; ++i)
        v.Text();
    v.Text();
    PowerCost = number();
    AirPowerEfficiency = number();
    DefaultRaiseWallType = integer();
    AirDensity = number();
    MaxFans = fanCapacity(integer());
    SpinSpeed = number();
    TiltSpeed = number();
    FullRotation = integer();
    ColourScheme = integer();
    AttributeMask = LenientLong(v.Number());
    GraphicsDetail = integer();
    SurfacePressure = number();
    ScreenBuffer = commaBoolean(v.Text());
    v.Text();
    for (int i = 0; i <= 7; ++i)
        ColourTable(i) = LenientLong(v.Number());
    if (!v.AtEnd()) {
        for (int k = 1; k <= 3; ++k)
            FontName(k) = v.Text();
        for (int k = 1; k <= 3; ++k)
            FontBold(k) = commaBoolean(v.Text()) ? -1 : 0;
        for (int k = 1; k <= 3; ++k)
            FontSize(k) = integer();
    }
    // The converted settings are not yet in the file's current form.
    if (version < 2.4f)
        DefaultsSaved = 0;
}

// British factors that earlier files carry wrong (density 0.015 instead of 0.0624 lb/ft³ per kg/m³, pressures
// for water and mercury at another temperature, rounded mass and friction factors): such a row reads with
// the built-in factor; any other factor is the user's and stays.
float mendedFactor(int quantity, float british) {
    constexpr std::pair<int, float> wrong[] = {{5, 0.8953f}, {6, 0.015f},   {8, 4.0186f},
                                               {9, 2.204f},  {10, 5391.0f}, {13, 0.2961f}};
    for (const auto &[q, factor] : wrong)
        if (q == quantity && british == factor)
            return BuiltInBritishFactor(quantity);
    return british;
}

// A decimal format written where the comma is the decimal mark ("0,0", "0,00") reads with ".".
// Grouping formats ("0,000", "#,##0") and time formats are left alone.
std::string normalisedFormat(const std::string &format) {
    if (format.size() < 2 || format[1] != ',')
        return format;
    if (format.find_first_not_of("0#,") != std::string::npos)
        return format;
    if (std::count(format.begin(), format.end(), ',') != 1 || format.size() - 2 == 3)
        return format;
    std::string f = format;
    f[1] = '.';
    return f;
}

// The label sizes (pt, and the zoom scaling) and the symbol sizes and scalings of the settings file as last
// read or written: a new network starts with them, whatever network was open before.
struct LabelSizes {
    int size[5] = {0, 0, 0, 0, 0};
    int scale = 0;
    int iconSize[7] = {0, 0, 0, 0, 0, 0, 0};
    int iconScale[7] = {0, 0, 0, 0, 0, 0, 0};
    bool noted = false;
};
LabelSizes settingsLabels;

void noteLabelSizes() {
    for (int k = 1; k <= 4; ++k)
        settingsLabels.size[k] = FontSize(k);
    settingsLabels.scale = FontScale;
    for (int k = 0; k <= 6; ++k) {
        settingsLabels.iconSize[k] = IconSize(k);
        settingsLabels.iconScale[k] = IconScale(k);
    }
    settingsLabels.noted = true;
}

void readDefaultsFile() {
    try {
        TextFileReader in(defaultsPath());
        std::string first = in.LineInput();
        // The oldest extended files carry a marker line instead of a version.
        const bool marker = first == "GUSTROM2";
        float version = 2.0f;
        if (!marker) {
            CurrentLine = first;
            ReadVersion(first, version);
        }
        FileVersion = version;
        if (version > 2.7f) {
            ReadSettingsBlock(in);
            return;
        }
        if (version < 1.0f)
            return;
        if (version > 2.4f)
            readTabLines(in, version);
        else
            readCommaValues(in, version, marker);
        if (AirDensity == 0)
            AirDensity = 1.2f;
        if (SurfacePressure == 0)
            SurfacePressure = 101;
    } catch (const VBError &) {
        VB::MsgBox("Error re-loading defaults");
    }
}

} // namespace

void LoadDefaults() {
    readDefaultsFile();
    HoldSettingsInRange();
    noteLabelSizes();
}

void UseSettingsLabelSizes() {
    if (!settingsLabels.noted)
        return;
    for (int k = 1; k <= 4; ++k)
        FontSize(k) = settingsLabels.size[k];
    FontScale = settingsLabels.scale;
    for (int k = 0; k <= 6; ++k) {
        IconSize(k) = settingsLabels.iconSize[k];
        IconScale(k) = settingsLabels.iconScale[k];
    }
}

namespace {

// The values of the settings that airway calculations read.
std::vector<float> calculationSettings() {
    std::vector<float> values{AirDensity};
    for (int i = 0; i < TypedPreset; ++i) {
        values.push_back(WallTypeFactor(i));
        values.push_back(ResistanceTypeValue(i));
        values.push_back(ShockTypeLength(i));
    }
    return values;
}

// The highest fan slot that a fan name or an airway refers to.
int highestFanInUse() {
    int highest = 0;
    for (int f = 1; f <= MaxFans; ++f)
        if (!FanName(f).empty())
            highest = f;
    for (int a = 1; a <= AirwayCount; ++a)
        highest = std::max(highest, AirwayFan(a));
    return highest;
}

} // namespace

void ReloadDefaults() {
    const std::vector<float> before = calculationSettings();
    const int fansBefore = MaxFans;
    const int fansInUse = highestFanInUse();
    LoadDefaults();
    // The file's counter may lie below the numbers of the network in hand.
    LiftNextAirwayNumber();
    MaxFans = std::max(MaxFans, fansInUse);
    if (MaxFans != fansBefore)
        ReDimNetworkPreserve();
    if (calculationSettings() != before)
        CalcAllAirways();
}

std::string DefaultsFileReplacement() {
    if (!QFileInfo::exists(ToQt(defaultsPath())))
        return {};
    return "The settings file " + defaultsPath() +
           " holds the settings every new network starts with; it will hold the settings in use now.";
}

bool SaveDefaults() {
    try {
        TextFileWriter out;
        WriteNetworkDefaults(out);
        ReplaceFileContents(defaultsPath(), out.Text());
    } catch (const VBError &) {
        VB::MsgBox("Error saving defaults", VB::vbExclamation);
        return false;
    }
    noteLabelSizes();
    SaveConversion();
    Upper().SaveRemotes();
    return true;
}

void LoadConversion() {
    try {
        TextFileReader in(conversionPath());
        in.LineInput();
        std::string line = in.LineInput();
        SplitFields(TabSplitVersion, line, LineFields);
        for (int c = 1; c <= 6; ++c)
            UnitText(0, c) = Trim(LineFields(c));
        for (int q = 1; q <= 15; ++q) {
            line = in.LineInput();
            SplitFields(TabSplitVersion, line, LineFields);
            const float british = mendedFactor(q, StrictSingle(StrictValue(LineFields(2))));
            UnitFactor(q, 1) = 1.0f;
            UnitFactor(q, 2) = british;
            UnitText(q, 0) = Trim(LineFields(1));
            UnitText(q, 1) = Trim(LineFields(3));
            UnitText(q, 2) = Trim(LineFields(4));
            UnitText(q, 3) = normalisedFormat(Trim(LineFields(5)));
            UnitText(q, 4) = normalisedFormat(Trim(LineFields(6)));
        }
    } catch (const VBError &) {
        VB::MsgBox("Error loading conversion values");
    }
    HoldUnitFactorsInRange();
}

bool SaveConversion() {
    std::string out = "Conversion Table : SI Units to British Units\r\n";
    for (int c = 1; c <= 6; ++c)
        out += UnitText(0, c) + '\t';
    out += "\r\n";
    for (int q = 1; q <= 15; ++q) {
        out += UnitText(q, 0) + '\t';
        AppendNumberText(out, UnitFactor(q, 2), VB::LocaleDecimalSeparator());
        out += '\t';
        for (int c = 1; c <= 4; ++c)
            out += UnitText(q, c) + '\t';
        out += "\r\n";
    }
    out += "End\r\n";
    try {
        ReplaceFileContents(conversionPath(), out);
    } catch (const VBError &) {
        VB::MsgBox("Error saving conversion values");
        return false;
    }
    return true;
}
