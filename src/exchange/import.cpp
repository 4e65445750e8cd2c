#include "exchange/import.h"

#include "exchange/dxf_reader.h"
#include "exchange/import_levels.h"
#include "graphics/drawing.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/fan_efficiency.h"
#include "model/geometry.h"
#include "model/levels_views.h"
#include "model/network_save.h"
#include "model/node_keys.h"
#include "model/recovery_copy.h"
#include "model/text_files.h"
#include "model/undo.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

namespace {

constexpr int LastLevel = 249;
constexpr const char *Loading = "Loading data .....";
// Line numbers listed at most in the message about skipped lines.
constexpr std::size_t ListedLines = 20;

enum class FileKind { Text, Drawing, Other };

FileKind kindOf(const std::string &fileName) {
    std::string tail = fileName.size() >= 3 ? fileName.substr(fileName.size() - 3) : fileName;
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::toupper(c); });
    return tail == "TXT" ? FileKind::Text : tail == "DXF" ? FileKind::Drawing : FileKind::Other;
}

// An offset box in metres: empty counts as 0; nullopt when the text is not a number.
std::optional<double> offsetMetres(const std::string &text) {
    if (text.find_first_not_of(" \t") == std::string::npos)
        return 0.0;
    const auto value = VB::StrictNumber(text, VB::LocaleDecimalSeparator());
    if (!value || std::fabs(*value) > 3.4e38)
        return std::nullopt;
    float shown = static_cast<float>(*value);
    return FromDisplayUnits(shown, Quantity::Length);
}

// A numeric field that holds text without a leading number ("#VALUE!"); an empty field reads as 0.
bool holdsText(std::string_view field) {
    std::size_t i = field.find_first_not_of(" \t");
    if (i == std::string_view::npos)
        return false;
    if (field[i] == '+' || field[i] == '-')
        ++i;
    if (i < field.size() && (field[i] == '.' || field[i] == ','))
        ++i;
    return i >= field.size() || !std::isdigit(static_cast<unsigned char>(field[i]));
}

// A field in display units, in SI, held to its rule (ValueRefused).
float fromDisplay(std::string_view field, int quantity, Value rule) {
    float value = StrictSingle(LenientValue(field));
    return static_cast<float>(Checked(rule, FromDisplayUnits(value, quantity)));
}

// The columns after the sixteen of the table: the airway's flags and its pressure.
constexpr int FlagsField = 17;
constexpr int PressureField = 18;

// A fan number the fan tables have room for (-1 fixed pressure, 0 none); any other does not fit.
int fanNumber(std::string_view field) {
    const int fan = StrictInteger(LenientValue(field));
    if (fan < -1 || fan > MaxFans)
        throw VBError(VBErr::Overflow);
    return fan;
}

// The TXT exchange file: a heading, then one airway per line. Rows whose number fields hold text are
// left out and their line numbers collected. The "Airway No" column is not read: the new airways are
// numbered on from the program's counter.
void readText(const std::string &path, ImportReading &reading, std::vector<int> &skipped) {
    TextFileReader in(path);
    std::string line;
    in.ReadLine(line);
    // The columns after the table are read only where the heading names them as the program writes them.
    SplitFields(2.6f, line, LineFields);
    const bool flagsColumn = Trim(LineFields(FlagsField)) == "Branch Code";
    const bool pressureColumn = Trim(LineFields(PressureField)) == "Pressure";
    std::vector<int> numericFields = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 15};
    if (flagsColumn)
        numericFields.push_back(FlagsField);
    if (pressureColumn)
        numericFields.push_back(PressureField);
    for (int lineNumber = 2; in.ReadLine(line); ++lineNumber) {
        if (reading.NextSlot() > MaxAirways) {
            VB::MsgBox("Data exceeds maximum number of nodes!");
            return;
        }
        SplitFields(2.6f, line, LineFields);
        if (std::any_of(numericFields.begin(), numericFields.end(),
                        [](int f) { return holdsText(LineFields(f)); })) {
            skipped.push_back(lineNumber);
            continue;
        }
        const auto &f = LineFields;
        ImportedAirway a;
        for (int k = 0; k < 3; ++k) {
            reading.Read(a.start[k], [&] { return ImportCoordinate(f(1 + k)); });
            reading.Read(a.end[k], [&] { return ImportCoordinate(f(4 + k)); });
        }
        reading.Read(a.flow, [&] { return fromDisplay(f(7), Quantity::Airflow, Value::Flow); });
        reading.Read(a.resistance,
                     [&] { return fromDisplay(f(8), Quantity::Resistance, Value::Resistance); });
        reading.Read(a.fan, [&] { return fanNumber(f(9)); });
        reading.Read(a.fanCount, [&] {
            return static_cast<int>(Checked(Value::FanCount, StrictInteger(LenientValue(f(10)))));
        });
        a.name = Trim(f(11));
        a.startName = Trim(f(12));
        a.endName = Trim(f(13));
        reading.Read(a.height, [&] { return fromDisplay(f(14), Quantity::Length, Value::Size); });
        reading.Read(a.width, [&] { return fromDisplay(f(15), Quantity::Length, Value::Size); });
        if (flagsColumn)
            reading.Read(a.flags, [&] { return StrictLong(LenientValue(f(FlagsField))); });
        if (pressureColumn)
            reading.Read(a.pressure,
                         [&] { return fromDisplay(f(PressureField), Quantity::Pressure, Value::Pressure); });
        reading.Add(std::move(a));
    }
}

void reportSkipped(const std::vector<int> &skipped) {
    if (skipped.empty())
        return;
    std::string lines;
    for (std::size_t i = 0; i < skipped.size() && i < ListedLines; ++i)
        lines += (i == 0 ? "" : ", ") + std::to_string(skipped[i]);
    if (skipped.size() > ListedLines)
        lines += ", ...";
    VB::MsgBox(std::to_string(skipped.size()) +
                   " line(s) not imported: a number column holds text. Lines: " + lines,
               VB::vbExclamation);
}

struct Offsets {
    double metres[3] = {0, 0, 0};
    int sign[3] = {1, 1, 1};
};

int32_t moved(int32_t coordinate, const Offsets &o, int k) {
    return VB::ClampToInt<int32_t>(VB::RoundHalfEven((coordinate + o.metres[k]) * o.sign[k]));
}

// Airways whose ends, where the offsets take them, lie beyond the coordinate rules are left out at the
// user's word (the failure question, once for each): an end stored beyond them would be a damaged record
// the next time the network is opened.
void keepWithinLimits(ImportReading &reading, const Offsets &o) {
    const auto inside = [&](const std::array<int32_t, 3> &p) {
        return PointInRange(moved(p[0], o, 0), moved(p[1], o, 1), moved(p[2], o, 2));
    };
    std::erase_if(reading.airways, [&](const ImportedAirway &a) {
        if (inside(a.start) && inside(a.end))
            return false;
        reading.Failure();
        return true;
    });
}

int presetIndex(double value) {
    return std::clamp(static_cast<int>(VB::RoundHalfEven(value)), 0, TypedPreset);
}

// The flags a table written by the program gives back: what its columns cannot say otherwise. A fixed
// length or a contaminant source is not kept, since the file carries neither the length nor the amount.
constexpr int32_t KeptFlags = AirwayFlag::FixedFlow | AirwayFlag::Services | AirwayFlag::FreshAir |
                              AirwayFlag::ExhaustAir | AirwayFlag::DataHidden | AirwayFlag::SurfaceEntry |
                              AirwayFlag::SurfaceExit | AirwayFlag::FixedDirection;

// The sizes, shape, wall, shock, layers and fixing a new airway takes from the new-airway settings, and the
// flags a table written by the program gives back (`fileFlags`).
void setUpNewAirway(int a, const ImportOptions &o, std::optional<int32_t> fileFlags) {
    const bool sizedByFile = AirwaySize(1, a) != 0 && AirwaySize(2, a) != 0;
    const double dx = AirwayEnd(1, a) - static_cast<double>(AirwayStart(1, a));
    const double dy = AirwayEnd(2, a) - static_cast<double>(AirwayStart(2, a));
    const double dz = AirwayEnd(3, a) - static_cast<double>(AirwayStart(3, a));
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (AirwaySize(1, a) == 0 && AirwaySize(2, a) == 0) {
        if (UseDefaultArea != 0) {
            AirwaySize(1, a) = DefaultPerimeter;
            AirwaySize(2, a) = DefaultArea;
        } else if (std::fabs(dz) * 1.5 > length && !o.forceCommonSize) {
            AirwaySize(1, a) = 0;
            AirwaySize(2, a) = DefaultRaiseDiameter;
        } else {
            AirwaySize(1, a) = DefaultDriveHeight;
            AirwaySize(2, a) = DefaultDriveWidth;
        }
    }
    // A height without a width is a drive of the default width, never a shapeless (empty) slot.
    if (AirwaySize(1, a) != 0 && AirwaySize(2, a) == 0)
        AirwaySize(2, a) = DefaultDriveWidth;
    if (AirwaySize(1, a) == 0 && AirwaySize(2, a) != 0) {
        AirwayWallType(a) = DefaultRaiseWallType;
        AirwayFlags(a) |= AirwayFlag::Round;
    } else {
        AirwayWallType(a) = DefaultDriveWallType;
        bool irregular = UseDefaultArea != 0;
        // Sizes from such a table are a perimeter and an area exactly when the airway was irregular.
        if (fileFlags && sizedByFile)
            irregular = (*fileFlags & AirwayFlag::Irregular) != 0;
        AirwayFlags(a) |= irregular ? AirwayFlag::Irregular : AirwayFlag::Rectangular;
    }
    AirwayShockType(a) = presetIndex(DefaultShockLength);
    AirwayShockLength(a) = ShockTypeLength(AirwayShockType(a));
    AirwayWallType(a) = presetIndex(AirwayWallType(a));
    AirwayFrictionFactor(a) = WallTypeFactor(AirwayWallType(a));
    AirwaySecondaryLayer(a) = std::abs(ActiveSecondaryLayer);
    AirwayPrimaryLayer(a) = std::abs(ActivePrimaryLayer);
    // An import never opens a sealed airway: a bulkhead's resistance comes back as a bulkhead. Otherwise
    // only a resistance the file gave can be kept, for a raise (round) or a drive of either other shape.
    const bool raise = (AirwayFlags(a) & AirwayFlag::Round) != 0;
    if (AirwayResistance(a) >= static_cast<float>(BulkheadResistance))
        AirwayResistanceType(a) = BulkheadPreset;
    else if (AirwayResistance(a) > 0 && (raise ? o.retainRaiseResistance : o.retainDriveResistance))
        AirwayResistanceType(a) = TypedPreset;
    if (fileFlags ? (*fileFlags & AirwayFlag::FansInSeries) != 0 : AirwayFan(a) != 0)
        AirwayFlags(a) |= AirwayFlag::FansInSeries;
    if (fileFlags)
        AirwayFlags(a) |= *fileFlags & KeptFlags;
}

// A replacing import keeps the fan database: the file names fans by number and carries no curves.
class KeptFans {
public:
    KeptFans()
        : name_(std::move(FanName)), diameter_(std::move(FanDiameter)), flow_(std::move(FanCurveFlow)),
          pressure_(std::move(FanCurvePressure)), efficiency_(std::move(FanCurveEfficiency)) {}
    void Restore() {
        FanName = std::move(name_);
        FanDiameter = std::move(diameter_);
        FanCurveFlow = std::move(flow_);
        FanCurvePressure = std::move(pressure_);
        FanCurveEfficiency = std::move(efficiency_);
    }

private:
    VBArray<std::string> name_;
    VBArray<float> diameter_;
    VBArray<float, 2> flow_;
    VBArray<float, 3> pressure_;
    VBArray<int, 2> efficiency_;
};

// An airway may not name a fan the database lacks: such a fan is left off, and the user told how often.
void dropMissingFans(int first) {
    int dropped = 0;
    for (int a = first; a <= AirwayCount; ++a) {
        if (AirwayFan(a) < 1 || FanInDatabase(AirwayFan(a)))
            continue;
        AirwayFan(a) = 0;
        AirwayFanCount(a) = 0;
        AirwayFlags(a) &= ~AirwayFlag::FansInSeries;
        ++dropped;
    }
    if (dropped > 0)
        VB::MsgBox(std::to_string(dropped) +
                       " airway(s) name a fan that the fan database does not hold: they were imported "
                       "without a fan",
                   VB::vbExclamation);
}

// The surface a table written by the program gives: the highest of its marked surface ends, raised above
// every other end so that none of those comes to lie on the surface. None when no end is marked.
std::optional<int32_t> markedSurface(const std::vector<ImportedAirway> &airways, int first) {
    std::optional<int32_t> marked, other;
    const auto note = [](std::optional<int32_t> &top, int32_t z) { top = top ? std::max(*top, z) : z; };
    for (std::size_t i = 0; i < airways.size(); ++i) {
        const int a = first + static_cast<int>(i);
        const int32_t flags = airways[i].flags.value_or(0);
        note(flags & AirwayFlag::SurfaceEntry ? marked : other, AirwayStart(3, a));
        note(flags & AirwayFlag::SurfaceExit ? marked : other, AirwayEnd(3, a));
    }
    if (!marked)
        return std::nullopt;
    return other && *other >= *marked ? *other + 1 : *marked;
}

// The staged airways join the network, moved by the offsets, set up, numbered and levelled; the levels,
// the main window's level controls and the view follow.
void commit(const std::vector<ImportedAirway> &airways, const ImportOptions &o, const Offsets &offsets) {
    if (!o.merge) {
        KeptFans fans;
        ClearNetwork();
        fans.Restore();
        // The imported network has no file yet: a save asks for a name, so the file of the network it
        // replaced keeps its own; the caption says where the network came from.
        NetworkFileName.clear();
        NoteOpenNetworkFile("");
        MasterFile = false;
        NetworkFileTitle = "Imported from " + ImportFileName.substr(ImportFileName.find_last_of("/\\") + 1);
        for (int l = 1; l <= LastLevel; ++l) {
            LevelName(l).clear();
            LevelRange(l, 1) = 0;
            LevelRange(l, 2) = 0;
        }
        AirwayCount = 0;
    }
    const int first = AirwayCount + 1;
    int32_t lowest = 0, highest = 0;
    for (const ImportedAirway &in : airways) {
        const int a = ++AirwayCount;
        ClearAirway(a);
        for (int k = 0; k < 3; ++k) {
            AirwayStart(k + 1, a) = moved(in.start[static_cast<std::size_t>(k)], offsets, k);
            AirwayEnd(k + 1, a) = moved(in.end[static_cast<std::size_t>(k)], offsets, k);
        }
        AirwayName(a) = in.name;
        AirwayStartName(a) = in.startName;
        AirwayEndName(a) = in.endName;
        AirwayFlow(a) = in.flow;
        AirwayResistance(a) = in.resistance;
        AirwayFan(a) = in.fan;
        AirwayFanCount(a) = in.fanCount;
        AirwaySize(1, a) = in.height;
        AirwaySize(2, a) = in.width;
        if (in.pressure && in.fan == -1)
            AirwayPressure(a) = *in.pressure;
        // The elevation band of the new airways, where they end up.
        const int32_t z = AirwayStart(3, a);
        lowest = a == first ? z : std::min(lowest, z);
        highest = a == first ? z : std::max(highest, z);
        setUpNewAirway(a, o, in.flags);
    }
    dropMissingFans(first);
    RenumberAirways(first, false);
    BuildImportLevels(lowest, highest, o.levelDatabase, o.merge, markedSurface(airways, first));
    CalcAllAirways();
    NetworkSaved = 0;
    MarkResultsStale();

    VB::SetScreenPointer(VB::vbDefault);
    UpdateNodeKeys();
    VB::SetScreenPointer(VB::vbHourglass);
    VB::DoEvents();

    FillLevelList();
    const int shown = Shell().LevelScrollGetValue();
    if (shown >= 1 && shown <= LastLevel) {
        RLWindowLow = LevelRange(shown, 2);
        RLWindowHigh = LevelRange(shown, 1);
        LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
    }
    Shell().LevelScrollSetValue(Shell().LevelScrollGetMax() > 1 ? 2 : 1);
    Shell().LevelListSetIndex(Shell().LevelScrollGetValue() - 1);

    SetVisibleAirways();
    RotateView();
    FitNetwork();
    UpdateNodeKeys();
    // No other window goes on showing what the network was before.
    ShowNetworkInEveryWindow(!o.merge);
}

} // namespace

int RefusedOffset(const ImportOptions &options) {
    const std::string *texts[3] = {&options.xOffset, &options.yOffset, &options.zOffset};
    for (int k = 0; k < 3; ++k)
        if (!offsetMetres(*texts[k]))
            return k;
    return -1;
}

ImportOutcome ImportNetwork(const ImportOptions &options,
                            const std::function<void(const std::string &)> &message) {
    if (RefusedOffset(options) >= 0) {
        VB::MsgBox("Offsets must be numbers", VB::vbExclamation);
        return ImportOutcome::OffsetsInvalid;
    }
    // Every line read and every label the closing fit formats takes the same separator.
    const VB::HeldDecimalSeparator separator;
    Offsets offsets;
    const std::string *texts[3] = {&options.xOffset, &options.yOffset, &options.zOffset};
    const bool negate[3] = {options.negateX, options.negateY, options.negateZ};
    for (int k = 0; k < 3; ++k) {
        offsets.metres[k] = *offsetMetres(*texts[k]);
        offsets.sign[k] = negate[k] ? -1 : 1;
    }
    const FileKind kind = kindOf(ImportFileName);
    if (kind == FileKind::Other) {
        VB::MsgBox("Only .TXT and .DXF files can be imported", VB::vbExclamation);
        return ImportOutcome::Unchanged;
    }
    // A replacing import would discard unsaved work without a word.
    if (!options.merge && NetworkSaved == 0) {
        const int answer =
            VB::MsgBox("Gustrom data is not saved - Save it?", VB::vbYesNoCancel | VB::vbQuestion);
        if (answer == VB::vbCancel || (answer == VB::vbYes && !SaveNetwork(0)))
            return ImportOutcome::Unchanged;
    }
    VB::BusyScope busy;
    if (!busy.Acquired())
        return ImportOutcome::Unchanged;

    VB::SetScreenPointer(VB::vbHourglass);
    const auto show = [&message](const std::string &text) {
        if (message)
            message(text);
        VB::DoEvents();
    };
    show(Loading);
    ImportReading reading(options.merge ? AirwayCount + 1 : 1,
                          [&show](int count) { show(std::string(Loading) + " " + std::to_string(count)); });
    std::vector<int> skipped;
    try {
        if (kind == FileKind::Text)
            readText(ImportFileName, reading, skipped);
        else
            ReadDxfFile(ImportFileName, reading);
        keepWithinLimits(reading, offsets);
    } catch (const ImportAborted &) {
        VB::SetScreenPointer(VB::vbDefault);
        return ImportOutcome::Unchanged;
    } catch (const VBError &) {
        // The file cannot be opened or read (removed, renamed or locked since it was chosen): the question
        // is asked, and with nothing to go on with the network stays as it was whatever the answer.
        VB::SetScreenPointer(VB::vbDefault);
        try {
            reading.Failure();
        } catch (const ImportAborted &) {
        }
        return ImportOutcome::Unchanged;
    }
    reportSkipped(skipped);
    // A file without a single airway would only empty a replaced network (or add an empty level).
    if (reading.airways.empty()) {
        VB::SetScreenPointer(VB::vbDefault);
        VB::MsgBox("No airway could be read from the file - the network is unchanged", VB::vbExclamation);
        return ImportOutcome::Unchanged;
    }
    commit(reading.airways, options, offsets);
    return ImportOutcome::Imported;
}
