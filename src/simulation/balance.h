#pragma once
// Hardy Cross balancing of the meshes and the progress bar of the run.

// Corrects the mesh flows sweep by sweep until no correction exceeds MaxError, asking whether to go on
// after every MaxIterations sweeps without convergence.
void BalanceAirflows();
// Draws the progress bar at percent (0 .. 100) and lets pending events run.
void SetProgress(int percent);
