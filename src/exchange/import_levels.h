#pragma once
// Levels for imported airways: one "Import Level" band over the new start elevations below a surface
// level, or one level per distinct end elevation.
#include <cstdint>

// `lowest` and `highest` are the lowest and highest start elevations of the new airways (m). A replacing
// import (or a merge into a network of at most one airway) starts from an empty level table; a merge keeps
// every existing level's name and bounds.
void BuildImportLevels(int32_t lowest, int32_t highest, bool levelDatabase, bool merge);
