#pragma once
// The contaminant spread and the smoke sourcing trace.

// Run > Smoke Simulation: the contaminant options and progress window (modeless).
void ShowSmokeDialog();
// The spread from the contaminant sources, shown as display mode 1.
void SmokeSimulate();
// The trace from the smoke reports, shown as display mode 2.
void SmokeTrace();
