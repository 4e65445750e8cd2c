// The editing tools on a generated 30,000-airway mine drawn in plan: a draw from the middle of an airway
// (which splits it), a fence delete of over 10,000 airways with its undo records, a find that wraps round
// the whole network, a node move and a fence copy of 10,000 airways. Redraws are suspended while they are
// timed.
#include "bench_grid.h"
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
        OpenWindowZero(picture);
    }
    ~ToolSetup() {
        RedrawSuspended = false;
        CloseWindowZero();
        VB::SetDialogResponder(previous);
    }
    void Build(int airways = NetworkSize, int capacity = NetworkSize + 100) {
        RedrawSuspended = false;
        MaxAirways = capacity;
        GenerateNetwork(airways, 30000);
        ShowAllLayersInPlan();
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

// Zooms window 0 to twice the length of the longest airway, centred on its middle or its start node, and
// draws it there; returns that airway and the window's width.
std::pair<int, double> zoomOnLongest(bool onStart) {
    int longest = 1;
    for (int a = 2; a <= AirwayCount; ++a)
        if (AirwayLength(a) > AirwayLength(longest))
            longest = a;
    const double width = 2.0 * AirwayLength(longest);
    const int32_t x =
        onStart ? AirwayStart(1, longest) : (AirwayStart(1, longest) + AirwayEnd(1, longest)) / 2;
    const int32_t y =
        onStart ? AirwayStart(2, longest) : (AirwayStart(2, longest) + AirwayEnd(2, longest)) / 2;
    SetViewScale(width, width, x, y);
    RedrawSuspended = false;
    PrepareDrawing();
    RedrawSuspended = true;
    return {longest, width};
}

void gesture(float x1, float y1, float x2, float y2) {
    WindowPressEvent(0, 1, 0, x1, y1);
    WindowMoveEvent(0, 1, 0, (x1 + x2) / 2, (y1 + y2) / 2);
    WindowMoveEvent(0, 1, 0, x2, y2);
    WindowReleaseEvent(0, 1, 0, x2, y2);
}

// A drag across the whole width of window 0 between two fractions of its height.
void bandGesture(const PictureBox &p, double from, double to) {
    const float left = static_cast<float>(p.ScaleLeft + 1),
                right = static_cast<float>(p.ScaleLeft + p.ScaleWidth - 1);
    gesture(left, static_cast<float>(p.ScaleTop + p.ScaleHeight * from), right,
            static_cast<float>(p.ScaleTop + p.ScaleHeight * to));
}

void BM_DrawFromTheMiddleOfAnAirway(benchmark::State &state) {
    ToolSetup setup;
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup.Build();
        ToolMode = 1;
        // Zoomed in on the middle of the longest airway, as a user draws off a drive.
        const double width = zoomOnLongest(false).second;
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
        state.ResumeTiming();
        bandGesture(setup.picture, 0.35, 0.65);
        state.PauseTiming();
        deleted = before - AirwayCount;
        state.ResumeTiming();
    }
    state.counters["airways deleted"] = deleted;
}

void BM_MoveANode(benchmark::State &state) {
    ToolSetup setup;
    int moved = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup.Build();
        ToolMode = 2;
        // Zoomed in on the start node of the longest airway; the node goes a little aside.
        const auto [longest, width] = zoomOnLongest(true);
        const int32_t x = AirwayStart(1, longest);
        const float aside = static_cast<float>(width / 7);
        state.ResumeTiming();
        gesture(0, 0, aside, aside);
        state.PauseTiming();
        moved = AirwayStart(1, longest) != x;
        state.ResumeTiming();
    }
    state.counters["node moved"] = moved;
}

// The copy needs room beside the network within the 32,767 airways a network can have, so the mine has
// 22,000 airways here.
void BM_FenceCopyOfTenThousandAirways(benchmark::State &state) {
    ToolSetup setup;
    int copied = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup.Build(22000, AirwayLimit);
        ToolMode = 2;
        MakeCopy = 1; // as the coordinate dialog's "Make a copy" sets it
        const int before = AirwayCount;
        state.ResumeTiming();
        bandGesture(setup.picture, 0.31, 0.69);
        state.PauseTiming();
        copied = AirwayCount - before;
        state.ResumeTiming();
    }
    state.counters["airways copied"] = copied;
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
BENCHMARK(BM_MoveANode)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FenceCopyOfTenThousandAirways)->Unit(benchmark::kMillisecond)->Iterations(10);
