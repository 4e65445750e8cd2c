// One entry point for every benchmark. The drawing and table benchmarks need a widget application; it runs on
// the offscreen platform unless another is asked for.
#include "platform/Dialogs.h"
#include "shell/program_layers.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // Nobody answers boxes during a benchmark run.
    VB::SetDialogResponder(&VB::UnattendedResponder());
    InstallProgramLayers();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
