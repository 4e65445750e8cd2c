// Repainting a 30,000-airway network on a 1600 × 1000 picture: lines only, fully labelled, and labelled
// without texts (the difference to the fully labelled figure is the share taken by text); and View > Fit
// All with its repaint, fully labelled.
#include "bench_grid.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBox.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int GridNodes = 123; // 2 × 123 × 122 = 30,012 airways
constexpr int Spacing = 20;    // m

// A plan grid of drives with names, flows, a fan, bulkheads and doors here and there.
void makeGridNetwork() {
    MaxAirways = 2 * GridNodes * (GridNodes - 1) + 10;
    ReDimNetwork();
    AirwayCount = 0;
    const auto node = [](int i, int j) {
        std::string name = std::to_string(i);
        name.insert(0, 1, 'N');
        name += '-';
        name += std::to_string(j);
        return name;
    };
    const auto add = [&](int i1, int j1, int i2, int j2) {
        const int a = ++AirwayCount;
        AirwayStart(1, a) = i1 * Spacing;
        AirwayStart(2, a) = j1 * Spacing;
        AirwayStart(3, a) = -100;
        AirwayEnd(1, a) = i2 * Spacing;
        AirwayEnd(2, a) = j2 * Spacing;
        AirwayEnd(3, a) = -100;
        AirwayStartName(a) = node(i1, j1);
        AirwayEndName(a) = node(i2, j2);
        std::string name = std::to_string(a);
        name.insert(0, 1, 'D');
        AirwayName(a) = name;
        AirwayFlags(a) = AirwayFlag::Rectangular | AirwayFlag::LayerVisible;
        AirwaySize(1, a) = 4;
        AirwaySize(2, a) = 5;
        AirwayLength(a) = Spacing;
        AirwayFlow(a) = static_cast<float>(a % 97) * 0.37f;
        AirwayResistance(a) = 0.01f;
        AirwayResistanceType(a) = a % 50 == 0 ? 1 : (a % 70 == 0 ? 2 : 0);
        AirwayFan(a) = a % 400 == 0 ? -1 : 0;
        AirwayPrimaryLayer(a) = 1;
        AirwaySecondaryLayer(a) = 1;
        VisibleAirways(a) = a;
    };
    for (int i = 0; i < GridNodes; ++i)
        for (int j = 0; j < GridNodes; ++j) {
            if (i + 1 < GridNodes)
                add(i, j, i + 1, j);
            if (j + 1 < GridNodes)
                add(i, j, i, j + 1);
        }
    VisibleAirways(AirwayCount + 1) = 0;
}

void setDrawingDefaults() {
    SetBuiltInUnits();
    UnitSystem = 1;
    SetBuiltInColours();
    SetBuiltInSymbols();
    SetBuiltInFonts();
    ResistanceTypeName(1) = "Bulkhead";
    ResistanceTypeName(2) = "Steel Door";
    // Fonts that keep their size, so that every text is drawn at this zoom.
    FontScale = 0;
    LoadSymbolPictures();
    DataCode = 12;
    DataDisplayMode = 0;
    ViewIs3D = 0;
    ViewMode = 4;
    PlanProjected = 0;
    AxisSignX = 1;
    AxisSignY = -1;
    GridOn = false;
}

// With `fit`, each repaint follows View > Fit All's fit of the network and its labels.
void runRedraw(benchmark::State &state, int detail, bool fit = false) {
    makeGridNetwork();
    setDrawingDefaults();
    PictureBox picture(1600, 1000);
    // The whole network in the window: 2,440 m high, 3,904 m wide.
    const double height = (GridNodes - 1) * Spacing * 1.0;
    picture.ScaleHeight = height;
    picture.ScaleWidth = height * 1.6;
    picture.ScaleLeft = -picture.ScaleWidth / 2;
    picture.ScaleTop = -height / 2;
    picture.Tag.assign(1, '0'); // (an assignment from a literal upsets GCC 12's overlap warning)
    PanX = height / 2;
    PanY = height / 2;
    OpenWindowZero(picture);
    WindowOpen(0) = true;
    GraphicsDetail = detail;
    for (auto _ : state) {
        if (fit)
            FitNetwork();
        Redraw();
        benchmark::DoNotOptimize(picture.Image().constBits());
    }
    state.counters["records"] = AirwayScreenCount;
    CloseWindowZero();
}

// Node names, airway names, data values, symbols, node pictures, arrows, contaminants, floating text.
constexpr int FullDetail = 511;
constexpr int TextBits = 1 | 2 | 4 | 256;

void BM_RedrawLinesOnly(benchmark::State &state) {
    runRedraw(state, 0);
}
void BM_RedrawFullyLabelled(benchmark::State &state) {
    runRedraw(state, FullDetail);
}
void BM_RedrawSymbolsWithoutText(benchmark::State &state) {
    runRedraw(state, FullDetail & ~TextBits);
}
void BM_FitAllFullyLabelled(benchmark::State &state) {
    runRedraw(state, FullDetail, true);
}

} // namespace

BENCHMARK(BM_RedrawLinesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawFullyLabelled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawSymbolsWithoutText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitAllFullyLabelled)->Unit(benchmark::kMillisecond);
