#pragma once
// Reading drawings for the import: the airways a file holds are staged here first, and join the network
// only when the whole file has been read. A DXF drawing gives one airway per LINE and 3DLINE and one per
// segment of a POLYLINE or LWPOLYLINE; everything else in the drawing is passed over.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One airway as read from an import file.
struct ImportedAirway {
    std::array<int32_t, 3> start{}, end{}; // X, Y, Z in whole metres
    float flow = 0;                        // m³/s
    float resistance = 0;                  // Ns²/m⁸
    int fan = 0, fanCount = 0;
    std::string name, startName, endName;
    float height = 0, width = 0; // m (area and perimeter for irregular airways)
    // What a table the program wrote also carries: the airway's flags, its surface ends marked, and its
    // fixed or fan pressure (Pa).
    std::optional<int32_t> flags;
    std::optional<float> pressure;
};

// The user answered No to "continue loading": the import ends and changes nothing.
struct ImportAborted {};

// The staged airways of one import, the capacity left and the failure question.
class ImportReading {
public:
    // `firstSlot` is the slot the first airway will take; `progress` is told the count every 1,000 airways.
    ImportReading(int firstSlot, std::function<void(int)> progress);

    std::vector<ImportedAirway> airways;
    // The slot the next airway would take.
    int NextSlot() const { return firstSlot_ + static_cast<int>(airways.size()); }
    // Adds an airway and reports progress.
    void Add(ImportedAirway airway);
    // Asks "Error Loading Data - Do you wish to continue loading ?"; throws ImportAborted on No.
    void Failure() const;
    // A value conversion that may fail: on a failure asks, and on Yes leaves `target` as it was.
    template <typename T, typename Convert> void Read(T &target, Convert convert) const;

private:
    int firstSlot_;
    std::function<void(int)> progress_;
};

// The leading number of the text ("." or "," decimal mark, 0 when there is none). Values above 9,999,999 keep
// only their part below ten million, after a warning shown once in the program's run.
double LimitCoordinate(std::string_view text);
// The warning of LimitCoordinate has been shown in this run.
extern bool CoordinateWarningShown;
// A coordinate of an import file in whole metres: LimitCoordinate, as a single, from display units of
// length, rounded halves to even. VBError 6 when it does not fit.
int32_t ImportCoordinate(std::string_view text);

// Stages the airways of a DXF file, lines ended by CR LF, LF or CR. Stops at its EOF marker, or when the
// next slot would pass MaxAirways - 1 ("Data exceeds maximum number of nodes!"). A file that ends without
// the marker, inside an entity or with its ENTITIES section open was cut short: the failure question is
// asked once, and on Yes only the entities read whole stay. A file written by the program's own screen
// export (its banner first) gives its lines only.
void ReadDxfFile(const std::string &path, ImportReading &reading);

template <typename T, typename Convert> void ImportReading::Read(T &target, Convert convert) const {
    try {
        target = convert();
    } catch (const std::exception &) {
        Failure();
    }
}
