// One undo step that restores 10,000 airways deleted by a fence on a 30,000-airway network, and its redo.
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/undo.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int NetworkSize = 30000;
constexpr int Deleted = 10000;

// A 150 × 200 grid of level airways; every third airway falls inside the fence.
void buildAndDelete() {
    MaxAirways = NetworkSize;
    UndoBufferSize = 30000;
    MaxFloatingTexts = 10;
    ReDimNetwork();
    LevelRange(1, 2) = 1000;
    AutoSimulate = false;
    ResetUndoSteps();
    ResetUndoFile();
    for (int a = 1; a <= NetworkSize; ++a) {
        const int row = (a - 1) / 200, col = (a - 1) % 200;
        AirwayStart(1, a) = 1000 + col * 50;
        AirwayStart(2, a) = 1000 + row * 50;
        AirwayEnd(1, a) = 1050 + col * 50;
        AirwayEnd(2, a) = 1000 + row * 50;
        AirwayStart(3, a) = AirwayEnd(3, a) = 100;
        AirwayName(a) = "Airway " + std::to_string(a);
        AirwayFlags(a) = AirwayFlag::Rectangular;
        AirwaySize(1, a) = AirwaySize(2, a) = 4;
    }
    AirwayCount = NetworkSize;
    UpdateNodeKeys();
    int removed = 0;
    for (int a = 1; a <= AirwayCount && removed < Deleted; a += 3, ++removed) {
        RecordUndo(a, UndoCode::Before, UndoStep);
        ClearAirway(a);
    }
    PackAirways();
    ++UndoStep;
}

void BM_UndoFenceDelete(benchmark::State &state) {
    buildAndDelete();
    for (auto _ : state) {
        UndoAction();
        state.PauseTiming();
        if (AirwayCount != NetworkSize)
            state.SkipWithError("undo did not restore the network");
        RedoAction();
        state.ResumeTiming();
    }
}

void BM_RedoFenceDelete(benchmark::State &state) {
    buildAndDelete();
    for (auto _ : state) {
        state.PauseTiming();
        UndoAction();
        state.ResumeTiming();
        RedoAction();
        if (AirwayCount != NetworkSize - Deleted)
            state.SkipWithError("redo did not delete again");
    }
}

} // namespace

BENCHMARK(BM_UndoFenceDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedoFenceDelete)->Unit(benchmark::kMillisecond);
