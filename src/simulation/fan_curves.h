#pragma once
// Fan curves of the solver.

// Efficiency of the fans of an airway at their duty point, in percent.
float FanEfficiency(int airway);
