#pragma once
// Repainting and the dialogs the view code opens. The full drawing and the dialogs come later; until then
// these do nothing, which leaves the model and the view state exactly as the callers set them.

// Repaints the active graphics window.
void Redraw();
// Repaints every open, unfrozen graphics window.
void RedrawAll();
// A short delay that lets window events run.
void Pause(float seconds);
// Draws only the airway lines of the active window (continuous zoom and rotation).
void DrawAirwayLines();
// The level selection dialog (modal): fills SelectedLevels, or sets LevelSelectCancelled.
void ShowSelectLevelDialog();
// The elevation range dialog (modal): sets RLWindowLow, RLWindowHigh and WorkingElevation.
void ShowRangeDialog();
