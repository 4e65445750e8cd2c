#include "exchange/dxf_reader.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cctype>
#include <utility>

bool CoordinateWarningShown = false;

namespace {

constexpr int LengthQuantity = 1;
constexpr double CoordinateLimit = 9999999;
constexpr int ProgressStep = 1000;

// POLYLINE flags of a 3-D polyline and of the two meshes: their vertices carry their own elevations.
constexpr int NotFlat = 8 | 16 | 64;

std::string trimmedUpper(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    std::string out(s.substr(first, s.find_last_not_of(" \t") - first + 1));
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

// The file ended inside an entity.
struct CutShort {};

// Group-code / value line pairs of a DXF file.
class Pairs {
public:
    explicit Pairs(const std::string &path) : in_(path) {}

    int code = -1;
    std::string value; // trimmed and upper-cased for code 0, as read otherwise

    // The next pair; false at the end of the file (a code without its value line counts as the end).
    bool Next() {
        std::string codeLine;
        if (!in_.ReadLine(codeLine) || !in_.ReadLine(value))
            return false;
        const double c = LenientValue(codeLine);
        code = c >= -32768 && c <= 32767 ? static_cast<int>(c) : -1;
        if (code == 0)
            value = trimmedUpper(value);
        return true;
    }
    // The next pair inside an entity.
    void Need() {
        if (!Next())
            throw CutShort{};
    }
    // The pair read last is the file's last, and its value may have been cut.
    bool Last() const { return in_.AtEnd(); }

private:
    TextFileReader in_;
};

struct Point {
    std::array<int32_t, 3> p{};
};

class DxfReader {
public:
    DxfReader(const std::string &path, ImportReading &reading) : pairs_(path), reading_(reading) {}

    void Read() {
        int ownFile = 0; // 1 for the program's own screen export, -1 for any other drawing
        bool inHand = false;
        bool sections = false;
        std::string section;
        try {
            for (;;) {
                if (!inHand) {
                    // A drawing ends with its EOF marker; without it the file was cut short.
                    if (!pairs_.Next())
                        throw CutShort{};
                    if (ownFile == 0)
                        ownFile = trimmedUpper(pairs_.value).rfind("GUSTROM", 0) == 0 ? 1 : -1;
                }
                inHand = false;
                if (pairs_.code != 0)
                    continue;
                const std::string entity = pairs_.value;
                if (entity == "EOF") {
                    // An ENTITIES section still open at the end marker lost its end.
                    if (section == "ENTITIES")
                        throw CutShort{};
                    return;
                }
                if (entity == "SECTION") {
                    // Only the ENTITIES section holds the drawing: block definitions are not drawn as such.
                    sections = true;
                    if (!pairs_.Next())
                        throw CutShort{};
                    section = pairs_.code == 2 ? trimmedUpper(pairs_.value) : std::string();
                    inHand = pairs_.code == 0;
                    continue;
                }
                if (entity == "ENDSEC") {
                    section.clear();
                    continue;
                }
                if (sections && section != "ENTITIES")
                    continue;
                // A full network takes no airway more: the check comes before anything is staged.
                const bool makesAirways = entity == "LINE" || entity == "3DLINE" ||
                                          (ownFile == -1 && (entity == "POLYLINE" || entity == "LWPOLYLINE"));
                if (makesAirways && full())
                    return;
                if (entity == "LINE" || entity == "3DLINE") {
                    line();
                    inHand = true;
                } else if (entity == "POLYLINE" && ownFile == -1) {
                    polyline();
                    inHand = true;
                } else if (entity == "LWPOLYLINE" && ownFile == -1) {
                    lightPolyline();
                    inHand = true;
                }
                if (full())
                    return;
            }
        } catch (const CutShort &) {
            // The entity the file ends in is lost; the whole ones before it stay when the user goes on.
            reading_.Failure();
        }
    }

private:
    Pairs pairs_;
    ImportReading &reading_;

    bool full() const {
        if (reading_.NextSlot() <= MaxAirways - 1)
            return false;
        VB::MsgBox("Data exceeds maximum number of nodes!");
        return true;
    }

    void coordinate(int32_t &target) {
        reading_.Read(target, [this] { return ImportCoordinate(pairs_.value); });
    }

    // Stores a coordinate group of a LINE or 3DLINE.
    void lineGroup(ImportedAirway &a) {
        switch (pairs_.code) {
        case 10:
            coordinate(a.start[0]);
            break;
        case 20:
            coordinate(a.start[1]);
            break;
        case 30:
            coordinate(a.start[2]);
            break;
        case 11:
            coordinate(a.end[0]);
            break;
        case 21:
            coordinate(a.end[1]);
            break;
        case 31:
            coordinate(a.end[2]);
            break;
        default:
            break;
        }
    }

    // A line whose ends round to one point is no airway.
    void addLine(ImportedAirway &&a) {
        if (a.start != a.end)
            reading_.Add(std::move(a));
    }

    // A LINE or 3DLINE: its groups run to the next group 0, whichever of its coordinates it gives.
    void line() {
        ImportedAirway a;
        for (pairs_.Need(); pairs_.code != 0; pairs_.Need())
            lineGroup(a);
        addLine(std::move(a));
    }

    // One airway per segment between consecutive points that differ; stops when the capacity is reached.
    void segments(const std::vector<Point> &points) {
        for (std::size_t i = 1; i < points.size(); ++i) {
            if (points[i].p == points[i - 1].p)
                continue;
            if (reading_.NextSlot() > MaxAirways - 1)
                return;
            ImportedAirway a;
            a.start = points[i - 1].p;
            a.end = points[i].p;
            reading_.Add(std::move(a));
        }
    }

    void polyline() {
        int flags = 0;
        int32_t elevation = 0;
        for (pairs_.Need(); pairs_.code != 0; pairs_.Need()) {
            if (pairs_.code == 70)
                flags = LenientInteger(LenientValue(pairs_.value));
            else if (pairs_.code == 30)
                coordinate(elevation);
        }
        // A flat polyline lies at its header's elevation; its vertices carry 0.
        const bool flat = (flags & NotFlat) == 0;
        std::vector<Point> points;
        while (pairs_.value == "VERTEX") {
            Point v;
            if (flat)
                v.p[2] = elevation;
            for (pairs_.Need(); pairs_.code != 0; pairs_.Need()) {
                if (pairs_.code == 10)
                    coordinate(v.p[0]);
                else if (pairs_.code == 20)
                    coordinate(v.p[1]);
                else if ((pairs_.code == 30 || pairs_.code == 38) && !flat)
                    coordinate(v.p[2]);
            }
            points.push_back(v);
        }
        // The vertices end at SEQEND (or at whatever entity follows when a writer left it out). Anything
        // else as the file's last pair may be a vertex cut short, and the polyline with it.
        if (pairs_.value != "SEQEND" && pairs_.Last())
            throw CutShort{};
        segments(points);
    }

    void lightPolyline() {
        int32_t elevation = 0;
        std::vector<Point> points;
        bool haveY = true;
        for (pairs_.Need(); pairs_.code != 0; pairs_.Need()) {
            if (pairs_.code == 38 || pairs_.code == 30) {
                coordinate(elevation);
            } else if (pairs_.code == 10) {
                points.emplace_back();
                coordinate(points.back().p[0]);
                haveY = false;
            } else if (pairs_.code == 20 && !haveY) {
                coordinate(points.back().p[1]);
                haveY = true;
            }
        }
        for (Point &v : points)
            v.p[2] = elevation;
        segments(points);
    }
};

} // namespace

ImportReading::ImportReading(int firstSlot, std::function<void(int)> progress)
    : firstSlot_(firstSlot), progress_(std::move(progress)) {}

void ImportReading::Add(ImportedAirway airway) {
    airways.push_back(std::move(airway));
    if (progress_ && airways.size() % ProgressStep == 0)
        progress_(static_cast<int>(airways.size()));
}

void ImportReading::Failure() const {
    if (VB::MsgBox("Error Loading Data - Do you wish to continue loading ?", VB::vbYesNo | VB::vbQuestion,
                   "Import Error") != VB::vbYes)
        throw ImportAborted{};
}

double LimitCoordinate(std::string_view text) {
    double value = LenientValue(text);
    if (value > CoordinateLimit) {
        if (!CoordinateWarningShown) {
            CoordinateWarningShown = true;
            VB::MsgBox("Coordinate data exceeds 9999999 - it will be truncated to fit Gustrom limits");
            VB::DoEvents();
        }
        value -= VB::Int(value / 10000000) * 10000000;
    }
    return value;
}

int32_t ImportCoordinate(std::string_view text) {
    float value = StrictSingle(LimitCoordinate(text));
    return StrictLong(FromDisplayUnits(value, LengthQuantity));
}

void ReadDxfFile(const std::string &path, ImportReading &reading) {
    DxfReader(path, reading).Read();
}
