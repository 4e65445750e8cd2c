// The airway edit dialog's OK in multiple selection: 10,000 of 30,000 airways selected, three fields
// touched; each airway is recorded for undo before and after and recalculated (no window to redraw).
#include "common/NetworkGenerator.h"
#include "dialogs/frmAirEdit.h"
#include "model/Gustrom1.h"
#include "model/undo.h"
#include "model/units.h"
#include "platform/Dialogs.h"

#include <QLineEdit>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

constexpr int NetworkSize = 30000;

// Any box shown fails the benchmark: the edit is to go through without a question or an error.
class NoBoxes : public VB::DialogResponder {
public:
    int Message(const VB::MessageRequest &request) override {
        if (shown.empty())
            shown = request.prompt;
        return VB::vbOK;
    }
    std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
    std::string shown;
};

void BM_AirEditOkMultipleSelection(benchmark::State &state) {
    NoBoxes boxes;
    VB::DialogResponder *previous = VB::SetDialogResponder(&boxes);
    GenerateNetwork(NetworkSize, 7);
    SetBuiltInUnits();
    UnitSystem = 1;
    AutoSimulate = false;
    int selected = 0;
    for (int a = 1; a <= AirwayCount; a += 3, ++selected)
        AirwayFlags(a) |= AirwayFlag::Selected;
    for (auto _ : state) {
        state.PauseTiming();
        ResetUndoSteps();
        ResetUndoFile();
        CurrentAirway = 1;
        AirEditMode = 3;
        frmAirEdit dialog;
        dialog.show();
        QTest::keyClicks(dialog.TxtWidth, "5");
        QTest::mouseClick(dialog.OptShowData, Qt::LeftButton, {},
                          QPoint(6, dialog.OptShowData->height() / 2));
        QTest::mouseClick(dialog.CheckService, Qt::LeftButton, {},
                          QPoint(6, dialog.CheckService->height() / 2));
        state.ResumeTiming();
        dialog.OK_Click();
        if (UndoSlot <= 2 * selected)
            state.SkipWithError("not every selected airway was recorded");
    }
    state.counters["selected"] = selected;
    VB::SetDialogResponder(previous);
    if (!boxes.shown.empty())
        state.SkipWithError(("box shown: " + boxes.shown).c_str());
}

} // namespace

BENCHMARK(BM_AirEditOkMultipleSelection)->Unit(benchmark::kMillisecond);
