// The whole simulation of a generated network of about 30,000 airways, without windows, with the time
// spent in each stage of the run.
#include "model/Gustrom1.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "simulation/driver.h"
#include "simulation/simulation_ui.h"

#include "bench_network.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace {

// No window and no event pump; the progress points divide the run into its stages.
class StageClock : public SimulationUi {
public:
    using Clock = std::chrono::steady_clock;
    std::map<std::string, double> seconds; // per stage, summed over the iterations
    int sweeps = 0;

    void Start() {
        last_ = Clock::now();
        stage_ = "checks";
    }
    void Stop() { lap("closing"); }
    void SetProgressBar(int percent) override {
        // The stage that ends at this progress point.
        switch (percent) {
        case 30:
            lap("checks and sort");
            break;
        case 50:
            lap("weights and meshes");
            break;
        case 60:
            lap("fan tables");
            break;
        case 70:
            lap("balancing");
            break;
        case 87:
            lap("mesh and airway pressures, reversals");
            break;
        case 95:
            lap("junction pressures (sort)");
            break;
        case 100:
            lap("junction walk, connections");
            break;
        default:
            break;
        }
    }
    void SetSweepFigures(const std::string &sweep, const std::string &) override {
        if (!sweep.empty())
            sweeps = std::stoi(sweep);
    }
    void PumpEvents() override {}

private:
    void lap(const std::string &stage) {
        const Clock::time_point now = Clock::now();
        seconds[stage] += std::chrono::duration<double>(now - last_).count();
        last_ = now;
    }
    Clock::time_point last_;
    std::string stage_;
};

void BM_Simulate(benchmark::State &state) {
    AnswerNo answers;
    StageClock clock;
    VB::DialogResponder *previousAnswers = VB::SetDialogResponder(&answers);
    SimulationUi *previousUi = SetSimulationUi(&clock);
    LevelRange(1, 1) = 0;
    LevelRange(1, 2) = 0; // the generated surface ends lie at elevation 0
    int airways = 0, reversed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        buildNetwork();
        airways = AirwayCount;
        MaxError = 1e-12f; // never converges: exactly MaxIterations sweeps
        MaxIterations = 50;
        BulkheadResistance = 1000000000;
        AnalysisMode = 0;
        ShowProgress = 0;
        UndoStep = 1;
        UndoSlot = 1;
        state.ResumeTiming();
        clock.Start();
        Simulate();
        clock.Stop();
        reversed = (UndoSlot - 1) / 2;
    }
    for (const auto &[stage, s] : clock.seconds)
        state.counters[stage + " ms"] = 1000 * s / static_cast<double>(state.iterations());
    state.counters["airways"] = airways;
    state.counters["sweeps"] = clock.sweeps;
    state.counters["reversed"] = reversed;
    state.counters["balanced"] = NetworkBalanced;
    SetSimulationUi(previousUi);
    VB::SetDialogResponder(previousAnswers);
}

} // namespace

BENCHMARK(BM_Simulate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
