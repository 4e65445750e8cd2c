// Picks on a 30,000-airway drawing, as every press and release of an editing tool makes.
#include "bench_grid.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/picking.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int PickAirways = 30000;

// A grid of 40 m drives on ten levels joined by raises, all drawn in one plan window.
void makeDrawnNetwork(PictureBox &picture) {
    MakeLevelledGrid(PickAirways, 0, 0);
    for (int a = 1; a <= AirwayCount; ++a) {
        AirwayPrimaryLayer(a) = 1;
        AirwaySecondaryLayer(a) = 1;
        AirwayLength(a) = 40;
    }
    ShowAllLayersInPlan();
    AxisSignX = AxisSignY = 1;
    picture.ScaleWidth = picture.ScaleHeight = 4000;
    picture.ScaleLeft = picture.ScaleTop = -2000;
    PanX = 1200;
    PanY = 1000;
    OpenWindowZero(picture);
    PickDivisor = 25;
    SetVisibleAirways();
    FitPass = true;
    PrepareDrawing();
    FitPass = false;
}

void BM_PickAirwayEnd(benchmark::State &state) {
    PictureBox picture(1000, 1000);
    makeDrawnNetwork(picture);
    int32_t X = 0, Y = 0, Z = 0;
    std::string name;
    int end = 0;
    float x = -1000;
    for (auto _ : state) {
        PickAirwayEnd(x, 3, X, Y, Z, name, end);
        benchmark::DoNotOptimize(end);
        x = x > 1000 ? -1000 : x + 7;
    }
    state.counters["records"] = AirwayScreenCount;
    CloseWindowZero();
}

void BM_PickAirway(benchmark::State &state) {
    PictureBox picture(1000, 1000);
    makeDrawnNetwork(picture);
    int32_t X = 0, Y = 0, Z = 0;
    int airway = 0;
    float x = -1000;
    for (auto _ : state) {
        PickAirway(x, 13, X, Y, Z, airway);
        benchmark::DoNotOptimize(airway);
        x = x > 1000 ? -1000 : x + 7;
    }
    state.counters["records"] = AirwayScreenCount;
    CloseWindowZero();
}

} // namespace

BENCHMARK(BM_PickAirwayEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PickAirway)->Unit(benchmark::kMicrosecond);
