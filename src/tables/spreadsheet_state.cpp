#include "tables/spreadsheet_state.h"

int SheetColNo, SheetColName, SheetColFrom, SheetColTo, SheetColLength, SheetColFlow, SheetColVel,
    SheetColPdrop, SheetColResistance, SheetColKFactor, SheetColShock, SheetColFan, SheetColFPres,
    SheetColHeight, SheetColWidth, SheetColComments, SheetColX1, SheetColY1, SheetColZ1, SheetColX2,
    SheetColY2, SheetColZ2;

VBArray<int32_t, 2> SheetCellColour;
VBArray<int> SheetColumnWidths;
bool SheetChanged = false;

std::string SheetSearchText;
std::string SheetReplaceText;
int SheetSearchRow = 1;
int SheetReplaceMode = 0;
