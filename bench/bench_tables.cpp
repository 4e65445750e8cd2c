// The network spreadsheet on a generated network of 30,000 visible airways: filling the grid, writing it
// back, and sorting it on the Name column; the name list of the nodes.
#include "common/NetworkGenerator.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "tables/frmSpreadSheet.h"
#include "tables/name_lists.h"
#include "tables/spreadsheet_state.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<frmSpreadSheet> openSheet() {
    SetBuiltInUnits();
    UnitSystem = 1;
    GenerateNetwork(30000, 7);
    for (int a = 1; a <= AirwayCount; ++a) {
        VisibleAirways(a) = a;
        AirwayName(a) = "Drive " + std::to_string((a * 7919) % 30011);
    }
    VisibleAirways(AirwayCount + 1) = 0;
    auto sheet = std::make_unique<frmSpreadSheet>();
    sheet->Form_Load();
    return sheet;
}

void BM_SpreadsheetFill(benchmark::State &state) {
    auto sheet = openSheet();
    for (auto _ : state)
        sheet->mnuUndo_Click(); // refills the grid from the network
    state.counters["rows"] = sheet->Spreadsheet->Rows() - 1;
}
BENCHMARK(BM_SpreadsheetFill)->Unit(benchmark::kMillisecond);

// Every row's name changed since the last save.
void BM_SpreadsheetSave(benchmark::State &state) {
    auto sheet = openSheet();
    VBGrid &grid = *sheet->Spreadsheet;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (int r = 1; r < grid.Rows(); ++r)
            grid.SetTextMatrix(r, SheetColName, "Drive " + std::to_string(r + round));
        state.ResumeTiming();
        sheet->SaveGrid();
    }
}
BENCHMARK(BM_SpreadsheetSave)->Unit(benchmark::kMillisecond);

void BM_SpreadsheetSortByName(benchmark::State &state) {
    auto sheet = openSheet();
    VBGrid &grid = *sheet->Spreadsheet;
    bool descending = false;
    for (auto _ : state) {
        grid.SetRow(1);
        grid.SetCol(SheetColName);
        descending ? sheet->mnuDescend_Click() : sheet->mnuAscend_Click();
        descending = !descending;
    }
}
BENCHMARK(BM_SpreadsheetSortByName)->Unit(benchmark::kMillisecond);

// The "Nodes" list: every entry-node name trimmed, sorted without regard to case and listed once.
void BM_NodeNameList(benchmark::State &state) {
    GenerateNetwork(30000, 7);
    for (int a = 1; a <= AirwayCount; ++a)
        AirwayStartName(a) = " Node " + std::to_string((a * 7919) % 20011);
    for (auto _ : state) {
        frmListAirNodes list;
        list.Form_Load();
        state.counters["names"] = list.List1->ListCount();
    }
}
BENCHMARK(BM_NodeNameList)->Unit(benchmark::kMillisecond);

} // namespace
