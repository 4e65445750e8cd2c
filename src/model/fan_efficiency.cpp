#include "model/fan_efficiency.h"

#include "model/Gustrom1.h"

float FanDutyEfficiency = 0;

bool FanInDatabase(int f) {
    return f >= 1 && f <= MaxFans && FanName.InBounds(f) && !FanName(f).empty();
}

float FanEfficiency(int airway, double &flowPerFan) {
    flowPerFan = AirwayFlow(airway);
    FanDutyEfficiency = AirPowerEfficiency * 100;
    const int f = AirwayFan(airway);
    if (f <= 0 || !FanInDatabase(f))
        return FanDutyEfficiency;
    int sum = 0;
    for (int p = 1; p <= 10; ++p)
        sum += FanCurveEfficiency(p, f);
    if (sum == 0)
        return FanDutyEfficiency;
    if (!(AirwayFlags(airway) & AirwayFlag::FansInSeries) && AirwayFanCount(airway) > 0)
        flowPerFan = AirwayFlow(airway) / static_cast<double>(AirwayFanCount(airway));
    const double q = flowPerFan;
    if (q > FanCurveFlow(10, f)) {
        FanDutyEfficiency = static_cast<float>(FanCurveEfficiency(10, f));
    } else if (q < FanCurveFlow(1, f)) {
        FanDutyEfficiency = static_cast<float>(FanCurveEfficiency(1, f));
    } else {
        int i = 2;
        while (i < 10 && !(FanCurveFlow(i, f) > q))
            ++i;
        const double q0 = FanCurveFlow(i - 1, f), q1 = FanCurveFlow(i, f);
        const double e0 = FanCurveEfficiency(i - 1, f), e1 = FanCurveEfficiency(i, f);
        FanDutyEfficiency = static_cast<float>(q1 == q0 ? e1 : e0 + (q - q0) * (e1 - e0) / (q1 - q0));
    }
    return FanDutyEfficiency;
}

float FanEfficiency(int airway) {
    double flowPerFan = 0;
    return FanEfficiency(airway, flowPerFan);
}
