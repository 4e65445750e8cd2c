// Rebuilding the visible list and re-projecting a large network, as every edit and every rotation step does.
#include "bench_grid.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"

#include <benchmark/benchmark.h>

namespace {

// A mine of ten levels 50 m apart, each a grid of drives on mine-grid coordinates, joined by raises.
void makeNetwork(int airways) {
    MakeLevelledGrid(airways, 500000, 7000000);
    for (int a = 1; a <= AirwayCount; ++a) {
        AirwayPrimaryLayer(a) = 1 + a % 16;
        AirwaySecondaryLayer(a) = 1 + a % 48;
        AirwayFlow(a) = static_cast<float>(a % 100);
    }
}

void runViewRebuild(benchmark::State &state, int viewMode, int perspective) {
    makeNetwork(30000);
    PictureBox picture(1000, 800);
    picture.ScaleWidth = 3000;
    picture.ScaleHeight = 2400;
    picture.ScaleLeft = -1500;
    picture.ScaleTop = -1200;
    OpenWindowZero(picture);
    ViewMode = viewMode;
    RLWindowLow = -220;
    RLWindowHigh = -80;
    GraphicsDetail = 0x200;
    ViewIs3D = 1;
    Tilt = 0.8f;
    Spin = 0.4f;
    Perspective = perspective;
    PerspectiveDepth = perspective;
    AirwayStart(1, 0) = 501200;
    AirwayStart(2, 0) = 7000600;
    AirwayStart(3, 0) = -250;
    RotationCentreSet = 1;
    SpinStep = 0.001f;
    for (auto _ : state) {
        SetVisibleAirways();
        RotateView();
        benchmark::DoNotOptimize(AirwayEndProjected(2, AirwayCount));
    }
    SpinStep = 0;
    CloseWindowZero();
}

void BM_VisibleAndRotateAllLevels(benchmark::State &state) {
    runViewRebuild(state, 4, 0);
}
void BM_VisibleAndRotateLevelWindow(benchmark::State &state) {
    runViewRebuild(state, 3, 0);
}
void BM_VisibleAndRotatePerspective(benchmark::State &state) {
    runViewRebuild(state, 4, 1);
}

} // namespace

BENCHMARK(BM_VisibleAndRotateAllLevels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisibleAndRotateLevelWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisibleAndRotatePerspective)->Unit(benchmark::kMicrosecond);
