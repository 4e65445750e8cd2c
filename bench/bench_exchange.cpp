// Exporting a generated 30,000-airway mine with every label and the arrows on: the TXT exchange file and
// both DXF forms, written to disk (the DXF options dialog and the redraw after it excluded). Importing the
// TXT file and the true-coordinate drawing (arrow size 0) back in place of the network, levels included.
#include "bench_grid.h"
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "common/TestFolder.h"
#include "exchange/dxf_writer.h"
#include "exchange/export.h"
#include "exchange/import.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/safe_file.h"
#include "model/units.h"
#include "platform/Dialogs.h"
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
        OpenWindowZero(picture);
        MaxAirways = NetworkSize + 2;
        GenerateNetwork(NetworkSize, 30000);
        for (int a = 1; a <= AirwayCount; ++a) {
            std::string name = std::to_string(a);
            name.insert(0, 1, 'N'); // (operator+ on a literal upsets GCC 12's overlap warning)
            AirwayEndName(a) = name;
            AirwayFlow(a) = static_cast<float>(a % 97) * 0.37f;
        }
        ShowAllLayersInPlan();
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
        CloseWindowZero();
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

// Answers every box with No (the surface check of a generated mine may ask).
class AnswerEveryBoxNo : public VB::DialogResponder {
public:
    int Message(const VB::MessageRequest &) override { return VB::vbNo; }
    std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
};

void runImport(benchmark::State &state, const std::string &path) {
    AnswerEveryBoxNo answers;
    VB::DialogResponder *previous = VB::SetDialogResponder(&answers);
    int imported = 0;
    for (auto _ : state) {
        ImportFileName = path;
        NetworkSaved = 255;
        ImportNetwork({}, {});
        imported = AirwayCount;
    }
    state.counters["airways"] = imported;
    VB::SetDialogResponder(previous);
}

void BM_ImportText30000(benchmark::State &state) {
    ExportSetup setup;
    const std::string path = setup.path("import.txt");
    ExportText(path);
    runImport(state, path);
}
BENCHMARK(BM_ImportText30000)->Unit(benchmark::kMillisecond);

void BM_ImportDxfTrue30000(benchmark::State &state) {
    ExportSetup setup;
    const std::string path = setup.path("import.dxf");
    ExportArrowSize = 0;
    ReplaceFileContents(path, DxfTrueBytes());
    runImport(state, path);
}
BENCHMARK(BM_ImportDxfTrue30000)->Unit(benchmark::kMillisecond);

} // namespace
