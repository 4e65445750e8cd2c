#pragma once
// Runs the checks and the solver on the network as AnalysisMode and ShowProgress ask.
void Simulate();
