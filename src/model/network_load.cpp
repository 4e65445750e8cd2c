#include "model/network_load.h"

#include "model/Gustrom1.h"
#include "model/defaults_block.h"
#include "model/fan_file.h"
#include "model/file_dialogs.h"
#include "model/file_note.h"
#include "model/geometry.h"
#include "model/left_out.h"
#include "model/levels_views.h"
#include "model/network_save.h"
#include "model/node_keys.h"
#include "model/recent_files.h"
#include "model/record_line.h"
#include "model/recovery_copy.h"
#include "model/text_files.h"
#include "model/undo.h"
#include "model/upper_layers.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <vector>

namespace {

// The user answered No to "Do you wish to continue loading?", or the file cannot be read on.
struct LoadStopped {};

bool startsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// The first field of a line as SplitFields cuts it.
std::string_view firstField(std::string_view line, float version) {
    if (version > 2.4f)
        return line.substr(0, line.find('\t'));
    const std::size_t comma = line.find(',');
    return comma == std::string_view::npos ? line.substr(0, 30) : line.substr(0, comma);
}

// The marker lines that end the sections, as every reader of the file finds them.
bool isTagsEnd(std::string_view line) {
    return startsWith(line, "End of Tag");
}
bool isFansEnd(std::string_view line) {
    return startsWith(line, "**End of Fa");
}
bool isLevelsEnd(std::string_view line) {
    return startsWith(line, "**END OF RL");
}
bool isViewsEnd(std::string_view line, float version) {
    return firstField(line, version) == "End of saved views";
}
bool isTextsEnd(std::string_view line, float version) {
    return firstField(line, version) == "**End Of Floating Text";
}

// What stands where the airways' heading belongs. The heading is known by its first name; a line that runs
// on past the whole heading holds the first airway record behind it (`record`).
enum class HeadingLine { Heading, Merged, Missing };

HeadingLine airwayHeading(std::string_view line, float version, std::string_view &record) {
    if (firstField(line, version) != "Entry Node")
        return HeadingLine::Missing;
    const char separator = version > 2.4f ? '\t' : ',';
    const std::string heading = AirwayHeadingLine(separator);
    if (!startsWith(line, heading))
        return HeadingLine::Heading;
    // The heading ends without a separator, so the record's first field follows at once.
    record = line.substr(heading.size());
    return record.find_first_not_of(separator) == std::string_view::npos ? HeadingLine::Heading
                                                                         : HeadingLine::Merged;
}

std::string headingDamage(HeadingLine found) {
    const std::string missing = "The network file is damaged: the heading of the airways (the line beginning "
                                "\"Entry Node\") ";
    if (found == HeadingLine::Missing)
        return missing + "is missing: the line in its place was read as an airway record.";
    if (found == HeadingLine::Merged)
        return missing + "runs on into the first airway record, which was read from behind it.";
    return {};
}

// What the file holds, found before anything changes: a section whose marker line is missing would be read
// to the end of the file and take every section after it, the airways too.
struct FileLayout {
    int64_t airways = 0; // airway records, at most
    std::string damage;  // the message on the first section whose marker line is missing
};

FileLayout scanLayout(std::string_view text, float version, bool merge) {
    FileLayout layout;
    std::size_t pos = 0;
    bool ended = false;
    std::string_view line;
    auto next = [&] { return NextTextLine(text, pos, line, ended); };
    auto skip = [&](int lines) {
        for (int i = 0; i < lines && next(); ++i) {
        }
    };
    auto reach = [&](auto isEnd) {
        while (next())
            if (isEnd(line))
                return true;
        return false;
    };
    auto damaged = [&](const std::string &what, const std::string &marker) {
        layout.damage = "The network file is damaged: the " + what + " (the line \"" + marker +
                        "\") is missing.\r\n\r\nNothing was loaded: the network stays as it was.";
        return layout;
    };
    const auto views = [version](std::string_view l) { return isViewsEnd(l, version); };
    const auto texts = [version](std::string_view l) { return isTextsEnd(l, version); };
    next(); // header
    if (version >= 1.5f) {
        if (merge && version > 1.5f) {
            // A merge skips the settings, views and layer names of the file.
            if (!reach(isTagsEnd))
                return damaged("end of the layer names", "End of Tag List");
        } else {
            // Only the settings' own start line is taken: any other would have their lines read as levels.
            if (!reach([](std::string_view l) { return startsWith(l, "Defaults List"); }) ||
                (!merge && !startsWith(line, "Defaults List for Network")))
                return damaged("start of the settings", "Defaults List for Network");
            skip(version <= 2.0f ? 29 : version <= 2.7f ? 7 : 9);
            if (!merge && version != 1.5f) {
                next(); // "Saved Views"
                if (!next() || (!views(line) && !reach(views)))
                    return damaged("end of the saved views", "End of saved views");
                next(); // "Tag List"
                if (!reach(isTagsEnd))
                    return damaged("end of the layer names", "End of Tag List");
            }
        }
        next(); // fan heading
        if (!reach(isFansEnd))
            return damaged("end of the fan database", "**End of Fan Database**");
    }
    next(); // level heading
    if (!reach(isLevelsEnd))
        return damaged("end of the level list", "**END OF RL LIST**");
    if (version >= 2.6f && !reach(texts))
        return damaged("end of the floating texts", "**End Of Floating Text");
    // The airway heading, unless a record stands in its place or behind it.
    bool found = false;
    while ((found = next()) && line.empty()) {
    }
    std::string_view record;
    if (found && airwayHeading(line, version, record) != HeadingLine::Heading)
        ++layout.airways;
    while (next())
        if (!line.empty())
            ++layout.airways;
    return layout;
}

// The airway records the version 1.0 reader takes from the file's list items: after 99 levels of three
// items, one record of 29 items per airway (the last may lack its three dropped items). An airway spreads
// over three lines, so its lines are no count of airways.
int64_t version1Airways(std::size_t items) {
    const std::size_t levels = std::min<std::size_t>(99, items / 3) * 3;
    return items >= levels + 26 ? static_cast<int64_t>((items - levels - 26) / 29 + 1) : 0;
}

// A run-time error inside the load: file errors end it, any other asks whether to go on. Returns
// normally when the load goes on with the next statement.
void loadError(const VBError &e) {
    StatusText = FileErrorText(e.number, "ERROR 53: That file doesn't exist.", "Error occurred loading file");
    if (e.number == 53 || e.number == 68 || e.number == 76) {
        VB::MsgBox(StatusText, VB::vbOKOnly);
        throw LoadStopped{};
    }
    if (VB::MsgBox(StatusText + "\r\nDo you wish to continue loading?", VB::vbYesNo | VB::vbQuestion,
                   "Error") != VB::vbYes)
        throw LoadStopped{};
}

// Runs one statement; an error in it goes to the load's error question.
template <typename F> void statement(F &&f) {
    try {
        f();
    } catch (const VBError &e) {
        loadError(e);
    }
}

float strictSingle(int n) {
    return StrictSingle(StrictValue(LineFields(n)));
}
int lenientWhole(int n) {
    return LenientInteger(LenientValue(LineFields(n)));
}
bool booleanField(int n) {
    const std::string &f = LineFields(n);
    try {
        return BooleanValue(f);
    } catch (const VBError &) {
        return LenientValue(f) != 0;
    }
}

// Reads one airway record into slot a and counts it. A record that fails part-way is never an airway:
// the slot is emptied and stays uncounted, and the user decides whether the load goes on (false) or
// stops with the whole airways before it (LoadStopped).
bool readAirwayLine(const std::string &line, int a, float version) {
    try {
        AirwayFromRecord(line, a, version);
        CheckAirwayRecord(a);
        CheckAirwayEnds(a);
    } catch (const VBError &e) {
        ClearAirway(a);
        AirwayCount = a - 1;
        loadError(e);
        return false;
    }
    AirwayCount = a;
    return true;
}

// Any index read from the file is checked before it is used.
void checkAirwayIndexes(int a) {
    if (AirwayFan(a) < -1 || AirwayFan(a) > MaxFans)
        AirwayFan(a) = 0;
    if (AirwayPrimaryLayer(a) < 1 || AirwayPrimaryLayer(a) > 16)
        AirwayPrimaryLayer(a) = 1;
    if (AirwaySecondaryLayer(a) < 1 || AirwaySecondaryLayer(a) > 48)
        AirwaySecondaryLayer(a) = 1;
    if (AirwayStation(a) < 0 || AirwayStation(a) > MaxStations)
        AirwayStation(a) = 0;
    if (AirwayResistanceType(a) < 0 || AirwayResistanceType(a) > TypedPreset)
        AirwayResistanceType(a) = 0;
    if (AirwayShockType(a) < 0 || AirwayShockType(a) > TypedPreset)
        AirwayShockType(a) = 0;
    if (AirwayWallType(a) < 0 || AirwayWallType(a) > TypedPreset)
        AirwayWallType(a) = 0;
}

class Loader {
public:
    Loader(TextFileReader &in, float version, bool merge) : in_(in), version_(version), merge_(merge) {}

    bool next(std::string &line) { return in_.ReadLine(line); }
    void split(const std::string &line) { SplitFields(version_, line, LineFields); }
    // Reads up to and including the line that ends a section.
    template <typename IsEnd> void skipUntil(IsEnd isEnd) {
        std::string line;
        while (next(line))
            if (isEnd(line))
                return;
    }

    void readPresetLines();
    void readSevenTabLines();
    void readViewsAndTags();
    void readFans(bool estimateDiameters);
    void readLevels();
    void readVersion1Levels(std::vector<std::string> &items, std::size_t &pos);
    void readFloatingTexts();
    void readAirways(int lastSlot);
    void readVersion1Airways(std::vector<std::string> &items, std::size_t &pos, int lastSlot);

    int fanOffset = 0;
    // Airway records left out because they could not be read.
    int unreadable = 0;
    // Fans left out because they were damaged.
    FansLeftOut fansLeftOut;
    // What was wrong with the airways' heading; empty when it stood right.
    std::string heading;
    // Levels left out because an RL lies outside its range.
    int levelsLeftOut = 0;
    // Floating texts left out: a position that is no number, or lies outside its range.
    int textsUnreadable = 0, textsOutOfRange = 0;

private:
    // The slot after `previous` for the file's next level, at most `last`; 0 when none is left. A normal
    // load fills the slots in order; a merge takes free slots only, so no level in use is overwritten.
    int nextLevelSlot(int previous, int last) const;
    // A level's RL High and RL Low from their fields, rounded to whole metres; false (and counted) when
    // either lies outside its rule.
    bool levelRange(const std::string &highText, const std::string &lowText, int32_t &high, int32_t &low);

    TextFileReader &in_;
    float version_;
    bool merge_;
};

bool Loader::levelRange(const std::string &highText, const std::string &lowText, int32_t &high,
                        int32_t &low) {
    const double h = VB::RoundHalfEven(LenientValue(highText)), l = VB::RoundHalfEven(LenientValue(lowText));
    if (!LevelInRange(h, l)) {
        ++levelsLeftOut;
        return false;
    }
    high = static_cast<int32_t>(h);
    low = static_cast<int32_t>(l);
    return true;
}

int Loader::nextLevelSlot(int previous, int last) const {
    int slot = previous + 1;
    while (merge_ && slot <= last && !IsUnusedLevel(slot))
        ++slot;
    return slot <= last ? slot : 0;
}

void Loader::readPresetLines() {
    std::string line;
    auto readTable = [&](VBArray<std::string> &names, VBArray<float> &values, int last) {
        for (int i = 0; i <= last; ++i) {
            if (!next(line))
                return;
            split(line);
            names(i) = LineFields(2);
            values(i) = LenientSingle(LenientValue(LineFields(3)));
        }
    };
    readTable(WallTypeName, WallTypeFactor, 10);
    readTable(ResistanceTypeName, ResistanceTypeValue, 10);
    for (int i = 10; i <= 49; ++i) {
        ResistanceTypeName(i).clear();
        ResistanceTypeValue(i) = 0;
    }
    readTable(ShockTypeName, ShockTypeLength, 6);
}

void Loader::readSevenTabLines() {
    std::string line;
    auto names = [&](VBArray<std::string> &table) {
        if (!next(line))
            return false;
        split(line);
        for (int i = 0; i <= 49; ++i)
            table(i) = LineFields(i + 1);
        return true;
    };
    auto values = [&](VBArray<float> &table, bool roundFour) {
        if (!next(line))
            return false;
        split(line);
        for (int i = 0; i <= 49; ++i)
            statement([&] {
                double v = StrictValue(LineFields(i + 1));
                if (roundFour)
                    v = VB::RoundHalfEven(v * 10000) / 10000;
                table(i) = StrictSingle(v);
            });
        return true;
    };
    if (!names(WallTypeName) || !values(WallTypeFactor, version_ < 2.4f) || !names(ResistanceTypeName) ||
        !values(ResistanceTypeValue, false) || !names(ShockTypeName) || !values(ShockTypeLength, false) ||
        !next(line))
        return;
    split(line);
    auto set = [](int n) { return LenientValue(LineFields(n)) != 0; };
    auto present = [](int n) { return !LineFields(n).empty(); };
    auto lenientSingle = [](int n) { return LenientSingle(LenientValue(LineFields(n))); };
    statement([&] { PowerCost = strictSingle(2); });
    statement([&] { AirPowerEfficiency = strictSingle(4); });
    statement([&] { AirDensity = strictSingle(6); });
    LayerDisplay = LenientLong(LenientValue(LineFields(7)));
    if (set(8))
        SpinSpeed = lenientSingle(8);
    if (set(9))
        TiltSpeed = lenientSingle(9);
    if (set(10))
        FullRotation = lenientWhole(10);
    ColourScheme = lenientWhole(11);
    AttributeMask = LenientLong(LenientValue(LineFields(12)));
    GraphicsDetail = present(13) ? lenientWhole(13) : 511;
    for (int k = 1; k <= 3; ++k) {
        if (present(13 + k))
            FontName(k) = LineFields(13 + k);
        if (set(16 + k))
            FontBold(k) = lenientWhole(16 + k);
        if (set(19 + k))
            FontSize(k) = lenientWhole(19 + k);
    }
    if (present(23))
        statement([&] { SurfacePressureRL = strictSingle(23); });
    int *exportSizes[5] = {&ExportNodeCircleSize, &ExportArrowSize, &ExportDataSize, &ExportAirwaySize,
                           &ExportNodeSize};
    for (int k = 0; k < 5; ++k)
        if (set(24 + k))
            *exportSizes[k] = lenientWhole(24 + k);
    DataDisplayMode = lenientWhole(29);
    FontBold(4) = lenientWhole(30);
    if (set(31))
        FontSize(4) = lenientWhole(31);
    if (set(32))
        FontName(4) = LineFields(32);
    if (set(33))
        ExportFloatSize = lenientWhole(33);
    if (present(34))
        ScreenBuffer = booleanField(34);
    if (present(35))
        ConfirmActions = booleanField(35);
    if (set(36))
        FontName(4) = LineFields(36);
    if (set(37))
        FontBold(4) = lenientWhole(37);
    if (set(38))
        FontSize(4) = lenientWhole(38);
    if (present(39))
        FontScale = lenientWhole(39);
    for (int k = 0; k <= 6; ++k)
        if (set(40 + k))
            IconSize(k) = lenientWhole(40 + k);
    if (present(47))
        PropertyInheritance = booleanField(47);
    if (present(48))
        AutoInfo = booleanField(48);
}

void Loader::readViewsAndTags() {
    std::string line;
    next(line); // "Saved Views"
    if (!next(line))
        return;
    split(line);
    if (LineFields(1) == "startupview")
        ReadViewLine(0);
    if (!isViewsEnd(line, version_)) {
        // Named views are packed into the slots from 6; slot 100 on belongs to the graphics windows.
        int slot = 6;
        while (next(line)) {
            if (isViewsEnd(line, version_))
                break;
            split(line);
            if (slot <= 99)
                ReadViewLine(slot++);
        }
    }

    next(line); // "Tag List"
    while (next(line)) {
        if (isTagsEnd(line))
            break;
        split(line);
        const int n = lenientWhole(1);
        if (n >= 1 && n <= 16) {
            PrimaryLayerName(n) = LineFields(2);
            PrimaryLayerVisible(n) = booleanField(3);
        } else if (n <= -1 && n >= -48) {
            SecondaryLayerName(-n) = LineFields(2);
            SecondaryLayerVisible(-n) = booleanField(3);
        }
    }
}

void Loader::readFans(bool estimateDiameters) {
    std::string line;
    if (!next(line))
        return;
    split(line);
    const int fileFans = std::max(0, lenientWhole(5));
    if (!merge_) {
        for (int f = 1; f <= MaxFans; ++f) {
            FanName(f).clear();
            for (int p = 1; p <= 10; ++p) {
                FanCurvePressure(1, p, f) = 0;
                FanCurvePressure(2, p, f) = 0;
                FanCurveFlow(p, f) = 0;
                FanCurveEfficiency(p, f) = 0;
            }
        }
        fanOffset = 0;
    } else {
        fanOffset = 0;
        while (fanOffset < MaxFans && !FanName(fanOffset + 1).empty())
            ++fanOffset;
        if (VB::MsgBox(
                "Do you want the new data to use the original fan database (YES) or add the merged fan "
                "database to the existing fan list (NO)",
                VB::vbYesNo | VB::vbQuestion, "Merge fan database") == VB::vbYes) {
            fanOffset = 0;
            skipUntil(isFansEnd);
            return;
        }
    }
    bool endSeen = false;
    for (int k = 1; k <= fileFans && !endSeen; ++k) {
        if (!next(line))
            return;
        if (isFansEnd(line)) {
            endSeen = true;
            break;
        }
        split(line);
        int n = lenientWhole(3);
        if (n == 0)
            n = k;
        if (n > MaxFans - fanOffset) {
            VB::MsgBox("Fan database default size is smaller than the file size !\r\nAny fans above fan " +
                           std::to_string(MaxFans) + " will be deleted",
                       VB::vbOKOnly);
            break;
        }
        // A negative fan number has no slot: its lines are read and dropped.
        const int f = n < 1 ? -1 : n + fanOffset;
        // A fan that fails part-way, or whose lines end early, is never a fan: it is emptied and counted,
        // and the fans after it are read.
        bool whole = true;
        auto failed = [&](const VBError &e) {
            whole = false;
            if (f > 0)
                EmptyFan(f);
            loadError(e);
        };
        if (f > 0) {
            FanName(f) = Trim(LineFields(1));
            if (!LineFields(2).empty()) {
                try {
                    FanDiameter(f) = strictSingle(2);
                } catch (const VBError &e) {
                    failed(e);
                }
            }
        }
        for (int p = 1; p <= 10; ++p) {
            if (!next(line)) {
                whole = false;
                break;
            }
            if (isFansEnd(line)) {
                endSeen = true;
                whole = false;
                break;
            }
            if (f < 0 || !whole)
                continue;
            split(line);
            try {
                FanCurvePressure(1, p, f) = strictSingle(2);
                FanCurveFlow(p, f) = strictSingle(3);
                if (!LineFields(4).empty())
                    FanCurveEfficiency(p, f) = StrictInteger(StrictValue(LineFields(4)));
                if (!LineFields(5).empty())
                    FanCurvePressure(2, p, f) = strictSingle(5);
            } catch (const VBError &e) {
                failed(e);
            }
        }
        if (f < 0) {
            ++fansLeftOut.noSlot;
            continue;
        }
        if (whole && estimateDiameters && FanDiameter(f) == 0 && FanCurveFlow(10, f) > 0) {
            const double d = 2 * std::sqrt(FanCurveFlow(10, f) / (21 * ViewPi));
            FanDiameter(f) = static_cast<float>(VB::RoundHalfEven(d * 100) / 100);
        }
        if (!whole || !FanInRange(f)) {
            EmptyFan(f);
            ++(whole ? fansLeftOut.outOfRange : fansLeftOut.unreadable);
        }
    }
    // The end marker follows the last fan even when the file holds exactly its count of fans.
    if (!endSeen)
        skipUntil(isFansEnd);
}

void Loader::readLevels() {
    std::string line;
    if (!next(line))
        return;
    int slot = merge_ ? std::clamp(LevelOffset, 0, 248) : std::clamp(LevelOffset, 0, 98);
    while (next(line) && !isLevelsEnd(line)) {
        split(line);
        int32_t high = 0, low = 0;
        if (!levelRange(LineFields(2), LineFields(3), high, low))
            continue;
        // A line that holds no level (no name, both bounds 0) would end the table there and hide the levels
        // after it: it takes no slot.
        if (LineFields(1).empty() && high == 0 && low == 0)
            continue;
        const int free = nextLevelSlot(slot, 249);
        if (free == 0)
            continue;
        slot = free;
        LevelName(slot) = LineFields(1);
        LevelRange(slot, 1) = high;
        LevelRange(slot, 2) = low;
    }
    if (merge_)
        return;
    for (int s = slot + 1; s <= 249; ++s) {
        LevelName(s).clear();
        LevelRange(s, 1) = 0;
        LevelRange(s, 2) = 0;
    }
}

void Loader::readFloatingTexts() {
    std::string line;
    bool endSeen = false;
    int slot = 0;
    for (int t = 1; t <= MaxFloatingTexts; ++t) {
        if (!next(line))
            return;
        if (isTextsEnd(line, version_)) {
            endSeen = true;
            break;
        }
        split(line);
        if (merge_) {
            // Merged texts take free slots and leave the network's own texts alone.
            do
                ++slot;
            while (slot <= MaxFloatingTexts && FloatingTextUsed(slot));
            if (slot > MaxFloatingTexts || LineFields(1).empty()) {
                if (LineFields(1).empty())
                    --slot;
                continue;
            }
        } else {
            slot = t;
            if (LineFields(1).empty()) {
                FloatingTextString(slot).clear();
                FloatingTextUsed(slot) = false;
                continue;
            }
        }
        // A text whose position cannot be read or lies outside its rules is left out: its slot stays free.
        double at[3] = {};
        bool read = true;
        for (int c = 0; c < 3 && read; ++c) {
            try {
                at[c] = VB::RoundHalfEven(StrictValue(LineFields(c + 2)));
            } catch (const VBError &) {
                read = false;
            }
        }
        if (!read || !PointInRange(at[0], at[1], at[2])) {
            ++(read ? textsOutOfRange : textsUnreadable);
            if (merge_) {
                --slot;
            } else {
                FloatingTextString(slot).clear();
                FloatingTextUsed(slot) = false;
            }
            continue;
        }
        FloatingTextString(slot) = LineFields(1);
        FloatingTextUsed(slot) = true;
        for (int c = 1; c <= 3; ++c)
            FloatingTextPosition(c, slot) = static_cast<int32_t>(at[c - 1]);
    }
    if (!endSeen)
        skipUntil([this](std::string_view l) { return isTextsEnd(l, version_); });
}

void Loader::readAirways(int lastSlot) {
    std::string line;
    bool record = false;
    while (next(line))
        if (!line.empty()) {
            std::string_view behind;
            const HeadingLine found = airwayHeading(line, version_, behind);
            heading = headingDamage(found);
            record = found != HeadingLine::Heading;
            if (found == HeadingLine::Merged)
                line = std::string(behind);
            break;
        }
    int a = LoadMode;
    for (; record || next(line); record = false) {
        if (line.empty())
            continue;
        if (a > lastSlot) {
            VB::MsgBox("File too big for current Gustrom Settings - Increase Default Size", VB::vbOKOnly);
            break;
        }
        if (!readAirwayLine(line, a, version_)) {
            ++unreadable;
            continue;
        }
        AirwayUndoStamp(a) = 0;
        checkAirwayIndexes(a);
        ++a;
    }
}

void Loader::readVersion1Levels(std::vector<std::string> &items, std::size_t &pos) {
    // The format held 99 levels; merged ones may go to any free slot.
    int slot = merge_ ? std::clamp(LevelOffset, 0, 248) : std::clamp(LevelOffset, 0, 98);
    for (int i = 1; i <= 99 && pos + 3 <= items.size(); ++i, pos += 3) {
        int32_t high = 0, low = 0;
        if (!levelRange(items[pos + 1], items[pos + 2], high, low))
            continue;
        const int free = nextLevelSlot(slot, merge_ ? 249 : 99);
        if (free == 0)
            continue;
        slot = free;
        LevelName(slot) = items[pos];
        LevelRange(slot, 1) = high;
        LevelRange(slot, 2) = low;
    }
}

void Loader::readVersion1Airways(std::vector<std::string> &items, std::size_t &pos, int lastSlot) {
    int a = LoadMode;
    std::string line;
    for (; pos + 26 <= items.size(); pos += 29, ++a) {
        if (a > lastSlot) {
            VB::MsgBox("File too big for current Gustrom Settings - Increase Default Size", VB::vbOKOnly);
            break;
        }
        line.clear();
        for (int k = 0; k < 26; ++k) {
            std::string item = items[pos + k];
            std::replace(item.begin(), item.end(), '\t', ' ');
            line += item;
            line += '\t';
        }
        if (!readAirwayLine(line, a, 3.0f)) {
            ++unreadable;
            --a; // the next record takes the slot
            continue;
        }
        // The list records marked typed values with the old codes.
        if (AirwayResistanceType(a) == 10)
            AirwayResistanceType(a) = TypedPreset;
        if (AirwayWallType(a) == 10)
            AirwayWallType(a) = TypedPreset;
        if (AirwayShockType(a) == 6)
            AirwayShockType(a) = TypedPreset;
        AirwayUndoStamp(a) = 0;
        checkAirwayIndexes(a);
    }
    // Items after the last whole record are a record cut short.
    if (pos < items.size() && pos + 26 > items.size())
        ++unreadable;
}

// The comma-separated list items of the remaining lines; a quoted item keeps its commas.
std::vector<std::string> listItems(TextFileReader &in) {
    std::vector<std::string> items;
    std::string line;
    while (in.ReadLine(line)) {
        std::size_t i = 0;
        if (line.find_first_not_of(' ') == std::string::npos)
            continue;
        while (i <= line.size()) {
            while (i < line.size() && line[i] == ' ')
                ++i;
            std::string item;
            if (i < line.size() && line[i] == '"') {
                const std::size_t close = line.find('"', i + 1);
                item = line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
                i = close == std::string::npos ? line.size() : close + 1;
                const std::size_t comma = line.find(',', i);
                i = comma == std::string::npos ? line.size() + 1 : comma + 1;
            } else {
                const std::size_t comma = line.find(',', i);
                item = Trim(line.substr(i, comma == std::string::npos ? std::string::npos : comma - i));
                i = comma == std::string::npos ? line.size() + 1 : comma + 1;
            }
            items.push_back(std::move(item));
        }
    }
    return items;
}

std::string fileBytes(const std::string &path) {
    std::error_code error;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(file, error)) {
        const std::filesystem::path folder = file.parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, error))
            throw VBError(VBErr::PathNotFound, "path not found");
        throw VBError(53, "file not found");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw VBError(75, "path/file access error");
    std::string bytes;
    in.seekg(0, std::ios::end);
    bytes.resize(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// Level the display starts on: 2 when there are two or more levels.
int startLevel() {
    int n = 1;
    while (n <= 250 && !IsUnusedLevel(n))
        ++n;
    return std::max(n, 2) - 1 >= 2 ? 2 : 1;
}

// The airway records a load left out, with how many and why.
std::string airwaysLeftOut(int unreadable, int empty) {
    return LeftOutText("airway record", "airway records", "the network",
                       {{unreadable, "could not be read"},
                        {empty, "held no airway (no branch code and every coordinate 0)"}});
}

// One message on all the damage a whole load stepped over.
void reportDamage(std::initializer_list<std::string> texts) {
    std::string said;
    for (const std::string &text : texts)
        if (!text.empty())
            said += (said.empty() ? "" : "\r\n") + text;
    if (!said.empty())
        VB::MsgBox(said, VB::vbExclamation);
}

// Rebuilds everything derived from the loaded data; returns how many loaded records held no airway.
int rebuildAfterLoad(bool merge, int firstMerged, int fanOffset) {
    FillLevelList();
    const int level = startLevel();
    LevelScrollValue = level;
    RLWindowLow = LevelRange(level, 2);
    RLWindowHigh = LevelRange(level, 1);
    LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
    for (int i = 1; i <= 48; ++i)
        SecondaryLayerVisible(i) = true;
    for (int i = 1; i <= 8; ++i)
        PrimaryLayerVisible(i) = true;
    Shell().SetGraphicsWindowLook(ActiveWindow, ColourTable(3), ScreenBuffer);
    if (merge)
        for (int a = firstMerged; a <= AirwayCount; ++a)
            if (AirwayFan(a) > 0) {
                AirwayFan(a) += fanOffset;
                if (AirwayFan(a) > MaxFans)
                    AirwayFan(a) = 0;
            }
    const int loaded = AirwayCount;
    UpdateNodeKeys();
    const int empty = loaded - AirwayCount;
    CalcAllAirways();
    FillViewList();

    Upper().ShowViewListTopInPlan();
    if (ViewName(0).empty()) {
        Upper().SetVisibleAirways();
        Upper().FitNetwork();
        if (Shell().LevelScrollGetValue() != level)
            Shell().LevelScrollSetValue(level);
        else
            Upper().Redraw();
        Upper().ShowWindowTitle();
        Shell().LevelListSetIndex(level - 1);
    } else {
        Upper().RestoreView(0);
        Upper().Redraw();
        Upper().ShowWindowTitle();
        // A stored single-level view puts the level controls on its level.
        const int shown = static_cast<int>(LevelScrollValue);
        if (ViewMode == 1 && shown >= 1 && shown <= Shell().LevelScrollGetMax()) {
            Shell().LevelScrollSetValue(shown);
            Shell().LevelListSetIndex(shown - 1);
        }
    }
    if (AirwayCount > 0 && VisibleAirways(1) == 0) {
        Upper().FitNetwork();
        Upper().Redraw();
    }
    // The unit label and the window's caption: after a view of several levels no level choice has set it.
    Shell().ShowDisplayChoice();
    MarkResultsStale();
    ShowFileNote();
    Upper().CentreOfVisible();
    // New airways go on the level the controls show, not at the mean elevation of the network.
    Upper().ShowWorkingLevel();
    // No other window goes on showing what the network was before.
    Upper().ShowNetworkInEveryWindow(!merge);
    return empty;
}

} // namespace

void ReadViewLine(int slot) {
    if (!ViewName.InBounds(slot))
        return;
    ViewName(slot) = LineFields(1);
    auto single = [&](int field, int index) {
        if (!LineFields(field).empty())
            statement([&] { ViewSingles(slot, index) = strictSingle(field); });
    };
    for (int f = 1; f <= 22; ++f)
        single(f + 1, f);
    for (int f = 1; f <= 5; ++f) {
        if (LineFields(f + 23).empty()) {
            if (f == 4)
                ViewCurrency(slot, 4) = 255 * CurrencyScale;
            continue;
        }
        statement([&] {
            const double v = StrictValue(LineFields(f + 23));
            if (!(std::abs(v) <= 9e14))
                throw VBError(6, "overflow");
            ViewCurrency(slot, f) = static_cast<Currency>(VB::RoundHalfEven(v * CurrencyScale));
        });
    }
    for (int f = 23; f <= 26; ++f)
        single(f + 6, f);
}

void SkipToEndOfTag(TextFileReader &in) {
    std::string line;
    while (in.ReadLine(line))
        if (isTagsEnd(line))
            return;
}

LoadOutcome LoadNetwork() {
    if (ActiveWindow == -1) {
        ActiveWindow = 0;
        SetViewCaption();
    }
    if (NetworkFileName.empty())
        return LoadOutcome::NotOpened;
    const bool merge = LoadMode > 1;
    if (LoadMode < 1)
        LoadMode = 1;

    // Everything that can refuse the file is checked before anything changes.
    std::string text;
    try {
        text = fileBytes(NetworkFileName);
    } catch (const VBError &e) {
        try {
            loadError(e);
        } catch (const LoadStopped &) {
        }
        return LoadOutcome::NotOpened;
    }
    // Only the file that becomes the network's own is compared at its next save.
    const std::string path = NetworkFileName;
    const bool noteDigest = !merge && !IsRecoveryCopy(path);
    TextFileReader in = TextFileReader::FromText(std::move(text));
    // Worked out while the file is checked and read; declared after `in`, whose text it reads, so as to end
    // first.
    std::future<std::string> digest;
    if (noteDigest)
        digest = ContentDigestBeside(in.Text());
    std::string header;
    in.ReadLine(header);
    float version = 0;
    bool readable = true;
    try {
        ReadVersion(header, version);
        SplitFields(version, header.size() > 4 ? std::string_view(header).substr(4) : std::string_view(),
                    LineFields);
    } catch (const VBError &) {
        readable = false;
    }
    if (!readable || !startsWith(LineFields(1), "GUSTROM")) {
        VB::MsgBox("Not a GUSTROM File - Action Aborted", VB::vbExclamation);
        return LoadOutcome::NotOpened;
    }
    const bool version1 = version == 1.0f;
    if (version < 1.1f && !version1) {
        VB::MsgBox("Cannot read file format", VB::vbOKOnly);
        return LoadOutcome::NotOpened;
    }
    // Version 1.0 files have no sections: their list items are the levels and then the airways.
    std::vector<std::string> items;
    if (version1)
        items = listItems(in);
    const FileLayout layout =
        version1 ? FileLayout{version1Airways(items.size()), {}} : scanLayout(in.Text(), version, merge);
    if (!layout.damage.empty()) {
        VB::MsgBox(layout.damage, VB::vbExclamation);
        return LoadOutcome::NotOpened;
    }
    const int64_t lastNeeded = int64_t{LoadMode} + layout.airways - 1;
    if (lastNeeded > AirwayLimit - 1) {
        VB::MsgBox("File too big for current Gustrom Settings - Increase Default Size", VB::vbOKOnly);
        return LoadOutcome::NotOpened;
    }
    const std::string title = LineFields(2);
    std::string note = LineFields(5);
    const double xFlag = LenientValue(LineFields(3)), yFlag = LenientValue(LineFields(4));

    if (!IsRecoveryCopy(NetworkFileName)) {
        if (MoveToTopOfRecentFiles(NetworkFileName))
            AddRecentFile();
    }
    // A merge keeps the settings of the network in hand, its surface RL with them: the merged file's
    // settings are skipped.
    if (!merge)
        SurfacePressureRL = 99999;
    if (IsMasterFileName(NetworkFileName))
        VB::MsgBox("Caution - a MASTER SMM file is being loaded - this file will only be saved as a normal "
                   "SIM file unless otherwise specified in the SAVE dialog box",
                   VB::vbOKOnly);
    VB::SetScreenPointer(VB::vbHourglass);
    // Any flag other than 1 is a normal axis. A merge keeps the axes of the network in hand.
    if (!merge) {
        AxisSignX = VB::RoundHalfEven(1 - 2 * xFlag) == -1 ? -1 : 1;
        AxisSignY = VB::RoundHalfEven(1 - 2 * yFlag) == -1 ? -1 : 1;
    }

    const int firstMerged = LoadMode;
    Loader loader(in, version, merge);
    bool stopped = false;
    bool settingsRead = false;
    try {
        bool estimateDiameters = false;
        if (!merge) {
            ClearNetwork();
            NetworkTitle = title;
            FileNote = DecodeText(note);
            if (version < 2.4f && !version1)
                estimateDiameters =
                    VB::MsgBox(
                        "Gustrom now has a 'TOTAL PRESSURE' estimating function for fan power "
                        "calculation\r\n\r\nAllow Gustrom to estimate fan diameters and use this function?  ",
                        VB::vbYesNo | VB::vbQuestion, "Total Pressures") == VB::vbYes;
        }
        int lastSlot = MaxAirways - 1;
        auto ensureCapacity = [&] {
            // A file larger than the current capacity grows the arrays instead of loading part of it.
            if (lastNeeded + 1 > MaxAirways) {
                MaxAirways = static_cast<int32_t>(std::min<int64_t>(lastNeeded + 1, AirwayLimit));
                ReDimNetworkPreserve();
            }
            lastSlot = MaxAirways - 1;
        };
        if (version1) {
            std::size_t pos = 0;
            loader.readVersion1Levels(items, pos);
            ensureCapacity();
            loader.readVersion1Airways(items, pos, lastSlot);
        } else {
            // The file's sections all have their marker lines (the layout was checked before).
            auto settingsStart = [](std::string_view l) { return startsWith(l, "Defaults List"); };
            if (merge) {
                if (version > 1.5f) {
                    SkipToEndOfTag(in);
                } else if (version >= 1.5f) {
                    loader.skipUntil(settingsStart);
                    for (int i = 0; i < 29; ++i) {
                        std::string skipped;
                        loader.next(skipped);
                    }
                }
            } else if (version >= 1.5f) {
                loader.skipUntil(settingsStart);
                settingsRead = true;
                if (version <= 2.0f) {
                    loader.readPresetLines();
                } else if (version <= 2.7f) {
                    loader.readSevenTabLines();
                } else if (loader.next(CurrentLine)) {
                    statement([&] { ReadSettingsBlock(in); });
                    ReDimNetworkPreserve();
                }
                HoldSettingsInRange();
                Shell().SetMenuChecked("mnuConfirm", ConfirmActions);
                Shell().SetGraphicsWindowLook(ActiveWindow, ColourTable(3), ScreenBuffer);
                if (version <= 2.7f) {
                    if (ResistanceTypeValue(1) >= 1000)
                        ResistanceTypeValue(1) = 10000;
                    GraphicsDetail |= 0x100;
                    for (int k = 1; k <= 4; ++k)
                        FontName(k) = "Arial";
                }
                if (version != 1.5f)
                    loader.readViewsAndTags();
            }
            if (version >= 1.5f)
                loader.readFans(estimateDiameters && version < 2.4f);
            loader.readLevels();
            ensureCapacity();
            if (LoadMode >= MaxAirways - 1) {
                VB::MsgBox("File too big for current Gustrom Settings - Increase Default Size", VB::vbOKOnly);
            } else {
                if (version >= 2.6f)
                    loader.readFloatingTexts();
                loader.readAirways(lastSlot);
            }
        }
    } catch (const LoadStopped &) {
        stopped = true;
    } catch (const VBError &e) {
        // An error outside any single statement cannot be stepped over: the load ends there.
        try {
            loadError(e);
        } catch (const LoadStopped &) {
        }
        stopped = true;
    }

    // The file is the network's own from the first record read, whether or not the load was ended.
    if (noteDigest)
        NoteNetworkFileDigest(path, digest.get());
    const int empty = rebuildAfterLoad(merge, firstMerged, loader.fanOffset);
    if (settingsRead)
        Shell().SettingsReplaced();
    VB::SetScreenPointer(VB::vbDefault);
    if (stopped) {
        // What was read stays, but it is no longer that file: a save has to ask for a name.
        NetworkFileName.clear();
        NetworkSaved = 0;
        return LoadOutcome::Stopped;
    }
    // A load the user ended has left out the rest of the file at the user's word; a whole load tells.
    reportDamage({loader.heading, airwaysLeftOut(loader.unreadable, empty),
                  FansLeftOutText(loader.fansLeftOut, "the file's fan database"),
                  LeftOutText("level", "levels", "the network",
                              {{loader.levelsLeftOut, "held an RL outside its range"}}),
                  LeftOutText("floating text", "floating texts", "the network",
                              {{loader.textsUnreadable, "could not be read"},
                               {loader.textsOutOfRange, "held a position outside its range"}})});
    // A merged network differs from every file on disk.
    NetworkSaved = merge ? 0 : 255;
    return LoadOutcome::Loaded;
}
