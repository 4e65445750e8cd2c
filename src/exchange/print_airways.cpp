// The printout's airway steps: clipping to the printed window, the line with its node symbol and flow
// arrow, and the symbol pictures.
#include "exchange/print_network.h"
#include "exchange/print_steps.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int32_t White = 0xFFFFFF;

int32_t dimmedGrey() {
    return PictureBox::QBColor(8);
}

// The contaminant level 0..6 of a spread value: the smallest threshold index reached counts; a value
// reaching no threshold is level 0.
int contaminantLevel(int value) {
    int level = 0;
    if (value != 0)
        for (int j = 5; j >= 0; --j)
            if (SmokeLegendLevel.InBounds(j) && value >= SmokeLegendLevel(j))
                level = 6 - j;
    return level;
}

} // namespace

bool StrictlyInsidePage(double x, double y) {
    return WindowLeft < x && x < WindowRight && WindowTop < y && y < WindowBottom;
}

int32_t OnPaper(int32_t colour) {
    return colour == White ? 0 : colour;
}

int32_t PrintColour(int32_t colour) {
    return OnPaper(colour * ColourFactor);
}

bool TextFits(const VB::PrinterPage &page, const char *sample) {
    const double cx = page.CurrentX, cy = page.CurrentY;
    return WindowLeft < cx && cx + page.TextWidth(sample) < WindowRight && WindowTop < cy &&
           cy < WindowBottom;
}

bool ClipToPage(const AirwayScreenRecord &record, ClippedAirway &clip) {
    const int a = record.airway;
    if (PickedAirway != 0 && a != PickedAirway)
        return false;
    const double xMin = WindowLeft, xMax = WindowRight, yMin = WindowTop, yMax = WindowBottom;
    double x1 = record.x1, y1 = record.y1, x2 = record.x2, y2 = record.y2;
    clip.LineColour = record.colour;
    clip.StartInside = StrictlyInsidePage(x1, y1) ? 1 : 0;
    clip.EndInside = StrictlyInsidePage(x2, y2) ? 1 : 0;

    const int32_t rise = 2 * std::abs(AirwayStart(3, a) - AirwayEnd(3, a));
    const bool surfaceEnd = (AirwayFlags(a) & (AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit)) != 0;
    AirwayIncline = AirwayLength(a) < static_cast<float>(rise) || surfaceEnd ? 5 : 6;

    // The part of the segment inside the closed window, by its parameter range along the segment; an end
    // moved onto an edge is put exactly on it.
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xMin, xMax - x1, y1 - yMin, yMax - y1};
    double t0 = 0, t1 = 1;
    int edge0 = -1, edge1 = -1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return false;
        } else if (const double r = q[k] / p[k]; p[k] < 0 && r > t0) {
            t0 = r;
            edge0 = k;
        } else if (p[k] > 0 && r < t1) {
            t1 = r;
            edge1 = k;
        }
    }
    if (t0 > t1)
        return false;
    const auto end = [&](double t, int edge, float &x, float &y) {
        double ex = std::clamp(x1 + t * dx, xMin, xMax), ey = std::clamp(y1 + t * dy, yMin, yMax);
        if (edge == 0 || edge == 1)
            ex = edge == 0 ? xMin : xMax;
        else if (edge == 2 || edge == 3)
            ey = edge == 2 ? yMin : yMax;
        x = static_cast<float>(ex);
        y = static_cast<float>(ey);
    };
    end(t0, edge0, clip.X1, clip.Y1);
    end(t1, edge1, clip.X2, clip.Y2);
    // What lies along an edge only would print on the border.
    return !((clip.X1 == xMin && clip.X2 == xMin) || (clip.X1 == xMax && clip.X2 == xMax) ||
             (clip.Y1 == yMin && clip.Y2 == yMin) || (clip.Y1 == yMax && clip.Y2 == yMax));
}

void PrintAirwayLine(VB::PrinterPage &page, int a, const ClippedAirway &clip) {
    int32_t lineColour = clip.LineColour;
    page.DrawWidth = 3;
    if (SmokeMode == 1) {
        const int level = contaminantLevel(AirwaySmoke(2, a));
        lineColour = ContaminantColours(level);
        page.DrawWidth = level + 3;
    }
    // Dimmed airways, and in a spread result the airways it has not reached, print dotted.
    page.DrawStyle = lineColour == dimmedGrey() ? VB::PrinterPage::vbDot : VB::PrinterPage::vbSolid;
    page.Line(clip.X1, clip.Y1, clip.X2, clip.Y2, PrintColour(lineColour));
    const int32_t flags = AirwayFlags(a);
    if ((flags & AirwayFlag::DataHidden) != 0 && DataDisplayMode == 3)
        return;

    if (clip.StartInside == 1 && (GraphicsDetail & 32) != 0 && LayerTest(a, 64))
        PaintSymbol(page, SymbolSlot::Node, clip.X1, clip.Y1, NodeSymbolSize);

    if ((GraphicsDetail & 64) != 0 && LayerTest(a, 32)) {
        const double dx = static_cast<double>(clip.X2) - clip.X1, dy = static_cast<double>(clip.Y2) - clip.Y1;
        const double s = dx + 0.1;
        const double fraction = 0.5 - 0.1 * (s > 0 ? 1 : s < 0 ? -1 : 0);
        const double tipX = clip.X1 + dx * fraction, tipY = clip.Y1 + dy * fraction;
        const ArrowBarbs b = ArrowheadBarbs(tipX, tipY, dx, dy, PrintArrowSize);
        if (StrictlyInsidePage(b.x1, b.y1) && StrictlyInsidePage(b.x2, b.y2) && clip.EndInside == 1) {
            page.Line(b.x1, b.y1, tipX, tipY, PrintColour(lineColour));
            page.LineTo(b.x2, b.y2, PrintColour(lineColour));
        }
    }
    page.ForeColor = PrintColour(SmokeMode == 1 ? lineColour : ColourTable(4));
    if ((DataDisplayMode & AirwayIncline) != 0 || DataDisplayMode == 0)
        page.DrawWidth = BaseDrawWidth;
}

void PrintAirwaySymbols(VB::PrinterPage &page, int a, const ClippedAirway &clip) {
    const float along = AirwayIconPosition(a) + 0.3f;
    SymbolX = clip.X1 + (clip.X2 - clip.X1) * along;
    SymbolY = clip.Y1 + (clip.Y2 - clip.Y1) * along;
    if (!StrictlyInsidePage(SymbolX, SymbolY))
        return;
    const int32_t flags = AirwayFlags(a);
    const bool layerShown = (flags & AirwayFlag::LayerVisible) != 0;
    const bool fixedFlow = (flags & AirwayFlag::FixedFlow) != 0;
    if (AirwayResistanceType(a) > 0 || AirwayFan(a) != 0 || fixedFlow) {
        if (AirwayFan(a) != 0 && (GraphicsDetail & 16) != 0 && layerShown)
            PaintSymbol(page, SymbolSlot::Fan, SymbolX, SymbolY, FanSymbolSize);
        if (fixedFlow)
            PaintSymbol(page, AirwayPressure(a) < 0 ? SymbolSlot::Regulator : SymbolSlot::Fixed,
                        (clip.X1 + clip.X2) / 2.0, (clip.Y1 + clip.Y2) / 2.0, FanSymbolSize);
        if (AirwayResistanceType(a) > 0 && (GraphicsDetail & 8) != 0 && layerShown) {
            if (AirwayResistanceType(a) == 1)
                PaintSymbol(page, SymbolSlot::Bulkhead, SymbolX, SymbolY, BulkheadSymbolSize);
            else
                PaintSymbol(page, SymbolSlot::Obstruction, SymbolX, SymbolY, ObstructionSymbolSize);
        }
    }
    if ((flags & AirwayFlag::ContaminantSource) != 0 && (GraphicsDetail & 128) != 0 && layerShown)
        PaintSymbol(page, SymbolSlot::Contaminant, SymbolX, SymbolY, SmokeSymbolSize / 1.5);
    const int pin = AirwaySmoke(1, a);
    if (pin != 0)
        PaintSymbol(page, SymbolSlot::PinBase + pin, SymbolX, SymbolY, SmokeSymbolSize / 1.5);
}
