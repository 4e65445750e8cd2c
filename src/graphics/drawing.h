#pragma once
// Repainting of the graphics windows.

// Redraws the active graphics window.
void Redraw();
// Redraws every open graphics window.
void RedrawAll();
