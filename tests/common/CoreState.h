#pragma once
// The part of the program state that the platform, the model and the solver core hold: its globals and
// the seams they install. ProgramState resets it with the rest; the solver's tests, which link the core
// alone, reset only it.
#include <string>
#include <vector>

// Notes the start values of the core's globals (once, before any test runs).
void CaptureCoreState();
// Puts the core's globals back to their start values and its seams back to the silent ones.
void ResetCoreState();
// The names of the globals ResetCoreState covers.
std::vector<std::string> CoreGlobalNames();
