#pragma once
// The one entry of the airflow solver.

// Runs the analysis chosen by AnalysisMode, with a progress window when ShowProgress is 1.
void Simulate();
