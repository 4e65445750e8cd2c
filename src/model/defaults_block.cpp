#include "model/defaults_block.h"

#include "model/Gustrom1.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <vector>

namespace {

constexpr int PresetCount = 50; // entries 0..49 of each preset table
constexpr int SettingsFields = 90;
const char *const EndMarker = "**End of Network Defaults**";

// One field of the settings line: how it is printed and how its text is read back.
struct SettingField {
    std::function<void(TextFileWriter &)> write;
    std::function<void(const std::string &)> read;
};

std::string cleanText(std::string text) {
    ReplaceControlCharacters(text);
    return text;
}

SettingField text(std::string &v) {
    return {[&v](TextFileWriter &o) { o.Print(cleanText(v)); },
            [&v](const std::string &f) { v = cleanText(f); }};
}

SettingField strictInteger(int &v) {
    return {[&v](TextFileWriter &o) { o.PrintNumber(static_cast<int32_t>(v)); },
            [&v](const std::string &f) { v = StrictInteger(StrictValue(f)); }};
}

SettingField strictSingle(float &v) {
    return {[&v](TextFileWriter &o) { o.PrintNumber(v); },
            [&v](const std::string &f) { v = StrictSingle(StrictValue(f)); }};
}

SettingField strictDouble(double &v) {
    return {[&v](TextFileWriter &o) { o.PrintNumber(v); },
            [&v](const std::string &f) { v = StrictValue(f); }};
}

// Lenient whole numbers; `zeroBecomes` replaces a 0 read (0 = no replacement).
SettingField lenientInteger(int &v, int zeroBecomes = 0) {
    return {[&v](TextFileWriter &o) { o.PrintNumber(static_cast<int32_t>(v)); },
            [&v, zeroBecomes](const std::string &f) {
                v = LenientInteger(LenientValue(f));
                if (v == 0 && zeroBecomes != 0)
                    v = zeroBecomes;
            }};
}

SettingField lenientLong(int32_t &v) {
    return {[&v](TextFileWriter &o) { o.PrintNumber(v); },
            [&v](const std::string &f) { v = LenientLong(LenientValue(f)); }};
}

SettingField lenientSingle(float &v, float zeroBecomes = 0) {
    return {[&v](TextFileWriter &o) { o.PrintNumber(v); },
            [&v, zeroBecomes](const std::string &f) {
                v = LenientSingle(LenientValue(f));
                if (v == 0 && zeroBecomes != 0)
                    v = zeroBecomes;
            }};
}

SettingField boolean(bool &v) {
    return {[&v](TextFileWriter &o) { o.PrintBoolean(v); },
            [&v](const std::string &f) { v = BooleanValue(f); }};
}

// Written for older readers, read but not applied: the current capacities stay in force.
SettingField notApplied(int32_t &v) {
    return {[&v](TextFileWriter &o) { o.PrintNumber(v); },
            [](const std::string &f) { (void)LenientValue(f); }};
}

const std::vector<SettingField> &settingsLine() {
    static const std::vector<SettingField> fields = [] {
        std::vector<SettingField> f;
        f.push_back(strictInteger(MinNodeSpacing));
        f.push_back(strictDouble(GridSpacing));
        f.push_back(strictInteger(PickDivisor));
        f.push_back(strictInteger(DefaultDriveWallType));
        f.push_back(strictSingle(DefaultShockLength));
        f.push_back(strictSingle(DefaultDriveHeight));
        f.push_back(strictSingle(DefaultDriveWidth));
        f.push_back(strictSingle(DefaultRaiseDiameter));
        f.push_back(text(SurfaceName));
        f.push_back(strictInteger(MaxIterations));
        f.push_back(strictSingle(MaxError));
        f.push_back(notApplied(MaxAirways));
        f.push_back(strictSingle(PowerCost));
        f.push_back(strictSingle(AirPowerEfficiency));
        f.push_back(strictSingle(AirDensity));
        f.push_back(lenientLong(LayerDisplay));
        f.push_back(strictSingle(SpinSpeed));
        f.push_back(strictSingle(TiltSpeed));
        f.push_back(lenientInteger(FullRotation));
        f.push_back(lenientInteger(ColourScheme));
        f.push_back(lenientLong(AttributeMask));
        f.push_back(lenientInteger(GraphicsDetail));
        f.push_back(lenientSingle(SurfacePressureRL));
        f.push_back(lenientInteger(ExportNodeCircleSize));
        f.push_back(lenientInteger(ExportArrowSize));
        f.push_back(lenientInteger(ExportDataSize));
        f.push_back(lenientInteger(ExportAirwaySize));
        f.push_back(lenientInteger(ExportNodeSize));
        f.push_back(lenientInteger(DataDisplayMode));
        f.push_back(lenientInteger(ExportFloatSize));
        f.push_back(boolean(ScreenBuffer));
        f.push_back(lenientInteger(FontScale));
        f.push_back(boolean(PropertyInheritance));
        for (int k = 1; k <= 4; ++k) {
            std::string &name = FontName(k);
            f.push_back({[&name](TextFileWriter &o) { o.Print(cleanText(name)); },
                         [&name](const std::string &field) { name = cleanText(Trim(field)); }});
            f.push_back(lenientInteger(FontBold(k)));
            f.push_back(lenientInteger(FontSize(k)));
        }
        for (const int k : {0, 1, 4, 3, 2, 6, 5}) {
            f.push_back(lenientInteger(IconSize(k)));
            f.push_back(lenientInteger(IconScale(k)));
        }
        for (int i = 0; i <= 7; ++i)
            f.push_back(lenientLong(ColourTable(i)));
        f.push_back(strictSingle(PowerZoomSpeed));
        // The fan capacity stays within what the settings dialog allows.
        f.push_back({[](TextFileWriter &o) { o.PrintNumber(static_cast<int32_t>(MaxFans)); },
                     [](const std::string &field) {
                         const int v = LenientInteger(LenientValue(field));
                         MaxFans = v == 0 ? 250 : static_cast<int>(Nearest(Value::MaxFans, v));
                     }});
        f.push_back({[](TextFileWriter &o) { o.PrintNumber(static_cast<int32_t>(PresetResistanceReplaces)); },
                     [](const std::string &field) {
                         PresetResistanceReplaces =
                             static_cast<uint8_t>(std::clamp(LenientLong(LenientValue(field)), 0, 255));
                     }});
        f.push_back(lenientInteger(UnlimitedSpeed));
        f.push_back(lenientInteger(UnitSystem, 1));
        f.push_back(lenientSingle(PerspectiveDepth, 1500));
        f.push_back(boolean(LayerInheritance));
        f.push_back(lenientSingle(DefaultPerimeter));
        f.push_back(lenientSingle(DefaultArea));
        f.push_back(lenientInteger(UseDefaultArea));
        f.push_back(notApplied(DefaultCurvePercent));
        f.push_back(lenientInteger(RealtimeEnabled));
        f.push_back(lenientLong(NextAirwayNumber));
        f.push_back(boolean(AutoInfo));
        f.push_back(lenientInteger(ScrollZoomOff));
        f.push_back(lenientLong(AutosaveMinutes));
        f.push_back(lenientInteger(SmokeSourceMode));
        f.push_back(lenientInteger(RightClickEditOff));
        f.push_back(lenientSingle(DefaultScaleWidth, 500));
        f.push_back(lenientSingle(DefaultCentreX, 1000));
        f.push_back(lenientSingle(DefaultCentreY, 1000));
        f.push_back(lenientSingle(MinShownFlow));
        f.push_back(lenientSingle(MaxShownFlow, 1000));
        return f;
    }();
    return fields;
}

void writeNames(TextFileWriter &out, const VBArray<std::string> &names) {
    for (int i = 0; i < PresetCount; ++i) {
        out.Print(cleanText(names(i)));
        out.Tab();
    }
    out.EndLine();
}

void writeValues(TextFileWriter &out, const VBArray<float> &values) {
    for (int i = 0; i < PresetCount; ++i) {
        out.PrintNumber(values(i));
        out.Tab();
    }
    out.EndLine();
}

// Runs one field's conversion; a field that does not convert leaves its setting as it was.
template <typename F> void skippingErrors(F &&read) {
    try {
        read();
    } catch (const VBError &) {
    }
}

} // namespace

void WriteNetworkDefaults(TextFileWriter &out) {
    out.Print(NumberText(3.1f));
    out.Tab();
    out.Print("GUSTROM3");
    out.EndLine();
    writeNames(out, WallTypeName);
    writeValues(out, WallTypeFactor);
    writeNames(out, ResistanceTypeName);
    writeValues(out, ResistanceTypeValue);
    writeNames(out, ShockTypeName);
    writeValues(out, ShockTypeLength);
    const auto &fields = settingsLine();
    for (int n = 0; n < SettingsFields; ++n) {
        fields[static_cast<std::size_t>(n)].write(out);
        if (n + 1 < SettingsFields)
            out.Tab();
    }
    out.EndLine();
    out.Print(EndMarker);
    out.EndLine();
}

void ReadSettingsBlock(TextFileReader &in) {
    // The block carries its own version; either decimal mark reads.
    if (CurrentLine.size() >= 2)
        CurrentLine[1] = VB::LocaleDecimalSeparator();
    skippingErrors(
        [] { FileVersion = StrictSingle(StrictValue(std::string_view(CurrentLine).substr(0, 3))); });

    // A block cut short keeps every setting it does not reach.
    auto nextLine = [&in]() {
        if (!in.ReadLine(CurrentLine))
            return false;
        SplitFields(FileVersion, CurrentLine, LineFields);
        return true;
    };
    auto readBlock = [&]() {
        if (!nextLine())
            return;
        for (int i = 0; i < PresetCount; ++i)
            WallTypeName(i) = cleanText(LineFields(i + 1));

        if (!nextLine())
            return;
        for (int i = 0; i < PresetCount; ++i)
            skippingErrors([i] {
                const std::string &f = LineFields(i + 1);
                float factor = f.empty() ? 0.0f : StrictSingle(StrictValue(f));
                // Blocks before 2.4 held the friction factor for a density of 1.2 kg/m³.
                if (FileVersion < 2.4f)
                    factor = StrictSingle(StrictValue(FormatPattern(factor / 1.2, "0.0000")));
                WallTypeFactor(i) = factor;
            });

        if (!nextLine())
            return;
        for (int i = 0; i < PresetCount; ++i) {
            const std::string &f = LineFields(i + 1);
            ResistanceTypeName(i) = f.empty() ? std::string("undefined") : cleanText(f);
        }

        if (!nextLine())
            return;
        for (int i = 0; i < PresetCount; ++i)
            skippingErrors([i] { ResistanceTypeValue(i) = StrictSingle(StrictValue(LineFields(i + 1))); });
        if (ResistanceTypeValue(1) >= 100000)
            ResistanceTypeValue(1) = static_cast<float>(BulkheadResistance);

        if (!nextLine())
            return;
        for (int i = 0; i < PresetCount; ++i)
            ShockTypeName(i) = cleanText(LineFields(i + 1));

        if (!nextLine())
            return;
        for (int i = 0; i < PresetCount; ++i)
            skippingErrors([i] {
                const std::string &f = LineFields(i + 1);
                ShockTypeLength(i) = f.empty() ? 0.0f : StrictSingle(StrictValue(f));
            });

        if (!nextLine())
            return;
        const auto &fields = settingsLine();
        for (int n = 1; n <= SettingsFields; ++n)
            skippingErrors([&fields, n] { fields[static_cast<std::size_t>(n - 1)].read(LineFields(n)); });

        if (!in.AtEnd())
            CurrentLine = in.LineInput();
    };
    readBlock();
    HoldSettingsInRange();

    if (DefaultArea == 0) {
        DefaultArea = 25;
        DefaultPerimeter = 20;
    }
    Shell().ShowRemoteMenus(RealtimeEnabled != 0);
    // Minutes below 1 switch the recovery copy off rather than run the timer without pause.
    const int64_t interval = static_cast<int64_t>(AutosaveMinutes) * 6000;
    Shell().SetAutosaveTimer(AutosaveMinutes > 0,
                             static_cast<int>(std::clamp<int64_t>(interval, 0, INT_MAX)));
}
