// The printout's label steps: node names and junction values at the airway's ends, and the stack of note,
// data value and name at its middle.
#include "exchange/print_network.h"
#include "exchange/print_steps.h"
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/Printer.h"
#include "platform/VBMath.h"

#include <string>

namespace {

constexpr float UnsetElevation = 99999;

std::string trim(const std::string &s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

void moveTo(VB::PrinterPage &page, double x, double y) {
    page.CurrentX = x;
    page.CurrentY = y;
}

void fontOfClass(VB::PrinterPage &page, int k, int size) {
    page.FontName = FontName(k);
    page.FontBold = FontBold(k) != 0;
    page.FontSize = size;
}

// A note or a data value prints on its own white box, so that the lines under it do not cross it; the
// texts after it print transparent again.
void printOpaque(VB::PrinterPage &page, const std::string &text) {
    page.FontTransparent = false;
    page.Print(text);
    page.FontTransparent = true;
}

// The junction value of data code 26, 27, 28 or 37 at an end with pressure p (Pa) and position x, y, z
// (m): always in Pa, kPa and metres, whatever the unit system.
std::string junctionValue(float p, int32_t x, int32_t y, int32_t z, double referenceElevation) {
    switch (DataCode) {
    case 37:
        return std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z);
    case 26:
        return FormatPattern(p, "0", 7);
    case 27:
        return FormatPattern(p / 1000.0 + SurfacePressure, "0.000", 7);
    default:
        return FormatPattern(
            p / 1000.0 + SurfacePressure + (referenceElevation - z) * AirDensity * 9.81 / 1000, "0.000", 7);
    }
}

void printJunctionValue(VB::PrinterPage &page, const std::string &text) {
    if (TextFits(page, "XXXXX"))
        page.Print(text);
}

} // namespace

void PrintNodeLabels(VB::PrinterPage &page, int a, const ClippedAirway &clip) {
    if ((GraphicsDetail & 1) != 0 && LayerTest(a, 16)) {
        page.ForeColor = 0;
        if (clip.StartInside == 1 && NodeTextSize != 0) {
            fontOfClass(page, 3, NodeTextSize);
            moveTo(page, clip.X1 + CellWidth / 2, clip.Y1 - CellHeight);
            if (TextFits(page, "XXXXX"))
                page.Print(trim(AirwayStartName(a)));
        }
        if (clip.EndInside == 1 && NodeTextSize != 0) {
            fontOfClass(page, 3, NodeTextSize);
            moveTo(page, clip.X2 + CellWidth / 2, clip.Y2 - CellHeight);
            if (TextFits(page, "XXXXX"))
                page.Print(trim(AirwayEndName(a)));
        }
    }
    if ((DataCode != 26 && DataCode != 27 && DataCode != 28 && DataCode != 37) || DataTextSize == 0 ||
        (GraphicsDetail & 4) == 0 || !LayerTest(a, 4) || (clip.StartInside != 1 && clip.EndInside != 1))
        return;
    const double reference = SurfacePressureRL == UnsetElevation ? static_cast<double>(AirwayStart(3, 1))
                                                                 : VB::RoundHalfEven(SurfacePressureRL);
    page.FontBold = FontBold(1) != 0;
    page.FontSize = DataTextSize;
    // The exit end first; a level airway's start end shows the exit end of the airway before it.
    if (clip.EndInside != 0) {
        moveTo(page, clip.X2 + CellWidth / 2, clip.Y2);
        printJunctionValue(page, junctionValue(AirwayEndPressure(a), AirwayEnd(1, a), AirwayEnd(2, a),
                                               AirwayEnd(3, a), reference));
    }
    if (AirwayIncline == 5 && clip.StartInside == 1) {
        AirwayIncline = 0;
        moveTo(page, clip.X1 + CellWidth / 2, clip.Y1);
        printJunctionValue(page, junctionValue(AirwayStartPressure(a), AirwayStart(1, a), AirwayStart(2, a),
                                               AirwayStart(3, a), reference));
    }
}

void PrintAirwayLabels(VB::PrinterPage &page, int a, const ClippedAirway &clip) {
    if (clip.StartInside != 1 || clip.EndInside != 1)
        return;
    LabelX = (clip.X1 + clip.X2) / 2;
    LabelY = (clip.Y1 + clip.Y2) / 2;
    LabelOnScreen = StrictlyInsidePage(LabelX, LabelY) ? -1 : 0;
    if (LabelOnScreen == 0 || DataTextSize == 0)
        return;
    page.ForeColor = 0;
    ResistanceLabel.clear();
    AirwayLabelText = AirwayDataText(DataCode, a, 0);
    fontOfClass(page, 1, DataTextSize);
    moveTo(page, LabelX, LabelY);
    LabelY -= CellHeight;
    if ((AirwayFlags(a) & AirwayFlag::ErrorMark) != 0)
        ResistanceLabel = "ERROR " + trim(AirwayComment(a));
    const bool dataShown = (GraphicsDetail & 4) != 0 && LayerTest(a, 4);
    if (TextFits(page, "XXXXX") && !trim(ResistanceLabel).empty() && dataShown) {
        printOpaque(page, ResistanceLabel);
        ResistanceLabel.clear();
        moveTo(page, LabelX, LabelY);
        LabelY -= CellHeight;
    }
    if (TextFits(page, "XXXXXXXX") && !trim(AirwayLabelText).empty() && dataShown) {
        printOpaque(page, AirwayLabelText);
        AirwayLabelText.clear();
        moveTo(page, LabelX, LabelY);
    }
    ResistanceLabel.clear();

    page.FontBold = FontBold(2) != 0;
    if (NameTextSize != 0)
        page.FontSize = NameTextSize;
    page.FontName = FontName(2);
    if (clip.LineColour != ColourTable(3) && SmokeMode == 0)
        page.ForeColor = PrintColour(clip.LineColour);
    if (!TextFits(page, "XXXXXXX"))
        return;
    const std::string name = AirwayName(a);
    if ((GraphicsDetail & 2) != 0 && LayerTest(a, 8) && !name.empty() &&
        static_cast<unsigned char>(name[0]) >= 32)
        page.Print(trim(name));
}
