#include "solver/fan_curves.h"

#include "model/Gustrom1.h"
#include "model/fan_efficiency.h"
#include "platform/Dialogs.h"
#include "solver/simulation_ui.h"

#include <limits>
#include <map>
#include <string>
#include <utility>

int SolverFanCount = 0;

namespace {

constexpr int StallSlope = -50; // Pa per m³/s off the curve

// The arrangement code holds the count in its last two digits (series) or above them (parallel) in a
// 16-bit value: more than 99 in series or 327 in parallel cannot be told apart.
constexpr int MaxSeriesFans = 99;
constexpr int MaxParallelFans = 327;

bool fanCountFits(int a) {
    const int n = AirwayFanCount(a);
    if (n < 0)
        return false;
    return (AirwayFlags(a) & AirwayFlag::FansInSeries) ? n <= MaxSeriesFans : n <= MaxParallelFans;
}

int arrangementCode(int a) {
    const int n = AirwayFanCount(a) == 0 ? 1 : AirwayFanCount(a);
    return (AirwayFlags(a) & AirwayFlag::FansInSeries) ? 100 + n : 100 * n + 1;
}

// Flow factor (parallel fans) and pressure factor (fans in series) of an arrangement code.
std::pair<int, int> arrangementFactors(int code) {
    return {code / 100 == 0 ? 1 : code / 100, code % 100 == 0 ? 1 : code % 100};
}

double blend(double staticP, double totalP, int airway) {
    return staticP + AirwayCurvePercent(airway) * (totalP - staticP) / 100.0;
}

// Checks fan f and sets its point 11; false when the curve is invalid.
bool extendCurve(int f) {
    FanCurvePressure(1, LastCurvePoint, f) = 0;
    FanCurvePressure(2, LastCurvePoint, f) = 0;
    const double q10 = FanCurveFlow(10, f);
    int j = 9;
    while (j >= 1 && FanCurveFlow(j, f) == FanCurveFlow(10, f))
        --j;
    int k = 0;
    for (int curve = 1; curve <= 2 && k == 0; ++curve)
        for (int p = 1; p <= 9; ++p)
            if (FanCurvePressure(curve, p, f) != FanCurvePressure(curve, 10, f))
                k = curve;
    bool valid = j >= 1 && k != 0;
    if (valid) {
        const double s = -(static_cast<double>(FanCurvePressure(k, 10, f)) - FanCurvePressure(k, j, f)) /
                         (q10 - FanCurveFlow(j, f));
        const double q11 = s != 0 ? FanCurvePressure(k, 10, f) / s + q10 : q10;
        // The zero-pressure point must lie beyond point 10, or no pressure could be read past it.
        valid = q11 > q10;
        FanCurveFlow(LastCurvePoint, f) = static_cast<float>(valid ? q11 : q10);
    }
    if (!valid)
        FanCurveFlow(LastCurvePoint, f) = static_cast<float>(q10);
    FanCurvePressure(1, LastCurvePoint, f) = -FanCurvePressure(2, 10, f);
    return valid;
}

// Makes sure the solver tables hold count fans.
void reserveSolverFans(int count) {
    if (FanSolverFlow.size() > 0 && FanSolverFlow.UBound(1) >= count)
        return;
    FanSolverFlow.ReDimPreserve(Bounds{0, LastCurvePoint}, Bounds{0, count});
    FanSolverPressure.ReDimPreserve(Bounds{0, 2}, Bounds{0, LastCurvePoint}, Bounds{0, count});
}

} // namespace

void CheckFanCurves() {
    for (int f = 1; f <= MaxFans && FanName.InBounds(f); ++f) {
        if (FanName(f).empty())
            continue;
        if (!extendCurve(f))
            VB::MsgBox("Invalid Fan Curve : Fan curve # " + std::to_string(f));
    }
}

void BuildFanCurves() {
    SolverFanCount = 0;
    std::map<std::pair<int, int>, int> solverFanOf;
    std::vector<std::pair<int, int>> keys; // model, arrangement code of each solver fan
    for (int a = 1; a <= AirwayCount; ++a) {
        AirwaySolverFan(a) = static_cast<float>(AirwayFan(a));
        if (AirwayFan(a) == 0 || AirwayFan(a) == -1)
            continue;
        if (!FanInDatabase(AirwayFan(a))) {
            AirwaySolverFan(a) = 0;
            AddErrorLine(a, "Fan not in database");
            ErrorLevel = 1;
            continue;
        }
        if (!fanCountFits(a)) {
            AirwaySolverFan(a) = 0;
            AddErrorLine(a, "Too many fans");
            ErrorLevel = 1;
            continue;
        }
        const std::pair<int, int> key{AirwayFan(a), arrangementCode(a)};
        auto [it, added] = solverFanOf.emplace(key, SolverFanCount + 1);
        if (added) {
            ++SolverFanCount;
            keys.push_back(key);
        }
        AirwaySolverFan(a) = static_cast<float>(it->second);
    }
    reserveSolverFans(SolverFanCount);
    for (int sf = 1; sf <= SolverFanCount; ++sf) {
        const auto [model, code] = keys[sf - 1];
        const auto [nq, np] = arrangementFactors(code);
        for (int p = 1; p <= LastCurvePoint; ++p) {
            for (int k = 1; k <= 2; ++k)
                FanSolverPressure(k, p, sf) = static_cast<float>(np * FanCurvePressure(k, p, model));
            FanSolverFlow(p, sf) = static_cast<float>(nq * FanCurveFlow(p, model));
        }
    }
}

double SolverFanPointPressure(int point, int solverFan, int airway) {
    return blend(FanSolverPressure(1, point, solverFan), FanSolverPressure(2, point, solverFan), airway);
}

double FanDataPressure(int point, int fanModel, int airway) {
    if (!FanCurvePressure.InBounds(1, point, fanModel))
        return 0;
    return blend(FanCurvePressure(1, point, fanModel), FanCurvePressure(2, point, fanModel), airway);
}

namespace {

// Pressure p (Pa) and slope (Pa per m³/s) at flow q on the curve; off it, the slope the sweeps take.
int pressureOnCurve(double q, const FanCurvePoints &curve, double &p, double &slope) {
    const int piece = curve.PieceAt(q);
    p = curve.OnPiece(piece, q);
    if (piece == 0 || piece > LastCurvePoint) {
        slope = StallSlope;
        return piece == 0 ? CurveRegion::Below : CurveRegion::Beyond;
    }
    slope = curve.PieceSlope(piece);
    return CurveRegion::On;
}

} // namespace

int FanPressureAtFlow(int airway, int solverFan, double q, double &p, double &slope) {
    if (solverFan == -1) {
        slope = -1;
        return CurveRegion::On;
    }
    return pressureOnCurve(q, SolverFanCurve(airway, solverFan), p, slope);
}

int FanCurvePoints::PieceAt(double q) const {
    if (q < flow[1])
        return 0;
    if (q >= flow[LastCurvePoint])
        return LastCurvePoint + 1;
    int i = 2;
    while (i < LastCurvePoint && !(flow[i] > q))
        ++i;
    return i;
}

double FanCurvePoints::PieceEnd(int piece) const {
    return piece == 0                ? flow[1]
           : piece <= LastCurvePoint ? flow[piece]
                                     : std::numeric_limits<double>::infinity();
}

double FanCurvePoints::PieceSlope(int piece) const {
    if (piece == 0 || piece > LastCurvePoint)
        return 0;
    return (pressure[piece - 1] - pressure[piece]) / (flow[piece - 1] - flow[piece]);
}

double FanCurvePoints::OnPiece(int piece, double q) const {
    if (piece == 0)
        return pressure[1];
    if (piece > LastCurvePoint)
        return 0;
    return pressure[piece] + (q - flow[piece]) * PieceSlope(piece);
}

FanCurvePoints SolverFanCurve(int airway, int solverFan) {
    FanCurvePoints c;
    for (int p = 1; p <= LastCurvePoint; ++p) {
        c.flow[p] = FanSolverFlow(p, solverFan);
        c.pressure[p] = SolverFanPointPressure(p, solverFan, airway);
    }
    return c;
}

std::string FanDutyWarning(int airway) {
    const int f = AirwayFan(airway);
    if (f < 1 || !FanInDatabase(f) || !fanCountFits(airway))
        return {};
    const auto [nq, np] = arrangementFactors(arrangementCode(airway));
    const double q = AirwayFlow(airway); // m³/s
    // Past the last measured point the curve is only the straight run down to its extrapolated end.
    const bool beyond = q > nq * static_cast<double>(FanCurveFlow(LastCurvePoint - 1, f));
    FanCurvePoints curve;
    for (int i = 1; i <= LastCurvePoint; ++i) {
        curve.flow[i] = nq * static_cast<double>(FanCurveFlow(i, f));
        curve.pressure[i] = np * FanDataPressure(i, f, airway);
    }
    double p = 0, slope = 0; // Pa, Pa per m³/s
    pressureOnCurve(q, curve, p, slope);
    if (beyond)
        return p < 0 ? "Fan beyond its curve, pressure negative" : "Fan beyond its curve";
    return p < 0 ? "Fan pressure negative" : "";
}

void ListFanDutyWarnings() {
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwayFlags(a) & AirwayFlag::ErrorMark)
            continue; // already listed, for a reversed flow
        const std::string warning = FanDutyWarning(a);
        if (warning.empty())
            continue;
        AddErrorLine(a, warning);
        AirwayComment(a) = warning.rfind("Fan beyond", 0) == 0 ? "Beyond Curve" : "Negative Fan";
        AirwayFlags(a) |= AirwayFlag::ErrorMark;
        if (ErrorLevel == 0)
            ErrorLevel = 2;
    }
}
