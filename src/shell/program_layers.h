#pragma once
// The program's graphics, solver and station procedures behind the model's UpperLayers seam.

// Installs them (the main window does so when it is created; installing again changes nothing).
void InstallProgramLayers();
