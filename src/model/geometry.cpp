#include "model/geometry.h"

#include "model/Gustrom1.h"
#include "model/airway_fields.h"
#include "model/upper_layers.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr double Pi = 3.1415926;
constexpr double ServicesArea = 0.8;    // m² taken by pipes and cables
constexpr double LeastArea = 0.05;      // m²
constexpr double LeastResistance = 0.00001;
constexpr double ReferenceDensity = 1.2; // kg/m³

struct Section {
    double area = 0;
    double perimeter = 0;
};

// Area and perimeter from the shape; with several shape bits set the one OneShape keeps counts. Only a
// round airway's unused height is cleared, never a size that the counting shape reads.
Section shapeOf(int a) {
    Section s;
    const double h = AirwaySize(1, a);
    const double w = AirwaySize(2, a);
    const int32_t shape = OneShape(AirwayFlags(a));
    if (shape & AirwayFlag::Round) {
        s.area = w * w * Pi / 4;
        s.perimeter = w * Pi;
        AirwaySize(1, a) = 0;
    } else if (shape & AirwayFlag::Rectangular) {
        s.area = w * h;
        s.perimeter = 2 * w + 2 * h;
    } else if (shape & AirwayFlag::Irregular) {
        s.area = w;
        s.perimeter = h;
    }
    return s;
}

// Presets are copied into the airway; a type code outside the tables leaves the airway's own value.
void copyPresets(int a) {
    const int wall = AirwayWallType(a);
    if (wall < TypedPreset && WallTypeFactor.InBounds(wall)) AirwayFrictionFactor(a) = WallTypeFactor(wall);
    const int shock = AirwayShockType(a);
    if (shock < 6 && ShockTypeLength.InBounds(shock)) AirwayShockLength(a) = ShockTypeLength(shock);
}

// Stores the length rounded down to whole metres unless fixed, and returns the length the resistance uses.
double lengthFor(int a) {
    const double dx = static_cast<double>(AirwayStart(1, a)) - AirwayEnd(1, a);
    const double dy = static_cast<double>(AirwayStart(2, a)) - AirwayEnd(2, a);
    const double dz = static_cast<double>(AirwayStart(3, a)) - AirwayEnd(3, a);
    const float d = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    if (AirwayFlags(a) & AirwayFlag::FixedLength) return AirwayLength(a);
    AirwayLength(a) = std::floor(d);
    return d;
}

double friction(int a, const Section& s, double length) {
    const double k = AirwayFrictionFactor(a);
    return k * s.perimeter * (length + AirwayShockLength(a)) * AirDensity /
           (s.area * s.area * s.area * ReferenceDensity);
}

// A value a single cannot hold is an overflow: the target keeps its value.
bool storable(double v) { return std::isfinite(v) && std::fabs(v) <= FLT_MAX; }

} // namespace

int32_t OneShape(int32_t flags) {
    constexpr int32_t shapes = AirwayFlag::Round | AirwayFlag::Rectangular | AirwayFlag::Irregular;
    for (const int32_t shape : {AirwayFlag::Irregular, AirwayFlag::Rectangular})
        if (flags & shape)
            return (flags & ~shapes) | shape;
    return flags;
}

void CalcAirway(int a) {
    if (AirwayParallelCount(a) == 0) AirwayParallelCount(a) = 1;
    double preset = 0;
    const int type = AirwayResistanceType(a);
    if (type != 0 && ResistanceTypeValue.InBounds(type)) preset = ResistanceTypeValue(type);
    Section s = shapeOf(a);
    if (AirwayFlags(a) & AirwayFlag::Services) s.area -= ServicesArea;
    if (s.area <= 0) s.area = LeastArea;
    copyPresets(a);
    const double length = lengthFor(a);
    if (type == TypedPreset) return;
    const double r = friction(a, s, length);
    if (storable(r)) AirwayResistance(a) = static_cast<float>(r);
    if (AirwayResistance(a) == 0) AirwayResistance(a) = static_cast<float>(LeastResistance);
    if (PresetResistanceReplaces == 1)
        AirwayResistance(a) = static_cast<float>(preset);
    else if (storable(preset + AirwayResistance(a)))
        AirwayResistance(a) = static_cast<float>(preset + AirwayResistance(a));
    const int n = AirwayParallelCount(a);
    if (n > 1) AirwayResistance(a) = static_cast<float>(AirwayResistance(a) / (static_cast<double>(n) * n));
}

void CalcAllAirways() {
    for (int a = 1; a <= AirwayCount; ++a) CalcAirway(a);
}

double CalcResistance(int a) {
    Section s = shapeOf(a);
    if (s.area <= 0) s.area = LeastArea;
    copyPresets(a);
    return friction(a, s, lengthFor(a));
}

bool IsEmptyAirwaySlot(int a) {
    if (AirwayFlags(a) != 0)
        return false;
    for (int c = 1; c <= 3; ++c)
        if (AirwayStart(c, a) != 0 || AirwayEnd(c, a) != 0)
            return false;
    return true;
}

// Only empty slots go: a record read with no branch code still holds an airway.
void PackAirways() {
    const int n = AirwayCount;
    int d = 0;
    for (int s = 1; s <= n; ++s) {
        if (IsEmptyAirwaySlot(s)) continue;
        ++d;
        if (d != s) MoveAirwayFields(s, d);
    }
    for (int s = d + 1; s <= n; ++s) ClearAirway(s);
    AirwayCount = d;
    Upper().SetVisibleAirways();
    Upper().RotateView();
}
