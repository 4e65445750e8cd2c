// Commands of the main window on a 30,000-airway network: one rotation pad step of a fitted 3-D window
// (turn, re-projection and the airway lines), and naming every node.
#include "bench_grid.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"
#include "shell/network_commands.h"
#include "shell/shell_state.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Airways = 30000;

void BM_RotationPadTick30000(benchmark::State &state) {
    MakeLevelledGrid(Airways, 500000, 7000000);
    for (int a = 1; a <= AirwayCount; ++a) {
        AirwayPrimaryLayer(a) = 1;
        AirwaySecondaryLayer(a) = 1;
    }
    PrimaryLayerVisible(1) = true;
    SecondaryLayerVisible(1) = true;
    PictureBox picture(1600, 1000);
    OpenWindowZero(picture);
    ViewMode = 4;
    ViewIs3D = 1;
    Tilt = 0.5f;
    Spin = 0.3f;
    SetVisibleAirways();
    // The view turns about the middle of the mine, so it stays in the window.
    CentreOfVisible();
    RotationCentreSet = 1;
    RotateView();
    FitNetwork();
    SpinSpeed = TiltSpeed = 2;
    RotatorX = 7; // one degree of spin per step
    RotatorY = 28;
    for (auto _ : state)
        RotationTick();
    state.counters["lines"] = AirwayScreenCount;
    CloseWindowZero();
}
BENCHMARK(BM_RotationPadTick30000)->Unit(benchmark::kMillisecond);

void BM_AutoNameNodes30000(benchmark::State &state) {
    MakeLevelledGrid(Airways, 500000, 7000000);
    for (auto _ : state) {
        state.PauseTiming();
        for (int a = 1; a <= AirwayCount; ++a) {
            AirwayStartName(a) = "";
            AirwayEndName(a) = "";
        }
        state.ResumeTiming();
        AutoNameNodes("N");
    }
}
BENCHMARK(BM_AutoNameNodes30000)->Unit(benchmark::kMillisecond);

} // namespace
