#include "exchange/network_summary.h"

#include "model/Gustrom1.h"
#include "model/fan_efficiency.h"
#include "model/node_keys.h"

#include <cmath>

namespace {

constexpr float Stalled = -9999; // the fan works below the first point of its curve
constexpr float Beyond = 9999;   // beyond its last point

} // namespace

NetworkSummary SumNetwork() {
    NetworkSummary s;
    for (int a = 1; a <= AirwayCount; ++a) {
        const double q = AirwayFlow(a);
        const int fan = AirwayFan(a);
        const bool fixedFlow = (AirwayFlags(a) & AirwayFlag::FixedFlow) != 0;
        if (AirwayStartKey(a) == SurfaceNodeKey)
            s.totalAirflow += q;
        s.airPower += static_cast<double>(AirwayResistance(a)) * q * q * q;
        double p = 0;
        if (fan != 0 || fixedFlow) {
            p = AirwayPressure(a);
            if (AirwayPressure(a) == Stalled)
                p = FanInDatabase(fan) ? FanCurvePressure(1, 1, fan) : 0;
            else if (AirwayPressure(a) == Beyond)
                p = 0;
        }
        if (fan != 0) {
            // A fan without efficiency at its duty point counts at the default efficiency; none at all
            // leaves its term out.
            double efficiency = FanEfficiency(a);
            if (efficiency == 0)
                efficiency = AirPowerEfficiency * 100.0;
            double velocityPressure = 0;
            if (std::fabs(AirwayPressure(a)) != Beyond && FanInDatabase(fan)) {
                const double area = static_cast<double>(FanDiameter(fan)) * FanDiameter(fan) * 3.141592654 /
                                    4 * AirwayFanCount(a);
                if (area != 0)
                    velocityPressure = AirDensity * (q / area) * (q / area) / 2;
            }
            if (efficiency != 0)
                s.inputPower +=
                    q * (p + (1 - AirwayCurvePercent(a) / 100.0) * velocityPressure) / (efficiency / 100);
        } else if (fixedFlow && p > 0 && AirPowerEfficiency != 0) {
            s.inputPower += p * q / AirPowerEfficiency;
        }
        s.totalLength += AirwayLength(a);
        if (fan > 0)
            s.fanCount += AirwayFanCount(a);
    }
    return s;
}
