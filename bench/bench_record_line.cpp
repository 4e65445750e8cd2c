// Writing and parsing the airway record line of a whole 30,000-airway network, each way.
#include "model/Gustrom1.h"
#include "model/record_line.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int NetworkSize = 30000;

std::string named(const char *prefix, int n) {
    std::string s = prefix;
    s += std::to_string(n);
    return s;
}

// A grid-like network with every field populated with varied values.
void buildNetwork() {
    MaxAirways = NetworkSize;
    ReDimNetwork();
    for (int a = 1; a <= NetworkSize; ++a) {
        const int col = a % 173, row = a / 173;
        AirwayStartName(a) = named("N", a);
        AirwayEndName(a) = named("N", a + 1);
        AirwayName(a) = (a % 7 == 0) ? named("Main Intake Drive ", a) : "";
        AirwayStart(1, a) = 1000 + col * 50;
        AirwayStart(2, a) = -2000 + row * 50;
        AirwayStart(3, a) = -(a % 9) * 30;
        AirwayEnd(1, a) = 1050 + col * 50;
        AirwayEnd(2, a) = -2000 + row * 50;
        AirwayEnd(3, a) = -(a % 9) * 30 - 5;
        AirwaySize(1, a) = 3.5f + (a % 5) * 0.1f;
        AirwaySize(2, a) = 4.25f;
        AirwayFlags(a) = AirwayFlag::Rectangular | ((a % 11 == 0) ? AirwayFlag::FixedFlow : 0);
        AirwayWallType(a) = a % 10;
        AirwayShockType(a) = a % 6;
        AirwayFrictionFactor(a) = 0.012f;
        AirwayShockLength(a) = 20;
        AirwayComment(a) = (a % 13 == 0) ? "Check" : "";
        AirwayResistance(a) = 0.0123456f * static_cast<float>(a % 97 + 1);
        AirwayFlow(a) = 12.3456f + static_cast<float>(a % 1000) / 7.0f;
        AirwayFan(a) = (a % 500 == 0) ? 3 : 0;
        AirwayFanCount(a) = AirwayFan(a) ? 2 : 0;
        AirwayLength(a) = 50;
        AirwayPressure(a) = static_cast<float>(a % 300) * 3.3f;
        AirwayPrimaryLayer(a) = 1 + a % 16;
        AirwaySecondaryLayer(a) = 1 + a % 48;
        AirwayStartPressure(a) = -1234.567f + static_cast<float>(a);
        AirwayEndPressure(a) = -1240.5f + static_cast<float>(a);
        AirwayUndoStamp(a) = a * 3;
        AirwayNumber(a) = a;
        AirwayIconPosition(a) = 0.2f;
        AirwayParallelCount(a) = 1;
    }
    AirwayCount = NetworkSize;
}

void BM_AirwayLineWholeNetwork(benchmark::State &state) {
    buildNetwork();
    std::string line;
    line.reserve(512);
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (int a = 1; a <= NetworkSize; ++a) {
            AirwayLine(line, a);
            bytes += line.size();
        }
        benchmark::DoNotOptimize(line.data());
    }
    state.counters["airways/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * NetworkSize,
                                                     benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_AirwayLineWholeNetwork)->Unit(benchmark::kMillisecond);

void BM_AirwayFromRecordWholeNetwork(benchmark::State &state) {
    buildNetwork();
    std::vector<std::string> lines(NetworkSize + 1);
    for (int a = 1; a <= NetworkSize; ++a)
        AirwayLine(lines[a], a);
    for (auto _ : state) {
        for (int a = 1; a <= NetworkSize; ++a)
            AirwayFromRecord(lines[a], a, 3.1f);
        benchmark::ClobberMemory();
    }
    state.counters["airways/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * NetworkSize,
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AirwayFromRecordWholeNetwork)->Unit(benchmark::kMillisecond);

} // namespace
