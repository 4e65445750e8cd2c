#pragma once
// Services of the level list, the recent-file menu and the fan database file that the network file code
// calls. Their full versions belong to the level, recent-file and fan-file modules; until those are in
// place these small versions keep the network file code working. Delete this file and its .cpp when the
// full versions arrive.
#include <string>

// Sorts levels 1..249 by RL High, highest first, and refills the level combo and the level scroll range.
void FillLevelList();
// Stores the current view under a name in view slot `slot` (0 = the startup view, not listed).
void AddNamedView(int slot, int code, const std::string &name);
// Shows the recent-file menu and stores its nine entries in the settings store.
void AddRecentFile();
// Reloads the default fan database.
void LoadFanData();
// Marks the solver results as out of date on the main window.
void MarkResultsStale();
