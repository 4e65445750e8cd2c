// Printing the generated 30,000-airway network, fitted in a 1600 × 1000 plan window, to an A4 PDF: lines
// only and fully labelled.
#include "common/NetworkGenerator.h"
#include "common/TestFolder.h"
#include "common/TestPrinters.h"
#include "exchange/print_network.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"

#include <benchmark/benchmark.h>

namespace {

void runPrint(benchmark::State &state, int detail) {
    GenerateNetwork(30000, 11);
    SetBuiltInUnits();
    UnitSystem = 1;
    SetBuiltInColours();
    SetBuiltInSymbols();
    SetBuiltInFonts();
    FontScale = 0; // every text at its set size
    LoadSymbolPictures();
    DataCode = 12;
    DataDisplayMode = 0;
    ViewIs3D = 0;
    ViewMode = 4;
    GridOn = false;
    GraphicsDetail = detail;
    PictureBox picture(1600, 1000);
    picture.Tag.assign(1, '0');
    SetWindowPicture(0, &picture);
    ActiveWindow = 0;
    WindowOpen(0) = true;
    SetVisibleAirways();
    FitNetwork();
    Redraw();

    TestFolder folder;
    TestPrinters printers({std::make_shared<VB::PdfPrinter>("Pdf", folder.path() + "network.pdf")});
    for (auto _ : state) {
        PrintScale = 0;
        PrintNetwork();
    }
    state.counters["records"] = AirwayScreenCount;
    SetWindowPicture(0, nullptr);
    ActiveWindow = -1;
}

void BM_PrintLinesOnly(benchmark::State &state) {
    runPrint(state, 0);
}
void BM_PrintFullyLabelled(benchmark::State &state) {
    runPrint(state, 511);
}

} // namespace

BENCHMARK(BM_PrintLinesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintFullyLabelled)->Unit(benchmark::kMillisecond);
