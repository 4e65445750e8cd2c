// The settings dialog on a generated network of 30,000 airways: OK with a changed density and a raised fan
// capacity (every airway recalculated once, the arrays allocated once), and a switch of the unit system
// (store, fill again, refresh the data list). No graphics window is open, so nothing is redrawn.
#include "common/NetworkGenerator.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/VBControls.h"
#include "platform/VBTextBox.h"
#include "settings/frmOptions.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace {

frmOptions *openOptions() {
    ShowOptions(nullptr);
    return OptionsWindow();
}

void BM_OptionsOkDensityAndFans(benchmark::State &state) {
    SetBuiltInUnits();
    UnitSystem = 1;
    GenerateNetwork(30000, 7);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        frmOptions *options = openOptions();
        ++round;
        options->TxtDensity->SetText(round % 2 ? "1.1" : "1.3");
        options->TxtFanMax->SetText(std::to_string(300 + round));
        state.ResumeTiming();
        options->cmdOK_Click();
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OptionsOkDensityAndFans)->Unit(benchmark::kMillisecond);

void BM_OptionsUnitSwitch(benchmark::State &state) {
    SetBuiltInUnits();
    UnitSystem = 1;
    GenerateNetwork(30000, 7);
    frmOptions *options = openOptions();
    int system = 1;
    for (auto _ : state) {
        system = 1 - system;
        options->OptUnitType[static_cast<size_t>(system)]->click();
    }
    options->cmdCancel_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_OptionsUnitSwitch)->Unit(benchmark::kMillisecond);

} // namespace
