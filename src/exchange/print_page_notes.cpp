// The printout's closing sections: contaminant legend, grid, title block and floating texts.
#include "exchange/print_network.h"
#include "exchange/print_steps.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/ShellHooks.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int CoordinateRow = 14;

// The line numbers of a grid axis in the order of their page positions, left to right or top to bottom.
std::vector<int64_t> byPosition(const GridAxis &axis) {
    std::vector<int64_t> lines;
    for (int64_t n = axis.First(); n <= axis.Last(); ++n)
        lines.push_back(n);
    if (axis.Last() >= axis.First() && axis.Position(axis.Last()) < axis.Position(axis.First()))
        std::reverse(lines.begin(), lines.end());
    return lines;
}

std::string caption(int group, int item) {
    return DataTypeCaption.InBounds(group, item) ? DataTypeCaption(group, item) : std::string();
}

} // namespace

void PrintContaminantLegend(VB::PrinterPage &page) {
    const double h = WindowExtent / 20.0;
    if (SmokeMode == 1) {
        page.FontSize = 18;
        page.ForeColor = 0;
        for (int k = 0; k <= 6; ++k) {
            page.FilledBox(WindowRight, WindowTop + k * h, WindowRight - h, WindowTop + (k + 1) * h,
                           ContaminantColours(6 - k));
            page.CurrentX = WindowRight - h - page.TextWidth("XXX");
            page.CurrentY = WindowTop + (k + 1) * h;
            if (k <= 5)
                page.Print(FormatPattern(SmokeLegendLevel.InBounds(k) ? SmokeLegendLevel(k) : 0, "0", 7));
        }
    } else if (SmokeMode == 2) {
        page.FontSize = 10;
        page.ForeColor = 0;
        static const struct {
            int colour;
            const char *text;
        } keys[4] = {{8, "unknown"}, {9, "fresh"}, {6, "potential source"}, {4, "smoke"}};
        for (int k = 0; k <= 3; ++k) {
            page.FilledBox(WindowLeft, WindowTop + k * h, WindowLeft + h, WindowTop + (k + 1) * h,
                           PictureBox::QBColor(keys[k].colour));
            page.CurrentX = WindowLeft + h;
            page.CurrentY = WindowTop + k * h;
            page.Print(keys[k].text);
        }
    }
}

void PrintGrid(VB::PrinterPage &page) {
    if (!GridOn)
        return;
    const auto lines = ViewGridLines();
    if (!lines)
        return;
    page.FontTransparent = true;
    page.DrawWidth = 1;
    page.ForeColor = 0;
    const int32_t lineColour = OnPaper(ColourTable(6));
    const GridAxis &rows = lines->horizontal;
    // A label the thinning places is printed only where it lies wholly inside the border.
    const auto label = [&](const std::string &text, double x, double y) {
        if (GridLabelFits(x, y, page.TextWidth(text), page.TextHeight(text))) {
            page.CurrentX = x;
            page.CurrentY = y;
            page.Print(text);
        }
    };
    if (lines->vertical) {
        page.FontSize = 10;
        const GridAxis &columns = *lines->vertical;
        // Labels are thinned so that they never crowd: a label shows when the lines since the last one
        // span more than 1.2 label widths (heights for the rows).
        double gap = 0;
        for (int64_t n : byPosition(columns)) {
            const double x = columns.Position(n);
            page.Line(x, WindowTop, x, WindowBottom, lineColour);
            if (GridLabelsOff)
                continue;
            const std::string text = FormatValue(static_cast<float>(columns.World(n)), CoordinateRow, 0, 0);
            gap += columns.spacing;
            if (gap > 1.2 * page.TextWidth(text)) {
                gap = 0;
                label(text, x, WindowTop);
            }
        }
        for (int64_t n : byPosition(rows)) {
            const double y = rows.Position(n);
            page.Line(WindowLeft, y, WindowRight, y, lineColour);
            if (GridLabelsOff)
                continue;
            const std::string text = FormatValue(static_cast<float>(rows.World(n)), CoordinateRow, 0, 0);
            const double h = page.TextHeight(text);
            gap += rows.spacing;
            if (gap > 1.2 * h) {
                gap = 0;
                label(text, WindowLeft, y - h);
            }
        }
        return;
    }
    // Seen edge-on every line is labelled with its elevation.
    for (int64_t n : byPosition(rows)) {
        const double y = rows.Position(n);
        page.Line(WindowLeft, y, WindowRight, y, lineColour);
        const std::string text = FormatValue(static_cast<float>(rows.World(n)), CoordinateRow, 0, 0);
        label(text, WindowLeft, y - page.TextHeight(text));
    }
}

void MeasurePrintCell(VB::PrinterPage &page) {
    page.FontTransparent = true;
    CellWidth = static_cast<float>(page.TextWidth("F"));
}

void PrintTitleBlock(VB::PrinterPage &page) {
    page.FontTransparent = true;
    page.FontSize = 10;
    page.FontBold = false;
    page.ForeColor = 0;
    page.CurrentX = WindowLeft;
    page.CurrentY = WindowTop - 1.2 * page.TextHeight(PrintTitle);
    std::string line = "GUSTROM  " + PrintTitle + "   Scale 1:" + FormatPattern(PrintScale, "", 7) +
                       "   RL Name " + Shell().LevelListText() + "   ";
    static const char *const results[3] = {"AirFlow Simulation  ", "Contaminant Spread Simulation  ",
                                           "Contaminant Source Simulation  "};
    if (SmokeMode >= 0 && SmokeMode <= 2)
        line += std::string(results[SmokeMode]) + caption(DataGroup, 1) + " " + caption(DataGroup, DataItem);
    page.PrintInLine(line);
}

void PrintFloatingTexts(VB::PrinterPage &page) {
    if ((GraphicsDetail & 256) == 0 || FloatTextSize == 0)
        return;
    page.FontSize = FloatTextSize;
    page.FontBold = FontBold(4) != 0;
    if (!FontName(4).empty())
        page.FontName = FontName(4);
    page.ForeColor = 0;
    const double w = CellWidth;
    for (int i = 1; i <= MaxFloatingTexts && FloatingTextShown.InBounds(i); ++i) {
        const int t = FloatingTextShown(i);
        if (t == 0 || !FloatingTextString.InBounds(t))
            break;
        double sx = 0, sy = 0;
        ProjectPoint(FloatingTextPosition(1, t), FloatingTextPosition(2, t), FloatingTextPosition(3, t), sx,
                     sy);
        // The fit is tested where the text is printed.
        const double x = AxisSignX * sx, y = AxisSignY * sy;
        const std::string &text = FloatingTextString(t);
        if (WindowLeft < x && x < WindowRight - static_cast<double>(text.size()) * w && WindowTop < y &&
            y < WindowBottom) {
            page.CurrentX = x;
            page.CurrentY = y;
            page.PrintInLine(text);
        }
    }
}
