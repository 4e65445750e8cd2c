// The solver's tests link the core alone: each test starts from the core's start state.
#include "common/CoreState.h"
#include "common/TestProgram.h"

int main(int argc, char **argv) {
    return RunTestProgram(argc, argv, CaptureCoreState, ResetCoreState);
}
