#pragma once
// The network printout: the picture that the active graphics window last drew, printed on the current
// printer at the print scale, with its symbols, labels, border, contaminant legend, grid, title block and
// floating texts. Positions on the page are the window's own world units (y grows downward); text sizes
// are points and pen widths dots of a 600-dpi device.
#include <cstdint>

#include "platform/VBArray.h"

// Prints one document of one page. At its normal end PrintScale is 0, so the next printout without a new
// scale is fitted to the page; after Cancel or a stop the requested scale stays.
void PrintNetwork();

// ---- Working values of one printout, set by the page set-up ----
extern int ColourFactor;                    // 1 colour, 0 black: airway colours are multiplied by it
extern VBArray<int32_t> ContaminantColours; // 0..6: the contaminant level colours
extern float ScaleRatio;                    // requested scale / fitted scale
extern float WindowAspect, PageAspect;      // width / height of the window and of the printable page
extern float PrintArrowSize;                // symbol sizes, page units
extern float SmokeSymbolSize, FanSymbolSize, NodeSymbolSize, ObstructionSymbolSize, BulkheadSymbolSize;
extern float PrintFontFactor;                                       // factor on the text sizes
extern int DataTextSize, NameTextSize, NodeTextSize, FloatTextSize; // points; 0 = not printed
extern float CellWidth, CellHeight; // printed "F" in the data-value font, page units
extern float SymbolX, SymbolY;      // the symbol point of the airway being printed
