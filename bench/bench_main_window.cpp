// The program's main window (offscreen) with a generated panel mine opened from its file: F12 on a mine
// whose stored flows the run reverses by the thousand, and the airway dialog's OK on 10,000 selected
// airways. Argument 0 puts a recording window in place of the main window's controls (it sets nothing and
// hands commands on); 1 runs with the main window's own. The graphics windows, the progress window and the
// redraws are the main window's in both, so the two differ only by what the status controls cost.
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

#include "answer_no.h"

#include <QLineEdit>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>

namespace {

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
        GenerateMultiLevelMine(airways, 2026);
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

private:
    AnswerNo answers_;
    VB::DialogResponder *previousAnswers_;
    std::unique_ptr<MainForm> form_;
    std::optional<RecordingControls> recording_;
    std::string path_;
};

// F12 in the active graphics window right after the mine is opened; argument 1 is the mine's size.
void BM_F12ThroughMainWindow(benchmark::State &state) {
    ProgramWindow program(static_cast<int>(state.range(1)), state.range(0) == 0);
    int reversed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        program.Open();
        const int slotBefore = UndoSlot;
        state.ResumeTiming();
        RealKeys::Click(program.ActiveView(), Qt::Key_F12);
        state.PauseTiming();
        reversed = (UndoSlot - slotBefore) / 2;
        state.ResumeTiming();
    }
    state.counters["airways"] = AirwayCount;
    state.counters["reversed"] = reversed;
    state.counters["balanced"] = NetworkBalanced;
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
    ->ArgsProduct({{0, 1}, {17486, 30000}})
    ->ArgNames({"main window", "airways"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_BulkEditThroughMainWindow)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("main window")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
