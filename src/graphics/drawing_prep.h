#pragma once
// The preparation step of every repaint: projection when needed and one screen record per visible airway
// that can show in the active window.

// Rebuilds AirwayScreen for the active window.
void PrepareDrawing();
