#pragma once
// The list of airways and floating texts the active graphics window works on, and the level display mode.

// Rebuilds VisibleAirways and FloatingTextShown (from position 1, each ended by 0) and the layer-visible
// mark of every airway.
void SetVisibleAirways();
// Switches the level display to ViewMode = mode + 1 (0 single level, 1 selected levels, 2 elevation range,
// 3 all levels), then rebuilds, re-projects and redraws.
void SetViewMode(int mode);
// Checks the View > Levels item of mode (0 single .. 3 all) and clears the others.
void ShowLevelModeMarks(int mode);
// A view opens on the level whose elevation new airways take: the view's own level when it names one,
// else the level holding its elevation, else the first level below the surface. New points take the middle
// of that level's band; the level combo, the level scroll bar and the cursor read-out show it, whatever
// levels the view displays.
void ShowWorkingLevel();
