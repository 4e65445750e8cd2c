// One entry point for every benchmark. The drawing benchmarks need a GUI application for fonts, the
// simulation's windows and the dialogs need widgets; it runs on the offscreen platform unless another is
// asked for. The whole run works in a temporary folder, removed at the end, so the settings and station files
// the defaults write never land beside the program or in the current folder.
#include "common/TestFolder.h"
#include "platform/Dialogs.h"
#include "shell/program_layers.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const TestFolder runFolder;
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
