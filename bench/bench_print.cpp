// Printing the generated 30,000-airway network, fitted in a 1600 × 1000 plan window, to an A4 PDF: lines
// only and fully labelled; the print dialog's loading, orientation switch and three copies.
#include "bench_grid.h"
#include "common/NetworkGenerator.h"
#include "common/TestFolder.h"
#include "common/TestPrinters.h"
#include "exchange/frmPrinter.h"
#include "exchange/print_network.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/VBControls.h"

#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <optional>

namespace {

// The generated network fitted in a 1600 × 1000 plan window and drawn with this detail, and three PDF
// printers in a folder of their own, for the life of the object.
class PrintBench {
public:
    explicit PrintBench(int detail) {
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
        picture_.Tag.assign(1, '0');
        OpenWindowZero(picture_);
        WindowOpen(0) = true;
        SetVisibleAirways();
        FitNetwork();
        Redraw();
        std::vector<std::shared_ptr<VB::PrinterDriver>> printers;
        for (const char *name : {"First", "Second", "Third"})
            printers.push_back(std::make_shared<VB::PdfPrinter>(name, folder_.path() + name + ".pdf"));
        printers_.emplace(printers);
    }
    ~PrintBench() {
        printers_.reset();
        CloseWindowZero();
    }
    PrintBench(const PrintBench &) = delete;
    PrintBench &operator=(const PrintBench &) = delete;

private:
    PictureBox picture_{1600, 1000};
    TestFolder folder_;
    std::optional<TestPrinters> printers_;
};

void runPrint(benchmark::State &state, int detail) {
    PrintBench bench(detail);
    for (auto _ : state) {
        PrintScale = 0;
        PrintNetwork();
    }
    state.counters["records"] = AirwayScreenCount;
}

void BM_PrintLinesOnly(benchmark::State &state) {
    runPrint(state, 0);
}
void BM_PrintFullyLabelled(benchmark::State &state) {
    runPrint(state, 511);
}

// The print dialog neither projects nor draws the network: only the window's width takes part.
void BM_PrinterDialogLoad(benchmark::State &state) {
    PrintBench bench(511);
    for (auto _ : state) {
        frmPrinter dialog;
        benchmark::DoNotOptimize(dialog.FitScale);
    }
}

void BM_PrinterDialogOrientationSwitch(benchmark::State &state) {
    PrintBench bench(511);
    frmPrinter dialog;
    int orientation = 0;
    for (auto _ : state) {
        orientation = 1 - orientation;
        dialog.OptOrient[orientation]->SetValue(true);
        benchmark::DoNotOptimize(dialog.FitScale);
    }
}

// Three copies of the fully labelled printout from the dialog's Print button.
void BM_PrintThreeCopiesFullyLabelled(benchmark::State &state) {
    PrintBench bench(511);
    for (auto _ : state) {
        state.PauseTiming();
        frmPrinter dialog;
        dialog.TxtCopies->setText("3");
        state.ResumeTiming();
        dialog.PrintIt_Click();
    }
}

} // namespace

BENCHMARK(BM_PrintLinesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintFullyLabelled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrinterDialogLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrinterDialogOrientationSwitch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintThreeCopiesFullyLabelled)->Unit(benchmark::kMillisecond);
