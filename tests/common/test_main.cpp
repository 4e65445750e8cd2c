// The test programs above the solver core: each test starts from the whole program's start state.
#include "common/ProgramState.h"
#include "common/TestProgram.h"

int main(int argc, char **argv) {
    return RunTestProgram(argc, argv, CaptureProgramState, ResetProgramState);
}
