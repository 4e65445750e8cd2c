#pragma once
// State of the network spreadsheet that lives for the whole run: its column numbers, the memory of fixed
// cells, the remembered column widths and the column search.
#include "platform/VBArray.h"

#include <cstdint>
#include <string>

// Column of each field, set by every fill; every command addresses a column only through these.
extern int SheetColNo, SheetColName, SheetColFrom, SheetColTo, SheetColLength, SheetColFlow, SheetColVel,
    SheetColPdrop, SheetColResistance, SheetColKFactor, SheetColShock, SheetColFan, SheetColFPres,
    SheetColHeight, SheetColWidth, SheetColComments, SheetColX1, SheetColY1, SheetColZ1, SheetColX2,
    SheetColY2, SheetColZ2;

// (grid row, column 4..13): 255 = the user fixed that value; saving reads the fixed state only from here.
extern VBArray<int32_t, 2> SheetCellColour;
constexpr int32_t SheetFixedColour = 255;
// Remembered column widths in twips (columns 0..22); negative: a hidden column and its width; all 0:
// nothing remembered yet.
extern VBArray<int> SheetColumnWidths;
// The grid holds edits not yet written into the network.
extern bool SheetChanged;

// Column find and replace.
extern std::string SheetSearchText;
extern std::string SheetReplaceText;
extern int SheetSearchRow;   // data row where the next search starts (1 = first)
extern int SheetReplaceMode; // 0 find, -1 replace
