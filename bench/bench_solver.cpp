// The solver's stages on a generated mine-like network of about 30,000 airways.
#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "platform/Dialogs.h"
#include "solver/balance.h"
#include "solver/checks.h"
#include "solver/fan_curves.h"
#include "solver/meshes.h"
#include "solver/simulation_ui.h"

#include "bench_network.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <random>
#include <vector>

namespace {

// No window and no event pump: the stages alone.
class QuietUi : public SimulationUi {
public:
    void PumpEvents() override {}
};

void configure() {
    MaxError = 0.05f;
    MaxIterations = 50;
    BulkheadResistance = 1000000000;
    AnalysisMode = 0;
    RunState = 0;
    ErrorLevel = 0;
    Errorlist.clear();
}

struct Quiet {
    AnswerNo answers;
    QuietUi ui;
    VB::DialogResponder *previousAnswers = VB::SetDialogResponder(&answers);
    SimulationUi *previousUi = SetSimulationUi(&ui);
    ~Quiet() {
        VB::SetDialogResponder(previousAnswers);
        SetSimulationUi(previousUi);
    }
};

void BM_SortAirways(benchmark::State &state) {
    Quiet quiet;
    for (auto _ : state) {
        state.PauseTiming();
        buildNetwork();
        configure();
        state.ResumeTiming();
        SortAirways();
    }
    state.counters["airways"] = AirwayCount;
}

void BM_CheckNetwork(benchmark::State &state) {
    Quiet quiet;
    buildNetwork();
    configure();
    SortAirways();
    for (auto _ : state)
        CheckNetwork();
    state.counters["nodes"] = NodeCount;
}

void BM_OrderAndFormMeshes(benchmark::State &state) {
    Quiet quiet;
    buildNetwork();
    configure();
    SortAirways();
    long entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CheckNetwork();
        state.ResumeTiming();
        OrderAirwaysForMeshing();
        FormMeshes();
        entries = MeshStart(MeshCount + 1) - 1;
    }
    state.counters["meshes"] = MeshCount;
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["errors"] = ErrorLevel;
}

void BM_FanCurves(benchmark::State &state) {
    Quiet quiet;
    buildNetwork();
    configure();
    for (auto _ : state) {
        CheckFanCurves();
        BuildFanCurves();
    }
}

// The generated network meshed and its fan tables built, ready to balance from the flows it was built
// with (none but the fixed quantities).
std::vector<float> readyToBalance(float maxError) {
    buildNetwork();
    configure();
    MaxError = maxError;
    CheckFanCurves();
    SortAirways();
    CheckNetwork();
    OrderAirwaysForMeshing();
    FormMeshes();
    BuildFanCurves();
    return {AirwayFlow.data(), AirwayFlow.data() + AirwayCount + 1};
}

// 50 sweeps alone (the balancing stops at the iteration limit and the question is answered No).
void BM_Balance50Sweeps(benchmark::State &state) {
    Quiet quiet;
    const std::vector<float> start = readyToBalance(1e-12f);
    long entries = 0;
    for (int m = 1; m <= MeshCount; ++m)
        if (MeshAirwayList(MeshStart(m)) > 0)
            entries += MeshStart(m + 1) - MeshStart(m);
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(start.begin(), start.end(), AirwayFlow.data());
        state.ResumeTiming();
        BalanceBySweeps();
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["sweeps"] = LastBalance.sweeps;
    state.counters["ns_per_entry_sweep"] = benchmark::Counter(
        static_cast<double>(entries) * MaxIterations * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The whole balancing from the built flows: the Newton solve of the whole network, then the sweeps that
// confirm it, at the default Max Allowable Error (argument 1) or as exact as single-precision flows hold (0).
void BM_BalanceWholeNetwork(benchmark::State &state) {
    Quiet quiet;
    const std::vector<float> start = readyToBalance(state.range(0) == 1 ? 0.05f : 1e-12f);
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(start.begin(), start.end(), AirwayFlow.data());
        state.ResumeTiming();
        BalanceAirflows();
    }
    state.counters["airways"] = AirwayCount;
    state.counters["newton steps"] = LastBalance.newtonSteps;
    state.counters["sweeps"] = LastBalance.sweeps;
    state.counters["converged"] = LastBalance.converged;
}

} // namespace

BENCHMARK(BM_SortAirways)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckNetwork)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderAndFormMeshes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FanCurves)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Balance50Sweeps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BalanceWholeNetwork)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
