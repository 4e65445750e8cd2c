// The airway-by-airway tools on a generated 30,000-airway mine drawn in plan: a draw from the middle of an
// airway (which splits it), a fence delete of over 10,000 airways with its undo records, and a find
// that wraps round the whole network. Redraws are suspended while they are timed.
#include "common/NetworkGenerator.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/locate.h"
#include "graphics/mouse.h"
#include "graphics/tool_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

constexpr int NetworkSize = 30000;

class AnswerYes : public VB::DialogResponder {
public:
    int Message(const VB::MessageRequest &) override { return VB::vbYes; }
    std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
};

// The generated mine, every layer shown, fitted and drawn into window 0, with an empty undo log.
struct ToolSetup {
    PictureBox picture{1000, 1000};
    AnswerYes answers;
    VB::DialogResponder *previous = VB::SetDialogResponder(&answers);

    ToolSetup() {
        SetWindowPicture(0, &picture);
        ActiveWindow = 0;
    }
    ~ToolSetup() {
        RedrawSuspended = false;
        SetWindowPicture(0, nullptr);
        ActiveWindow = -1;
        VB::SetDialogResponder(previous);
    }
    void Build() {
        RedrawSuspended = false;
        MaxAirways = NetworkSize + 100;
        GenerateNetwork(NetworkSize, 30000);
        for (int i = 1; i <= 16; ++i)
            PrimaryLayerVisible(i) = true;
        for (int i = 1; i <= 48; ++i)
            SecondaryLayerVisible(i) = true;
        ViewMode = 4;
        ViewIs3D = 0;
        AxisSignX = AxisSignY = 1;
        LevelRange(1, 1) = LevelRange(1, 2) = 100000; // the surface above everything
        ResetUndoSteps();
        ResetUndoFile();
        SetVisibleAirways();
        FitNetwork();
        PrepareDrawing();
        ButtonHeld = MouseBusy = MouseMoveSeen = false;
        RedrawSuspended = true;
    }
};

void gesture(float x1, float y1, float x2, float y2) {
    WindowPressEvent(0, 1, 0, x1, y1);
    WindowMoveEvent(0, 1, 0, (x1 + x2) / 2, (y1 + y2) / 2);
    WindowMoveEvent(0, 1, 0, x2, y2);
    WindowReleaseEvent(0, 1, 0, x2, y2);
}

void BM_DrawFromTheMiddleOfAnAirway(benchmark::State &state) {
    ToolSetup setup;
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup.Build();
        ToolMode = 1;
        // Zoomed in on the middle of the longest airway, as a user draws off a drive.
        int longest = 1;
        for (int a = 2; a <= AirwayCount; ++a)
            if (AirwayLength(a) > AirwayLength(longest))
                longest = a;
        const double width = 2.0 * AirwayLength(longest);
        SetViewScale(width, width, (AirwayStart(1, longest) + AirwayEnd(1, longest)) / 2,
                     (AirwayStart(2, longest) + AirwayEnd(2, longest)) / 2);
        RedrawSuspended = false;
        PrepareDrawing();
        RedrawSuspended = true;
        const int before = AirwayCount;
        const float along = static_cast<float>(width / 4);
        state.ResumeTiming();
        gesture(0, 0, along / 3, along);
        state.PauseTiming();
        added = AirwayCount - before;
        state.ResumeTiming();
    }
    state.counters["airways added"] = added;
}

void BM_FenceDeleteOfOverTenThousandAirways(benchmark::State &state) {
    ToolSetup setup;
    int deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup.Build();
        ToolMode = 4;
        const int before = AirwayCount;
        // A band across the drawing holding over 10,000 airways.
        const PictureBox &p = setup.picture;
        const float left = static_cast<float>(p.ScaleLeft),
                    right = static_cast<float>(p.ScaleLeft + p.ScaleWidth);
        const float top = static_cast<float>(p.ScaleTop + p.ScaleHeight * 0.35);
        const float bottom = static_cast<float>(p.ScaleTop + p.ScaleHeight * 0.65);
        state.ResumeTiming();
        gesture(left + 1, top, right - 1, bottom);
        state.PauseTiming();
        deleted = before - AirwayCount;
        state.ResumeTiming();
    }
    state.counters["airways deleted"] = deleted;
}

void BM_FindThatWrapsRoundTheNetwork(benchmark::State &state) {
    ToolSetup setup;
    setup.Build();
    AirwayName(1) = "Target drive";
    SearchKind = 4;
    SearchText = "TARGET";
    for (auto _ : state) {
        SearchPosition = 2;
        FindNextBranch();
    }
    state.counters["found slot"] = SearchPosition - 1;
}

} // namespace

BENCHMARK(BM_DrawFromTheMiddleOfAnAirway)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FenceDeleteOfOverTenThousandAirways)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FindThatWrapsRoundTheNetwork)->Unit(benchmark::kMillisecond);
