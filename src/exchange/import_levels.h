#pragma once
// Levels for imported airways: one "Import Level" band over the new start elevations below a surface
// level, or one level per distinct end elevation.
#include <cstdint>
#include <optional>

// `lowest` and `highest` are the lowest and highest start elevations of the new airways (m). A replacing
// import starts from an empty level table; a merge keeps every existing level's name and bounds. `surface`
// is the surface elevation the file itself gives (its surface ends), which a replacing import takes for the
// surface level in place of one just above the new airways.
void BuildImportLevels(int32_t lowest, int32_t highest, bool levelDatabase, bool merge,
                       std::optional<int32_t> surface = std::nullopt);
