#pragma once
// Level table and saved views, kept in step with the main window's lists.
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The texts of the level table window's grid: row i is level i + 1 with its name, RL High and RL Low,
// heights in the display units of coordinates.
using LevelGridRow = std::array<std::string, 3>;

// A cell of the level table's grid: row (the level) and column (2 RL High, 3 RL Low).
using LevelCell = std::pair<int, int>;
// Takes the level table over from the grid, warning about levels that reach the surface level, then
// refills the level controls. A height beyond the RL limits is said and refused: nothing is stored and its
// cell is returned.
std::optional<LevelCell> CheckLevelRanges(std::vector<LevelGridRow> grid);
// A level slot in no use: no name and both bounds 0. The level table ends at the first one.
bool IsUnusedLevel(int level);
// The first unused level slot, found by the last LevelListNames (250 when all 249 levels are in use).
extern int LevelListEnd;
// The names of the levels in use for a dialog's level list, level 1 first (list position i is level
// i + 1): the list ends at the first level with no name and both bounds 0. Sets LevelListEnd.
std::vector<std::string> LevelListNames();

// Sorts the levels by RL High, highest first, and refills the level list and scroll range.
void FillLevelList();
// The levels a network starts with: level 1 "SURFACE" at RL 1000, level 2 "U/Ground" from RL 480 to 500,
// and the elevation window on level 2; the level list is refilled.
void SetDefaultLevels();
// Refills the view list with the non-empty names of view slots 1..100.
void FillViewList();
// Stores the active view in view slot `slot` under `name`; code 6 keeps the name out of the view list.
void AddNamedView(int slot, int code, const std::string &name);
// Shows the active graphics window with its number, caption "View n", background and redraw mode.
void SetViewCaption();
