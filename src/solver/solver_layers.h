#pragma once
// The solver's part of what the model runs after it changes the network: the automatic simulation after
// undo and redo, and the closing of the error window. The program's layers add the graphics and the
// stations to it; the solver core alone installs just this.
#include "model/upper_layers.h"

class SolverLayers : public UpperLayers {
public:
    void Simulate() override;
    void CloseErrorWindow() override;
};
