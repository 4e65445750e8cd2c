// The whole simulation of a generated network of about 30,000 airways: without windows, with the time
// spent in each stage of the run, as exact as single-precision flows hold and at the default Max Allowable
// Error, and once more with the program's progress and error windows. Then generated multi-level mines as a
// user runs them: the default Max Allowable Error and the shipped Max Iterations.
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "model/Gustrom1.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "simulation/simulation_windows.h"
#include "solver/balance.h"
#include "solver/driver.h"
#include "solver/simulation_ui.h"

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

// Every box answered No and the given display for the lifetime of one benchmark.
class RunSetting {
public:
    explicit RunSetting(SimulationUi &ui)
        : previousAnswers_(VB::SetDialogResponder(&answers_)), previousUi_(SetSimulationUi(&ui)) {
        LevelRange(1, 1) = 0;
        LevelRange(1, 2) = 0; // the generated surface ends lie at elevation 0
    }
    ~RunSetting() {
        SetSimulationUi(previousUi_);
        VB::SetDialogResponder(previousAnswers_);
    }
    RunSetting(const RunSetting &) = delete;
    RunSetting &operator=(const RunSetting &) = delete;

    // The generated network, set for a run as exact as single-precision flows hold (at most MaxIterations
    // sweeps after the whole-network solve), or with the default Max Allowable Error for a run that ends
    // when it has converged.
    static void Prepare(int showProgress, bool defaultTolerance = false) {
        buildNetwork();
        // 1e-12: raised to the spacing of single values at the largest flow.
        MaxError = defaultTolerance ? 0.05f : 1e-12f;
        MaxIterations = defaultTolerance ? 30000 : 50;
        BulkheadResistance = 1000000000;
        AnalysisMode = 0;
        ShowProgress = showProgress;
        UndoStep = 1;
        UndoSlot = 1;
    }

private:
    AnswerNo answers_;
    VB::DialogResponder *previousAnswers_;
    SimulationUi *previousUi_;
};

void BM_Simulate(benchmark::State &state) {
    StageClock clock;
    RunSetting setting(clock);
    int airways = 0, reversed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RunSetting::Prepare(0, state.range(0) == 1);
        airways = AirwayCount;
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
}

// The same run as the user starts it: progress window shown, event pump running, error window at the end.
void BM_SimulateWithWindows(benchmark::State &state) {
    SimulationWindows windows;
    RunSetting setting(windows);
    for (auto _ : state) {
        state.PauseTiming();
        RunSetting::Prepare(1);
        state.ResumeTiming();
        Simulate();
    }
    state.counters["airways"] = AirwayCount;
    state.counters["balanced"] = NetworkBalanced;
}

// Answers No and counts the convergence questions.
class CountedNo : public AnswerNo {
public:
    int questions = 0;
    int Message(const VB::MessageRequest &request) override {
        if (request.prompt.find("convergence of") != std::string::npos)
            ++questions;
        return AnswerNo::Message(request);
    }
};

// A mine's runs, timed stage by stage, with every convergence question answered No and counted.
struct MineRuns {
    StageClock clock;
    RunSetting setting{clock};
    CountedNo answers;
    VB::DialogResponder *previous = VB::SetDialogResponder(&answers);
    int questions = 0; // of the last run
    MineRuns() = default;
    ~MineRuns() { VB::SetDialogResponder(previous); }
    MineRuns(const MineRuns &) = delete;
    MineRuns &operator=(const MineRuns &) = delete;
};

// A mine's run as F12 starts it: the default Max Allowable Error and the shipped Max Iterations, no
// progress window, a fresh undo log and no outcome of an earlier run.
void PrepareMineRun(CountedNo &answers) {
    MaxError = 0.05f;
    MaxIterations = 50;
    AnalysisMode = 0;
    ShowProgress = 0;
    UndoStep = 1;
    UndoSlot = 1;
    answers.questions = 0;
    LastBalance = BalanceOutcome{}; // a run that stops before balancing reports no sweeps
}

// What the runs of a mine did: each stage's time per run over the runs the clock holds, and the last run's
// sweeps, steps and questions.
void ReportMineRun(benchmark::State &state, const MineRuns &mine, double runs) {
    for (const auto &[stage, s] : mine.clock.seconds)
        state.counters[stage + " ms"] = 1000 * s / runs;
    state.counters["airways"] = AirwayCount;
    state.counters["sweeps"] = LastBalance.sweeps;
    state.counters["newton steps"] = LastBalance.newtonSteps;
    state.counters["balanced"] = NetworkBalanced;
    state.counters["questions"] = mine.questions;
}

// A generated multi-level mine of about range(0) airways at MaxError 0.05 and MaxIterations 50; every
// convergence question is answered No, which ends the run unbalanced.
void BM_SimulateMine(benchmark::State &state) {
    MineRuns mine;
    for (auto _ : state) {
        state.PauseTiming();
        SetFreshDefaults();
        GenerateMultiLevelMine(static_cast<int>(state.range(0)), 2026);
        PrepareMineRun(mine.answers);
        state.ResumeTiming();
        mine.clock.Start();
        Simulate();
        mine.clock.Stop();
        mine.questions = mine.answers.questions;
    }
    ReportMineRun(state, mine, static_cast<double>(state.iterations()));
}

// A generated mine whose six levels are grids of 50 x 50 junctions joined by raises at every second
// junction (32,304 airways) at the default Max Allowable Error and the shipped Max Iterations: its first
// run (argument 0), and a run again of the unchanged network from the flows of the first (1).
void BM_SimulateGridMine(benchmark::State &state) {
    MineRuns mine;
    for (auto _ : state) {
        state.PauseTiming();
        SetFreshDefaults();
        // Run first: the grid mine itself, or another network, so that a first run of the grid orders its
        // junctions afresh as a network's first run does.
        const bool again = state.range(0) == 1;
        GenerateGridMine(again ? 6 : 2, again ? 50 : 3, 2, 2026);
        PrepareMineRun(mine.answers);
        Simulate();
        if (!again)
            GenerateGridMine(6, 50, 2, 2026);
        PrepareMineRun(mine.answers);
        mine.clock.seconds.clear();
        state.ResumeTiming();
        mine.clock.Start();
        Simulate();
        mine.clock.Stop();
        mine.questions = mine.answers.questions;
    }
    ReportMineRun(state, mine, 1); // the clock holds the last timed run only
}

} // namespace

// Argument 0: as exact as single-precision flows hold, or 50 sweeps; 1: the default Max Allowable Error.
BENCHMARK(BM_Simulate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SimulateWithWindows)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SimulateMine)->Arg(5000)->Arg(17000)->Arg(30000)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SimulateGridMine)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kSecond);
