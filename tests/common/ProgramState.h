#pragma once
// One reset of every global the program holds, so that each test starts from the state the program starts
// with and passes alone, whole and shuffled. The test programs capture that state before the first test
// and reset it before every test.
#include <string>
#include <vector>

// Notes the start values of every global (once, before any test runs).
void CaptureProgramState();
// Puts every global back to its start value and every seam back to the program's own.
void ResetProgramState();
// The names of the globals the reset covers.
std::vector<std::string> ResetGlobalNames();
