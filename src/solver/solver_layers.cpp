#include "solver/solver_layers.h"

#include "solver/driver.h"
#include "solver/simulation_ui.h"

void SolverLayers::Simulate() {
    ::Simulate();
}

void SolverLayers::CloseErrorWindow() {
    SimUi().CloseErrorWindow();
}
