// Saving and loading a generated 30,000-airway mine network as a network file.
#include "bench_grid.h"
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "common/TestFolder.h"
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "platform/PictureBox.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>

namespace {

constexpr int NetworkSize = 30000;

// A generated network, window 0 active (saving needs one) and a folder of its own.
struct Setup {
    TestFolder folder;
    PictureBox picture{800, 600};
    std::string path;

    Setup() {
        SetFreshDefaults();
        picture.ScaleWidth = 4000;
        picture.ScaleHeight = 3000;
        picture.ScaleLeft = -2000;
        picture.ScaleTop = -1500;
        OpenWindowZero(picture);
        MaxAirways = NetworkSize + 2;
        GenerateNetwork(NetworkSize, 30000);
        path = folder.path() + "mine30000.sim";
        NetworkFileName = path;
        MasterFile = false;
        SmokeMode = 0;
    }
    ~Setup() {
        CloseWindowZero();
    }
};

void BM_SaveNetwork30000(benchmark::State &state) {
    Setup setup;
    for (auto _ : state) {
        FileNote.clear();
        NetworkFileName = setup.path;
        benchmark::DoNotOptimize(SaveNetwork(0));
    }
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(QString::fromStdString(setup.path)).size());
}
BENCHMARK(BM_SaveNetwork30000)->Unit(benchmark::kMillisecond);

void BM_LoadNetwork30000(benchmark::State &state) {
    Setup setup;
    SaveNetwork(0);
    for (auto _ : state) {
        NetworkFileName = setup.path;
        LoadMode = 1;
        benchmark::DoNotOptimize(LoadNetwork());
    }
    state.counters["airways"] = AirwayCount;
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(QString::fromStdString(setup.path)).size());
}
BENCHMARK(BM_LoadNetwork30000)->Unit(benchmark::kMillisecond);

} // namespace
