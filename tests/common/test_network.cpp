#include "common/test_network.h"

#include "solver/balance.h"
#include "solver/checks.h"
#include "solver/fan_curves.h"
#include "solver/meshes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <queue>
#include <unordered_map>

namespace testnet {

void NewNetwork(int capacity, int fans) {
    MaxAirways = capacity;
    MaxFans = fans;
    ReDimNetwork();
    AirwayCount = 0;
    NextAirwayNumber = 0;
    Errorlist.clear();
    ErrorLevel = 0;
    AnalysisMode = 0;
    RunState = 0;
    MeshingFinding = 0;
    MeshCount = 0;
    MaxError = 0.05f;
    MaxIterations = 50;
    BulkheadResistance = 1000000000;
    AirPowerEfficiency = 0.8f;
    PresetResistanceReplaces = 0;
    if (ResistanceTypeValue.size() == 0) {
        ResistanceTypeValue.ReDim(Bounds{0, TypedPreset});
        ResistanceTypeName.ReDim(Bounds{0, TypedPreset});
    }
    ResistanceTypeValue(0) = 0;
    ResistanceTypeValue(1) = static_cast<float>(BulkheadResistance);
    for (int f = 1; f <= MaxFans; ++f)
        FanName(f) = "";
}

Currency KeyOf(int node) {
    return node == 0 ? SurfaceNodeKey : static_cast<Currency>(node) * 7 * CurrencyScale;
}

int AddAirway(int from, int to, double resistance, int32_t extraFlags) {
    const int a = ++AirwayCount;
    AirwayFlags(a) = AirwayFlag::Rectangular | extraFlags;
    AirwayStartKey(a) = KeyOf(from);
    AirwayEndKey(a) = KeyOf(to);
    auto place = [a](VBArray<int32_t, 2> &point, int node) {
        point(1, a) = node == 0 ? 500000 + a : 10 * node;
        point(2, a) = 0;
        point(3, a) = node == 0 ? 0 : -100;
    };
    place(AirwayStart, from);
    place(AirwayEnd, to);
    AirwaySize(1, a) = 3;
    AirwaySize(2, a) = 3;
    AirwayResistanceType(a) = TypedPreset;
    AirwayResistance(a) = static_cast<float>(resistance);
    AirwayNumber(a) = 1000 + a;
    AirwayFanCount(a) = 1;
    AirwayParallelCount(a) = 1;
    return a;
}

int AddFixedFlow(int from, int to, double resistance, double q) {
    const int a = AddAirway(from, to, resistance, AirwayFlag::FixedFlow);
    AirwayFlow(a) = static_cast<float>(q);
    return a;
}

int AddBulkhead(int from, int to) {
    const int a = AddAirway(from, to, 2.0 * BulkheadResistance);
    AirwayResistanceType(a) = 1;
    return a;
}

int AddFanAirway(int from, int to, double resistance, int f, int count, bool series, int percent) {
    const int a = AddAirway(from, to, resistance, series ? AirwayFlag::FansInSeries : 0);
    AirwayFan(a) = f;
    AirwayFanCount(a) = count;
    AirwayCurvePercent(a) = percent;
    return a;
}

void SetLinearFan(int f, double p0, double slope) {
    FanName(f) = "Fan " + std::to_string(f);
    for (int p = 1; p <= 10; ++p) {
        const double q = 10.0 * (p - 1);
        FanCurveFlow(p, f) = static_cast<float>(q);
        FanCurvePressure(1, p, f) = static_cast<float>(p0 - slope * q);
        FanCurvePressure(2, p, f) = static_cast<float>(p0 - slope * q + 100);
        FanCurveEfficiency(p, f) = 50 + static_cast<int>(q / 10);
    }
}

std::vector<std::string> LinesWith(const std::string &fault) {
    std::vector<std::string> lines;
    for (const auto &line : Errorlist)
        if (line.size() >= fault.size() && line.compare(line.size() - fault.size(), fault.size(), fault) == 0)
            lines.push_back(line);
    return lines;
}

bool CheckAndMesh() {
    SortAirways();
    CheckNetwork();
    if (ErrorLevel != 0)
        return false;
    OrderAirwaysForMeshing();
    FormMeshes();
    return ErrorLevel == 0;
}

bool Solve(bool sweepsAlone) {
    CheckFanCurves();
    if (!CheckAndMesh())
        return false;
    BuildFanCurves();
    if (sweepsAlone)
        BalanceBySweeps();
    else
        BalanceAirflows();
    return ErrorLevel == 0;
}

void ExpectPressuresAgree(const std::function<double(int)> &dropOf, const std::string &what) {
    auto free = [](int a) {
        return !(AirwayFlags(a) & AirwayFlag::FixedFlow) && AirwayResistance(a) < BulkheadResistance;
    };
    std::unordered_map<Currency, std::vector<int>> touching;
    double largestDrop = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (free(a)) {
            touching[AirwayStartKey(a)].push_back(a);
            touching[AirwayEndKey(a)].push_back(a);
            largestDrop = std::max(largestDrop, std::fabs(dropOf(a)));
        }
    std::unordered_map<Currency, double> pressure{{SurfaceNodeKey, 0.0}};
    std::queue<Currency> reached;
    reached.push(SurfaceNodeKey);
    while (!reached.empty()) {
        const Currency k = reached.front();
        reached.pop();
        for (int a : touching[k]) {
            const bool fromStart = AirwayStartKey(a) == k;
            const Currency other = fromStart ? AirwayEndKey(a) : AirwayStartKey(a);
            if (pressure.emplace(other, fromStart ? pressure[k] - dropOf(a) : pressure[k] + dropOf(a)).second)
                reached.push(other);
        }
    }
    for (int a = 1; a <= AirwayCount; ++a)
        if (free(a)) {
            ASSERT_TRUE(pressure.count(AirwayStartKey(a)) && pressure.count(AirwayEndKey(a))) << what;
            EXPECT_LE(std::fabs(pressure[AirwayStartKey(a)] - pressure[AirwayEndKey(a)] - dropOf(a)),
                      1e-3 * largestDrop)
                << what << " airway " << AirwayNumber(a);
        }
}

} // namespace testnet
