// Exporting a generated 30,000-airway mine with every label and the arrows on: the TXT exchange file and
// both DXF forms, written to disk (the DXF options dialog and the redraw after it excluded).
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "common/TestFolder.h"
#include "exchange/dxf_writer.h"
#include "exchange/export.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/safe_file.h"
#include "model/units.h"
#include "platform/PictureBox.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>

namespace {

constexpr int NetworkSize = 30000;

// The generated mine with node names and flows, all layers shown, fitted into window 0.
struct ExportSetup {
    TestFolder folder;
    PictureBox picture{1600, 1000};

    ExportSetup() {
        SetFreshDefaults();
        SetBuiltInUnits();
        UnitSystem = 1;
        picture.ScaleWidth = 1600;
        picture.ScaleHeight = 1000;
        picture.ScaleLeft = -800;
        picture.ScaleTop = -500;
        SetWindowPicture(0, &picture);
        ActiveWindow = 0;
        MaxAirways = NetworkSize + 2;
        GenerateNetwork(NetworkSize, 30000);
        for (int a = 1; a <= AirwayCount; ++a) {
            std::string name = std::to_string(a);
            name.insert(0, 1, 'N'); // (operator+ on a literal upsets GCC 12's overlap warning)
            AirwayEndName(a) = name;
            AirwayFlow(a) = static_cast<float>(a % 97) * 0.37f;
        }
        for (int i = 1; i <= 16; ++i)
            PrimaryLayerVisible(i) = true;
        for (int i = 1; i <= 48; ++i)
            SecondaryLayerVisible(i) = true;
        ViewMode = 4;
        ViewIs3D = 0;
        GraphicsDetail = 511;
        DataCode = 12;
        ExportDataSize = ExportNodeSize = ExportAirwaySize = ExportFloatSize = 8;
        ExportArrowSize = 5;
        ExportNodeCircleSize = 2;
        SetVisibleAirways();
        FitNetwork();
        PrepareDrawing();
    }
    ~ExportSetup() {
        SetWindowPicture(0, nullptr);
        ActiveWindow = -1;
    }
    std::string path(const char *name) const { return folder.path() + name; }
};

void counters(benchmark::State &state, const std::string &path) {
    state.counters["airways"] = AirwayCount;
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(QString::fromStdString(path)).size());
}

void BM_ExportText30000(benchmark::State &state) {
    ExportSetup setup;
    const std::string path = setup.path("export.txt");
    for (auto _ : state)
        ExportText(path);
    counters(state, path);
}
BENCHMARK(BM_ExportText30000)->Unit(benchmark::kMillisecond);

void BM_ExportDxfTrue30000(benchmark::State &state) {
    ExportSetup setup;
    const std::string path = setup.path("true.dxf");
    for (auto _ : state)
        ReplaceFileContents(path, DxfTrueBytes());
    counters(state, path);
}
BENCHMARK(BM_ExportDxfTrue30000)->Unit(benchmark::kMillisecond);

void BM_ExportDxfScreen30000(benchmark::State &state) {
    ExportSetup setup;
    const std::string path = setup.path("screen.dxf");
    for (auto _ : state)
        ReplaceFileContents(path, DxfScreenBytes());
    counters(state, path);
    state.counters["records"] = AirwayScreenCount;
}
BENCHMARK(BM_ExportDxfScreen30000)->Unit(benchmark::kMillisecond);

} // namespace
