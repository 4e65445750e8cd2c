// The program's main window (offscreen) with a generated mine opened from its file: F12 on a panel mine
// whose stored flows the run reverses by the thousand and on the grid mine, each beside the same run of the
// same network without windows, and the airway dialog's OK on 10,000 selected airways. Argument 0 puts a
// recording window in place of the main window's controls (it sets nothing and hands commands on); 1 runs
// with the main window's own. The graphics windows, the progress window and the redraws are the main window's
// in both, so the two differ only by what the status controls cost.
#include "common/NetworkGenerator.h"
#include "common/RealKeys.h"
#include "common/RecordingShell.h"
#include "dialogs/frmAirEdit.h"
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "model/file_dialogs.h"
#include "model/network_save.h"
#include "model/settings_file.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "shell/MainForm.h"
#include "shell/frmWindow.h"
#include "shell/shell_state.h"
#include "solver/driver.h"
#include "solver/simulation_ui.h"

#include "answer_no.h"

#include <QLineEdit>
#include <QTest>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The mine asked for by this many airways: six levels of 50 x 50 junctions joined by raises at every second
// junction; any other count, a generated panel mine of about that many.
constexpr int GridMineAirways = 32304;

void generateMine(int airways) {
    if (airways == GridMineAirways)
        GenerateGridMine(6, 50, 2, 2026);
    else
        GenerateMultiLevelMine(airways, 2026);
}

// The recording window in place of the main window's controls, handing the commands a key chooses to
// the main window's dispatcher as the main window itself does.
class RecordingControls : public RecordingShell {
public:
    explicit RecordingControls(MainForm &form) : form_(form) {}
    void RunCommand(int code) override { form_.RunCommand(code); }
    void RunToolCommand() override { form_.RunToolCommand(); }

private:
    MainForm &form_;
};

// The program started as installed in the run's folder, every box answered No, and the mine of `airways`
// airways written to a network file once; with `recording`, the recording window in place of the main
// window's controls.
class ProgramWindow {
public:
    ProgramWindow(int airways, bool recording) : previousAnswers_(VB::SetDialogResponder(&answers_)) {
        SetBuiltInUnits();
        SetDefaults();
        SaveDefaults();
        SaveFanData();
        form_ = std::make_unique<MainForm>();
        form_->show();
        form_->MDIForm_Load();
        generateMine(airways);
        path_ = AppFolder + "mine" + std::to_string(airways) + ".sim";
        SaveNetworkTo(path_);
        if (recording)
            recording_.emplace(*form_);
    }
    ~ProgramWindow() {
        recording_.reset();
        form_.reset();
        VB::SetDialogResponder(previousAnswers_);
    }
    ProgramWindow(const ProgramWindow &) = delete;
    ProgramWindow &operator=(const ProgramWindow &) = delete;

    // File > Open of the mine: its stored flows, an empty undo log, drawn in the active window.
    void Open() {
        NetworkSaved = 1;
        LoadMode = 1;
        LoadNetworkFile(path_);
        AutoSimulate = false;
    }
    QWidget *ActiveView() const { return Windows[static_cast<size_t>(ActiveWindow)]->View(); }

    // The caption of the status the run left in the main window's controls.
    std::string StatusShown() const {
        return recording_ ? recording_->simCaption : form_->LblSim->text().toStdString();
    }

    // Seconds of the same run as F12 starts it with no window at all: no progress window, no status
    // controls, no graphics window drawn and no events let through.
    double HeadlessRun() {
        class Windowless : public SimulationUi {
            void PumpEvents() override {}
        } ui;
        SimulationUi *previousUi = SetSimulationUi(&ui);
        const int active = ActiveWindow;
        double seconds = 0;
        {
            RecordingShell controls;
            ActiveWindow = -1;
            AnalysisMode = 0;
            ShowProgress = 0;
            const auto start = std::chrono::steady_clock::now();
            Simulate();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        ActiveWindow = active;
        SetSimulationUi(previousUi);
        return seconds;
    }

private:
    AnswerNo answers_;
    VB::DialogResponder *previousAnswers_;
    std::unique_ptr<MainForm> form_;
    std::optional<RecordingControls> recording_;
    std::string path_;
};

// The pages the process has been given so far: what it touched for the first time, which costs dearly on
// some machines.
long freshPages() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// F12 in the active graphics window right after the mine is opened, to the status "OK"; argument 1 is the
// mine's size. Each time the mine is then opened again and run without windows, twice so that the timed run
// too follows a run of the same network: the cost of the windows reads off as F12's time over its.
void BM_F12ThroughMainWindow(benchmark::State &state) {
    ProgramWindow program(static_cast<int>(state.range(1)), state.range(0) == 0);
    int reversed = 0;
    std::vector<double> f12, headless; // seconds, each time
    long faults = 0;
    bool balanced = true;
    for (auto _ : state) {
        state.PauseTiming();
        program.Open();
        const int slotBefore = UndoSlot;
        state.ResumeTiming();
        const long faultsBefore = freshPages();
        const auto start = std::chrono::steady_clock::now();
        RealKeys::Click(program.ActiveView(), Qt::Key_F12);
        f12.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        faults += freshPages() - faultsBefore;
        state.PauseTiming();
        reversed = (UndoSlot - slotBefore) / 2;
        balanced = balanced && NetworkBalanced && program.StatusShown() == "OK";
        program.Open();
        program.HeadlessRun();
        program.Open();
        headless.push_back(program.HeadlessRun());
        balanced = balanced && NetworkBalanced;
        state.ResumeTiming();
    }
    state.counters["airways"] = AirwayCount;
    state.counters["reversed"] = reversed;
    state.counters["balanced"] = balanced;
    state.counters["F12 median ms"] = 1000 * median(f12);
    state.counters["headless median ms"] = 1000 * median(headless);
    state.counters["over headless"] = median(f12) / median(headless);
    state.counters["fresh pages"] = static_cast<double>(faults) / static_cast<double>(state.iterations());
}

// The airway dialog's OK in multiple selection on every third airway of the 30,000-airway mine: each one
// recorded for undo before and after its change.
void BM_BulkEditThroughMainWindow(benchmark::State &state) {
    ProgramWindow program(30000, state.range(0) == 0);
    int selected = 0;
    for (auto _ : state) {
        state.PauseTiming();
        program.Open();
        selected = 0;
        for (int a = 1; a <= AirwayCount; a += 3, ++selected)
            AirwayFlags(a) |= AirwayFlag::Selected;
        CurrentAirway = 1;
        AirEditMode = 3;
        frmAirEdit dialog;
        dialog.show();
        QTest::keyClicks(dialog.TxtWidth, "5");
        const int slotBefore = UndoSlot;
        state.ResumeTiming();
        dialog.OK_Click();
        state.PauseTiming();
        if (UndoSlot - slotBefore < 2 * selected)
            state.SkipWithError("not every selected airway was recorded");
        state.ResumeTiming();
    }
    state.counters["selected"] = selected;
}

} // namespace

BENCHMARK(BM_F12ThroughMainWindow)
    ->ArgsProduct({{0, 1}, {17486, 30000, GridMineAirways}})
    ->ArgNames({"main window", "airways"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_BulkEditThroughMainWindow)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("main window")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
