// The network summary's figures for a solved generated 30,000-airway network with fans: one pass.
#include "bench_network.h"
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "exchange/network_summary.h"
#include "model/Gustrom1.h"
#include "solver/driver.h"

#include <benchmark/benchmark.h>

namespace {

void BM_NetworkSummary30000(benchmark::State &state) {
    SetFreshDefaults();
    AnswerNo answers;
    VB::DialogResponder *previous = VB::SetDialogResponder(&answers);
    MaxAirways = 30002;
    GenerateNetwork(30000, 11);
    AnalysisMode = 0;
    ShowProgress = 0;
    MaxIterations = 100; // a bounded run: the figures need flows and fan duties, not full convergence
    Simulate();
    VB::SetDialogResponder(previous);
    NetworkSummary s;
    for (auto _ : state) {
        s = SumNetwork();
        benchmark::DoNotOptimize(s);
    }
    state.counters["airflow_m3s"] = s.totalAirflow;
    state.counters["fans"] = s.fanCount;
    state.counters["input_kW"] = s.inputPower / 1000;
}
BENCHMARK(BM_NetworkSummary30000)->Unit(benchmark::kMicrosecond);

} // namespace
