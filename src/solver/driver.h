#pragma once
// The single entry of the airflow solver and its stage driver. Callers set AnalysisMode and ShowProgress
// and call Simulate; it refuses networks of fewer than two airways and any call while a long operation
// is under way (the event pump of a run must not start a second one).
void Simulate();
// The stages in order, with progress, stop requests and the results marked valid at the end.
void RunSimulation();
