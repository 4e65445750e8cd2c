#include "model/fan_file.h"

#include "model/Gustrom1.h"
#include "model/comma_values.h"
#include "model/left_out.h"
#include "model/safe_file.h"
#include "model/text_files.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"

#include <QFileInfo>
#include <vector>

namespace {

constexpr float FanFileVersion = 2.6f;
// Fans above this number need the capacity noted in the file, so that a reader allocates them.
constexpr int DefaultFanCapacity = 250;

std::string fanFilePath() {
    return AppFolder + "fansdata.dat";
}

bool hasCurve(int f) {
    return FanCurvePressure(1, 1, f) != 0 || FanCurvePressure(2, 1, f) != 0;
}

// A fan is kept in the file when it has a curve or at least a name.
bool worthKeeping(int f) {
    return hasCurve(f) || !FanName(f).empty();
}

// The fans of the file read last that were left out, by reason.
FansLeftOut leftOut;

// A fan read whole is kept unless a value lies outside its rule; either way a damaged fan is emptied and
// counted, and the fans after it are read.
void keepIfWhole(int f, bool whole) {
    if (whole && FanInRange(f))
        return;
    EmptyFan(f);
    ++(whole ? leftOut.outOfRange : leftOut.unreadable);
}

void readCommaFans(TextFileReader &in) {
    CommaValueReader values(in);
    for (int f = 1; f <= MaxFans && !values.AtEnd(); ++f) {
        bool whole = true;
        try {
            FanName(f) = Trim(values.Text());
            for (int p = 1; p <= 10; ++p) {
                FanCurvePressure(1, p, f) = static_cast<float>(values.Number());
                FanCurveFlow(p, f) = static_cast<float>(values.Number());
                FanCurvePressure(2, p, f) = FanCurvePressure(1, p, f);
            }
        } catch (const VBError &) {
            whole = false; // the file ends inside the fan
        }
        keepIfWhole(f, whole);
    }
}

// Fan f from its fan line (in LineFields) and the ten point lines after it.
bool readTabFan(int f, const std::vector<std::string> &points, float version) {
    try {
        FanName(f) = Trim(LineFields(2));
        FanDiameter(f) = StrictSingle(StrictValue(LineFields(3)));
        for (int p = 1; p <= 10; ++p) {
            std::string line = points[static_cast<std::size_t>(p - 1)];
            SplitFields(version, line, LineFields);
            FanCurvePressure(1, p, f) = StrictSingle(StrictValue(LineFields(2)));
            FanCurveFlow(p, f) = StrictSingle(StrictValue(LineFields(3)));
            FanCurveEfficiency(p, f) = LenientInteger(LenientValue(LineFields(4)));
            if (!LineFields(5).empty())
                FanCurvePressure(2, p, f) = StrictSingle(StrictValue(LineFields(5)));
        }
    } catch (const VBError &) {
        return false;
    }
    return true;
}

void readTabFans(TextFileReader &in, float version) {
    for (int f = 1; f <= MaxFans; ++f)
        EmptyFan(f);
    std::string line = in.LineInput();
    SplitFields(version, line, LineFields);
    if (!LineFields(4).empty()) {
        const int capacity = LenientInteger(LenientValue(LineFields(4)));
        if (capacity > MaxFans) {
            MaxFans = capacity;
            ReDimNetworkPreserve();
        }
    }
    in.LineInput();
    std::vector<std::string> points;
    while (in.ReadLine(line)) {
        if (line.empty())
            continue;
        // A fan is its line and ten point lines: all eleven are taken before any is read, so that a fan
        // that fails leaves the next one on its own lines.
        points.clear();
        for (std::string point; points.size() < 10 && in.ReadLine(point);)
            points.push_back(point);
        SplitFields(version, line, LineFields);
        const int f = LenientInteger(LenientValue(LineFields(1)));
        if (f < 1 || f > MaxFans)
            ++leftOut.noSlot;
        else
            keepIfWhole(f, points.size() == 10 && readTabFan(f, points, version));
    }
}

// The fans a file holds, counted as the reader takes them.
int fansInFile(const std::string &path) {
    int count = 0;
    try {
        TextFileReader in(path);
        std::string line = in.LineInput();
        float version = 0;
        ReadVersion(line, version);
        if (version == 1.0f) {
            CommaValueReader values(in);
            while (!values.AtEnd()) {
                bool kept = !Trim(values.Text()).empty();
                for (int v = 0; v < 20 && !values.AtEnd(); ++v)
                    kept = values.Number() != 0 || kept;
                count += kept ? 1 : 0;
            }
        } else if (version >= 1.5f) {
            in.LineInput();
            in.LineInput();
            while (in.ReadLine(line)) {
                ++count;
                for (int p = 1; p <= 10 && in.ReadLine(line); ++p) {
                }
            }
        }
    } catch (const VBError &) {
    }
    return count;
}

std::string fansText(int count) {
    return std::to_string(count) + (count == 1 ? " fan" : " fans");
}

} // namespace

std::string FanFileReplacement() {
    if (!QFileInfo::exists(ToQt(fanFilePath())))
        return {};
    int toWrite = 0;
    for (int f = 1; f <= MaxFans; ++f)
        toWrite += worthKeeping(f) ? 1 : 0;
    return "The fan database file " + fanFilePath() + " holds " + fansText(fansInFile(fanFilePath())) +
           " and will hold " + fansText(toWrite) + ".";
}

void LoadFanData() {
    FanDataChanged = 255;
    FileVersion = 0;
    leftOut = {};
    try {
        TextFileReader in(fanFilePath());
        std::string header = in.LineInput();
        float version = 0;
        ReadVersion(header, version);
        FileVersion = version;
        SplitFields(version, header, LineFields);
        if (!LineFields(2).empty())
            FanDataRevision = LenientLong(LenientValue(LineFields(2)));
        if (version == 1.0f)
            readCommaFans(in);
        else if (version >= 1.5f)
            readTabFans(in, version);
    } catch (const VBError &e) {
        const std::string text =
            FileErrorText(e.number, "Can't find FAN DATABASE",
                          "ERROR " + std::to_string(e.number) + " occurred while loading fans.");
        VB::MsgBox(text, VB::vbExclamation);
        VB::SetScreenPointer(VB::vbDefault);
    }
    const std::string text = FansLeftOutText(leftOut, "the fan database");
    if (!text.empty())
        VB::MsgBox(text, VB::vbExclamation);
}

void EmptyFan(int f) {
    FanName(f).clear();
    FanDiameter(f) = 0;
    for (int p = 1; p <= 10; ++p) {
        FanCurvePressure(1, p, f) = 0;
        FanCurvePressure(2, p, f) = 0;
        FanCurveFlow(p, f) = 0;
        FanCurveEfficiency(p, f) = 0;
    }
}

std::string FansLeftOutText(const FansLeftOut &fans, const std::string &from) {
    return LeftOutText("fan", "fans", from,
                       {{fans.unreadable, "could not be read"},
                        {fans.outOfRange, "held a value outside its range"},
                        {fans.noSlot, "had a fan number outside the database"}});
}

bool SaveFanData() {
    // A file may hold the highest revision there is: it stays the highest.
    const int32_t revision = FanDataRevision < INT32_MAX ? FanDataRevision + 1 : INT32_MAX;
    const char separator = VB::LocaleDecimalSeparator();
    int highest = 0;
    for (int f = 1; f <= MaxFans; ++f)
        if (worthKeeping(f))
            highest = f;
    std::string out;
    AppendNumberText(out, FanFileVersion, separator);
    out += " GUSTROM\t";
    AppendNumberText(out, revision);
    out += "\r\nFan Number\tFan Name\tFan Effective Diameter";
    if (highest > DefaultFanCapacity) {
        out += '\t';
        AppendNumberText(out, static_cast<int32_t>(MaxFans));
    }
    out += "\r\nPoint\tStatic Pressure (Pa)\tQuantity (m3/s)\tEfficiency (%)\tTotal Pressure (Pa)\r\n";
    for (int f = 1; f <= highest; ++f) {
        if (!worthKeeping(f))
            continue;
        AppendNumberText(out, static_cast<int32_t>(f));
        out += '\t';
        // A control character in a name would break the line structure of the file.
        std::string name = FanName(f);
        ReplaceControlCharacters(name);
        out += name;
        out += '\t';
        AppendNumberText(out, FanDiameter(f), separator);
        out += "\r\n";
        for (int p = 1; p <= 10; ++p) {
            AppendNumberText(out, static_cast<int32_t>(p));
            out += '\t';
            AppendNumberText(out, FanCurvePressure(1, p, f), separator);
            out += '\t';
            AppendNumberText(out, FanCurveFlow(p, f), separator);
            out += '\t';
            AppendNumberText(out, static_cast<int32_t>(FanCurveEfficiency(p, f)));
            out += '\t';
            AppendNumberText(out, FanCurvePressure(2, p, f), separator);
            out += "\r\n";
        }
    }
    try {
        ReplaceFileContents(fanFilePath(), out);
    } catch (const VBError &) {
        VB::MsgBox("Error saving the fan database", VB::vbExclamation);
        return false;
    }
    FanDataRevision = revision;
    FanDataChanged = 255;
    return true;
}
