// The data label of one airway for a display data code.
#include "model/Gustrom1.h"
#include "model/fan_efficiency.h"
#include "model/geometry.h"
#include "model/units.h"
#include "platform/VBMath.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

constexpr double Pi = 3.1415926;
constexpr float OffCurve = 9999;        // AirwayPressure of a fan beyond the end of its curve (Pa)
constexpr float NeverReached = 9999999; // AirwaySmokeTime of an airway the contaminant never reaches (s)

// Cross-section area from the shape bits (m²), without the services deduction; the last bit wins.
double areaOf(int a) {
    const double h = AirwaySize(1, a);
    const double w = AirwaySize(2, a);
    const int32_t flags = AirwayFlags(a);
    double area = 0;
    if (flags & AirwayFlag::Round)
        area = w * w * Pi / 4;
    if (flags & AirwayFlag::Rectangular)
        area = w * h;
    if (flags & AirwayFlag::Irregular)
        area = w;
    return area;
}

bool hasFan(int a) {
    return AirwayFan.InBounds(a) && AirwayFan(a) > 0 && FanDiameter.InBounds(AirwayFan(a));
}

// Static curve pressure of the airway's fan at curve point 1..10 (Pa); 0 without a fan.
double staticCurvePressure(int a, int point) {
    return hasFan(a) ? FanCurvePressure(1, point, AirwayFan(a)) : 0;
}

int fanCountOf(int a) {
    return AirwayFanCount(a) > 0 ? AirwayFanCount(a) : 1;
}

void labelResistance(int a) {
    const int type = AirwayResistanceType(a);
    if (type != 0 && ResistanceTypeName.InBounds(type))
        ResistanceLabel = ResistanceTypeName(type);
}

bool showsPower(int a) {
    return AirwayFan(a) != 0 || ((AirwayFlags(a) & AirwayFlag::FixedFlow) && AirwayPressure(a) > 0);
}

// Power of the airway's fans or of its fixing (kW), times `costFactor`; NaN when the efficiency is 0.
double fanPower(int a, double costFactor) {
    const double efficiency = FanEfficiency(a);
    const double q = AirwayFlow(a);
    const double p = AirwayPressure(a);
    double duty = p;
    if (p == -OffCurve)
        duty = staticCurvePressure(a, 1);
    if (p == OffCurve)
        duty = 0;
    double velocityPressure = 0;
    if (hasFan(a) && std::fabs(p) != OffCurve) {
        const double d = FanDiameter(AirwayFan(a));
        const double fanArea = Pi * d * d / 4 * fanCountOf(a);
        if (fanArea != 0)
            velocityPressure = AirDensity / 2.0 * (q / fanArea) * (q / fanArea);
    }
    if (efficiency == 0)
        return std::nan("");
    const double c = AirwayCurvePercent(a);
    return ((1 - c / 100) * velocityPressure + duty) * q / 1000 * costFactor / (efficiency / 100);
}

// Joins texts (a string literal in front of an operator+ upsets GCC 12's overlap warning).
std::string join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const auto part : parts)
        out += part;
    return out;
}

double roundTo4(double x) {
    return VB::RoundHalfEven(x * 10000) / 10000;
}

std::string valueText(int code, int a, int withUnits) {
    auto format = [&](double v, int quantity) {
        return FormatValue(static_cast<float>(v), quantity, withUnits, 0);
    };
    const double q = AirwayFlow(a);
    const double r = AirwayResistance(a);
    const double p = AirwayPressure(a);
    const int32_t flags = AirwayFlags(a);
    const bool fixedFlow = (flags & AirwayFlag::FixedFlow) != 0;
    const double yearHours = 24.0 * 365.0;
    switch (code) {
    case 12:
        if ((flags & AirwayFlag::LayerVisible) && (GraphicsDetail & 8))
            labelResistance(a);
        return format(q, 4);
    case 13: {
        const double area = areaOf(a);
        const int parallel = AirwayParallelCount(a) > 0 ? AirwayParallelCount(a) : 1;
        if (area == 0)
            return {};
        return format(q / area / parallel, 2);
    }
    case 22:
        if (AirwayFan(a) != 0)
            return format(r * q * q, 8);
        return format(static_cast<double>(AirwayStartPressure(a)) - AirwayEndPressure(a), 8);
    case 23:
        return format(q * q * CalcResistance(a), 8);
    case 24:
        if (AirwayFan(a) == 0 && !fixedFlow)
            return {};
        if (p == -OffCurve) {
            double stall = staticCurvePressure(a, 1);
            if (flags & AirwayFlag::FansInSeries)
                stall *= fanCountOf(a);
            return join({"Stall @", format(stall, 8)});
        }
        if (p == OffCurve)
            return join({"Negate @", format(staticCurvePressure(a, 10), 8)});
        return format(p, 8);
    case 25: {
        double x = std::fabs((static_cast<double>(AirwayStartPressure(a)) - AirwayEndPressure(a)) -
                             q * q * CalcResistance(a));
        if (fixedFlow || AirwayFan(a) != 0)
            x = -p;
        if (std::fabs(x) == OffCurve)
            return "N/A";
        return format(areaOf(a) * x / 9.81, 9);
    }
    case 32:
        labelResistance(a);
        return format(r, 5);
    case 33:
        return format(AirwayShockLength(a), 1);
    case 34:
        return format(AirwayFrictionFactor(a), 10);
    case 35: {
        std::string text;
        if (flags & AirwayFlag::Irregular)
            text = join({"Area ", format(AirwaySize(2, a), 3), "  P ", format(AirwaySize(1, a), 1)});
        if (flags & AirwayFlag::Rectangular)
            text = join({format(AirwaySize(1, a), 1), " x ", format(AirwaySize(2, a), 1)});
        if (flags & AirwayFlag::Round)
            text = join({"Diam ", format(AirwaySize(2, a), 1)});
        return text;
    }
    case 36:
        return format(AirwayLength(a), 14);
    case 42:
        return format(q * q * q * r / 1000, 7);
    case 43: {
        if (!showsPower(a))
            return {};
        const double power = fanPower(a, 1);
        return std::isnan(power) ? std::string() : format(power, 7);
    }
    case 44:
        if (AirPowerEfficiency == 0)
            return {};
        return format(roundTo4(q * q * q * r / 1000 * PowerCost * yearHours / AirPowerEfficiency), 11);
    case 45: {
        if (!showsPower(a))
            return {};
        const double cost = fanPower(a, PowerCost * yearHours);
        return std::isnan(cost) ? std::string() : format(roundTo4(cost), 11);
    }
    case 52:
        return join({AirwayNumber(a) >= 0 ? " " : "", std::to_string(AirwayNumber(a))});
    case 53:
        return join({std::to_string(AirwayPrimaryLayer(a)), ",", std::to_string(AirwaySecondaryLayer(a))});
    case 54: {
        const int primary = AirwayPrimaryLayer(a), secondary = AirwaySecondaryLayer(a);
        return join({PrimaryLayerName.InBounds(primary) ? PrimaryLayerName(primary) : std::string(), ",",
                     SecondaryLayerName.InBounds(secondary) ? SecondaryLayerName(secondary) : std::string()});
    }
    case 55: {
        const double amount = SmokeMode == 1 ? AirwaySmoke(2, a) : AirwayContaminant(a);
        if (amount == 0)
            return {};
        return FormatPattern(static_cast<float>(amount + 0.2), "0", 7);
    }
    case 56: {
        const float seconds = AirwaySmokeTime(a);
        if (seconds == NeverReached)
            return {};
        return FormatValue(static_cast<float>(seconds / 86400.0), 12, withUnits, 0);
    }
    default:
        return {};
    }
}

} // namespace

std::string AirwayDataText(int dataCode, int airway, int withUnits) {
    if (!AirwayFlags.InBounds(airway))
        return {};
    const int a = airway;
    std::string text = valueText(dataCode, a, withUnits);
    const int fan = AirwayFan(a);
    if (fan > 0 && withUnits == 0) {
        text = join({"Fan", std::to_string(fan), ":", text});
        if (AirwayFanCount(a) > 1)
            text = join({std::to_string(AirwayFanCount(a)), "x", text});
    }
    if (fan == -1)
        text = join({"FixP ", text});
    if (AirwayFlags(a) & AirwayFlag::FixedFlow)
        text = join({"FixQ ", text});
    if (AirwayParallelCount(a) > 1)
        text = join({"[", std::to_string(AirwayParallelCount(a)), "] ", text});
    return text;
}
