#pragma once
// The steps of the network printout, shared by its files. Each prints on the current printer in the page
// coordinates that the set-up gave it.
#include "model/Gustrom1.h"

namespace VB {
class PrinterPage;
}

// A screen record clipped to the printed window.
struct ClippedAirway {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0; // start and exit end, page units
    int32_t LineColour = 0;               // the record's colour
    int StartInside = 0, EndInside = 0;   // 1 when that end lies strictly inside the printed window
};

// Clips the record to the printed window and classes its airway as steep or level (AirwayIncline 5 or 6).
// False when nothing of it lies inside, or when only an edge would be printed; then nothing is printed
// for it.
bool ClipToPage(const AirwayScreenRecord &record, ClippedAirway &clip);
// White on white paper prints black.
int32_t OnPaper(int32_t colour);
// An airway's colour on paper: black when printing in black, OnPaper in colour.
int32_t PrintColour(int32_t colour);
// True when text of the sample's width fits strictly inside the printed window at the current position.
bool TextFits(const VB::PrinterPage &page, const char *sample);
bool StrictlyInsidePage(double x, double y);

// The airway steps.
void PrintAirwayLine(VB::PrinterPage &page, int a, const ClippedAirway &clip);
void PrintAirwaySymbols(VB::PrinterPage &page, int a, const ClippedAirway &clip);
void PrintNodeLabels(VB::PrinterPage &page, int a, const ClippedAirway &clip);
void PrintAirwayLabels(VB::PrinterPage &page, int a, const ClippedAirway &clip);

// The grid, printed under the airways.
void PrintGrid(VB::PrinterPage &page);
// The closing sections. MeasurePrintCell sets transparent text and measures CellWidth in the font the
// airways left, for the floating texts' fit.
void PrintContaminantLegend(VB::PrinterPage &page);
void MeasurePrintCell(VB::PrinterPage &page);
void PrintTitleBlock(VB::PrinterPage &page);
void PrintFloatingTexts(VB::PrinterPage &page);
