// The smoke trace and the contaminant spread on a balanced generated mine of 30,000 airways with 10
// contaminant sources and 10 smoke reports, without windows; one simplification of a balanced mine of
// 15,000 airways each split in two at its middle, so that it has chains to join.
#include "common/NetworkGenerator.h"
#include "model/Gustrom1.h"
#include "model/airway_fields.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "simulation/simplify.h"
#include "simulation/smoke_spread.h"
#include "solver/driver.h"
#include "solver/smoke_ui.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int MineSize = 30000;

// The reach passes and mixing sweeps of the last spread, as it reports them.
class SpreadCounter : public SmokeUi {
public:
    int passes = 0, sweeps = 0;
    void SetIteration(const std::string &text) override { passes = std::stoi(text); }
    void SetConvergence(const std::string &text) override {
        // "0" opens a spread; every sweep reports its convergence after it.
        sweeps = text == "0" ? 0 : sweeps + 1;
    }
};

// A balanced mine, built and solved once; every airway's stored fields are kept to put it back.
struct Mine {
    std::vector<AirwayValues> rows;
    int count = 0;
    bool balanced = false;

    explicit Mine(bool split) {
        GenerateNetwork(split ? MineSize / 2 : MineSize, 2026);
        MaxIterations = 300;
        AnalysisMode = 0;
        ShowProgress = 0;
        Simulate();
        balanced = NetworkBalanced;
        if (split)
            splitInTwo();
        count = AirwayCount;
        // Ten sources and ten smoke reports spread evenly over the airways that carry air.
        std::vector<int> carrying;
        for (int a = 1; a <= AirwayCount; ++a)
            if (AirwayFlow(a) > 0.1f)
                carrying.push_back(a);
        const size_t step = carrying.size() / 21;
        for (size_t k = 1; k <= 20 && step > 0; ++k) {
            const int a = carrying[k * step];
            if (k % 2 == 1) {
                AirwayFlags(a) |= AirwayFlag::ContaminantSource;
                AirwayContaminant(a) = 100;
            } else {
                AirwaySmoke(1, a) = 1;
            }
        }
        for (int a = 1; a <= count; ++a)
            rows.push_back(TakeAirwayValues(a));
    }

    // Every airway ends at its middle, where a copy of it carrying the same flow runs on to its old end.
    static void splitInTwo() {
        const int whole = AirwayCount;
        for (int a = 1; a <= whole; ++a) {
            const int rest = ++AirwayCount;
            PutAirwayValues(TakeAirwayValues(a), rest);
            AirwayNumber(rest) = NextAirwayNumber++;
            for (int c = 1; c <= 3; ++c) {
                const int32_t middle = (AirwayStart(c, a) + AirwayEnd(c, a)) / 2;
                AirwayEnd(c, a) = middle;
                AirwayStart(c, rest) = middle;
            }
        }
        UpdateNodeKeys();
    }

    void Restore() const {
        for (int a = 1; a <= count; ++a)
            PutAirwayValues(rows[static_cast<size_t>(a - 1)], a);
        AirwayCount = count;
        NetworkBalanced = balanced;
        ResetUndoSteps();
        ResetUndoFile();
    }
};

const Mine &mine() {
    static const Mine built(false);
    return built;
}

const Mine &splitMine() {
    static const Mine built(true);
    return built;
}

void BM_SmokeTrace30000(benchmark::State &state) {
    mine().Restore();
    int marked = 0;
    for (auto _ : state) {
        SmokeTrace();
        marked = 0;
        for (int a = 1; a <= AirwayCount; ++a)
            marked += AirwaySmoke(2, a) != 0;
    }
    state.counters["airways"] = AirwayCount;
    state.counters["balanced"] = NetworkBalanced;
    state.counters["marked"] = marked;
}

void BM_SmokeSpread30000(benchmark::State &state) {
    mine().Restore();
    SpreadCounter counter;
    SmokeUi *previous = SetSmokeUi(&counter);
    int reached = 0;
    for (auto _ : state) {
        SmokeMode = 1;
        SmokeSimulate();
        reached = 0;
        for (int a = 1; a <= AirwayCount; ++a)
            reached += AirwaySmoke(2, a) != 0;
    }
    SetSmokeUi(previous);
    state.counters["reached"] = reached;
    state.counters["passes"] = counter.passes;
    state.counters["sweeps"] = counter.sweeps;
}

void BM_Simplify30000(benchmark::State &state) {
    SimplifyFilter filter;
    filter.maxLength = 2000; // the longest the window offers: every half may be extended
    filter.removeZeroFlow = true;
    int removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        splitMine().Restore();
        state.ResumeTiming();
        removed = SimplifyNetwork(filter);
    }
    state.counters["airways"] = splitMine().count;
    state.counters["balanced"] = splitMine().balanced;
    state.counters["removed"] = removed;
}

} // namespace

BENCHMARK(BM_SmokeTrace30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmokeSpread30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Simplify30000)->Unit(benchmark::kMillisecond);
