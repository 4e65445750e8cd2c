// The printout's frame: page set-up, the loop over the drawn airways, the closing sections and the
// handling of failures.
#include "exchange/print_network.h"

#include "exchange/print_steps.h"
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/System.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <QElapsedTimer>

#include <cmath>
#include <vector>

int ColourFactor = 0;
VBArray<int32_t> ContaminantColours;
float ScaleRatio = 1;
float WindowAspect = 1, PageAspect = 1;
float PrintArrowSize = 0;
float SmokeSymbolSize = 0, FanSymbolSize = 0, NodeSymbolSize = 0, ObstructionSymbolSize = 0,
      BulkheadSymbolSize = 0;
float PrintFontFactor = 1;
int DataTextSize = 0, NameTextSize = 0, NodeTextSize = 0, FloatTextSize = 0;
float CellWidth = 0, CellHeight = 0;
float SymbolX = 0, SymbolY = 0;

namespace {

// Cancel in the error box, a stop request or a cancelled choice of the file end the printout.
struct PrintStopped {};

constexpr int DivisionByZero = 11;
// Events are let through at most this often while the airways print.
constexpr qint64 EventPumpMs = 20;

// Runs one step of the printout. A failure asks whether to retry: a document that could not start is
// started again by the same step, any other failing step is left and the printout goes on with the next.
template <typename Step> void runStep(Step &&step) {
    for (;;) {
        try {
            step();
            return;
        } catch (const VBError &e) {
            if (e.number == VB::PrintCancelled)
                throw PrintStopped{};
        } catch (const std::exception &) {
        }
        if (VB::MsgBox("Error printing network", VB::vbRetryCancel | VB::vbExclamation, "Printing Error") !=
            VB::vbRetry)
            throw PrintStopped{};
        if (!VB::Printer().StartFailed())
            return;
    }
}

void requireFinite(double value) {
    if (!std::isfinite(value))
        throw VBError(DivisionByZero, "Division by zero");
}

int iconSize(int k) {
    return IconSize.InBounds(k) ? IconSize(k) : 0;
}
bool iconScaled(int k) {
    return IconScale.InBounds(k) && IconScale(k) == 1;
}
int fontSize(int k) {
    return FontSize.InBounds(k) ? FontSize(k) : 0;
}

// Size of symbol class k (2..6) on the page: a scaled symbol keeps nearly the same world size but never
// shrinks below 1/500 of the printed width; an unscaled one is a fixed part of the printed width.
float symbolSize(int k, double w) {
    if (!iconScaled(k))
        return static_cast<float>(w / 200 * iconSize(k));
    const double size = std::pow(100 / w, 0.05) * iconSize(k) / 5;
    return static_cast<float>(std::max(size, w / 500));
}

// The world window of the graphics window being printed.
struct Window {
    double left, top, width, height;
};

// The scale at which the window fits the printable page in the print orientation.
float fittedScale(VB::PrinterPage &page, const Window &w) {
    page.SetOrientation(PrintOrientation + 1);
    ShowWindowTitle();
    const float fitted =
        FittedScale(w.width, std::abs(w.height), page.PrintableWidthMm(), page.PrintableHeightMm());
    if (!(fitted > 0))
        throw VBError(DivisionByZero, "Division by zero");
    return fitted;
}

void fillContaminantColours() {
    static constexpr int standard[7] = {8, 0, 1, 2, 5, 4, 6};
    if (ContaminantColours.size() != 7)
        ContaminantColours.ReDim(Bounds{0, 6});
    for (int i = 0; i <= 6; ++i)
        ContaminantColours(i) = PictureBox::QBColor(standard[i]);
}

// Page set-up steps 8 to 16: page coordinates, the printed window, symbol and text sizes, the border.

// The page shows the window at the scale 1 : `scale` in both directions, whichever dimension governed the
// fit, so the scale in the title is the scale drawn.
void pageCoordinates(VB::PrinterPage &page, const Window &w, double scale) {
    WindowAspect = static_cast<float>(w.width / w.height);
    requireFinite(WindowAspect);
    const double width = page.PrintableWidthMm(), height = page.PrintableHeightMm();
    PageAspect = static_cast<float>(width / height);
    page.ScaleWidth = width * scale / 1000;
    page.ScaleHeight = height * scale / 1000;
    // Both margins are a twentieth of the window's width.
    page.ScaleLeft = w.left - w.width / 20;
    page.ScaleTop = w.top - w.width / 20;
    requireFinite(page.ScaleWidth * page.ScaleHeight);
    if (!(page.ScaleWidth > 0 && page.ScaleHeight > 0))
        throw VBError(DivisionByZero, "Division by zero");
}

void printedWindow(const Window &w) {
    const auto whole = [](double v) { return static_cast<int32_t>(VB::RoundHalfEven(v)); };
    WindowLeft = whole(w.left);
    WindowRight = whole(w.left + w.width);
    WindowTop = whole(w.top);
    WindowBottom = whole(w.top + w.height);
    WindowExtent = static_cast<float>(WindowRight - WindowLeft);
}

void symbolSizes() {
    const double w = WindowExtent;
    PrintArrowSize = static_cast<float>(iconScaled(1) ? std::pow(100 / w, 0.04) * iconSize(1) * 0.8
                                                      : w / 200 * iconSize(1));
    SmokeSymbolSize = symbolSize(2, w);
    FanSymbolSize = symbolSize(3, w);
    NodeSymbolSize = symbolSize(4, w);
    ObstructionSymbolSize = symbolSize(5, w);
    BulkheadSymbolSize = symbolSize(6, w);
}

void textSizes() {
    if (FontScale == 0) {
        PrintFontFactor = 1;
    } else {
        PrintFontFactor = static_cast<float>(5 * std::pow(1 / static_cast<double>(WindowExtent), 0.4));
        // Scaled data values are not printed below 3 points (a data font of size 0 has no floor).
        if (fontSize(1) != 0 && fontSize(1) * PrintFontFactor < 3)
            PrintFontFactor = 3.0f / static_cast<float>(fontSize(1));
    }
    const auto scaled = [](int k) { return static_cast<int>(VB::Int(fontSize(k) * PrintFontFactor)); };
    DataTextSize = scaled(1);
    NameTextSize = scaled(2);
    NodeTextSize = scaled(3);
    FloatTextSize = scaled(4);
}

void dataFont(VB::PrinterPage &page) {
    page.FontBold = FontBold.InBounds(1) && FontBold(1) != 0;
    if (FontName.InBounds(1))
        page.FontName = FontName(1);
    if (DataTextSize != 0)
        page.FontSize = DataTextSize;
    CellHeight = static_cast<float>(page.TextHeight("F"));
    CellWidth = static_cast<float>(page.TextWidth("F"));
}

void border(VB::PrinterPage &page) {
    page.DrawWidth = 5;
    page.ForeColor = 0;
    page.DrawStyle = VB::PrinterPage::vbSolid;
    page.DrawMode = VB::PrinterPage::vbCopyPen;
    page.FontTransparent = true;
    page.Box(WindowLeft, WindowTop, WindowRight, WindowBottom, 0);
}

void airwayDefaults(VB::PrinterPage &page) {
    page.FontBold = false;
    if (fontSize(1) > 0)
        page.FontSize = fontSize(1);
    page.ForeColor = 0;
    page.DrawStyle = VB::PrinterPage::vbSolid;
    page.DrawWidth = 3;
    page.DrawMode = VB::PrinterPage::vbCopyPen;
}

} // namespace

void PrintNetwork() {
    PictureBox *picture = ActivePicture();
    if (ActiveWindow == -1 || picture == nullptr)
        return;
    // The printout lets events run; while it prints, nothing may change the records or the network, and
    // it does not start while another long operation runs.
    VB::BusyScope busy;
    if (!busy.Acquired())
        return;
    VB::PrinterPage &page = VB::Printer();
    const Window window{picture->ScaleLeft, picture->ScaleTop, picture->ScaleWidth, picture->ScaleHeight};
    const int count = std::min(AirwayScreenCount, AirwayScreen.UBound());
    std::vector<AirwayScreenRecord> records;
    records.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 1; i <= count; ++i)
        records.push_back(AirwayScreen(i));
    // A printout that does not end leaves the scale as it was asked for: 0 stays "fit the page", so the
    // next print is fitted to the window as it then is.
    const float asked = PrintScale;
    float requested = PrintScale;
    try {
        VB::DoEvents();
        fillContaminantColours();
        if (PrintScale == 0)
            runStep([&] { PrintScale = fittedScale(page, window); });
        requested = PrintScale;
        ColourFactor = PrintInColour != 0 ? 1 : 0;
        RunState = 0;
        ScaleRatio = 1;
        runStep([&] {
            ScaleRatio = requested / fittedScale(page, window);
            PrintScale = requested;
        });
        runStep([&] { page.SetOrientation(PrintOrientation + 1); });
        runStep([&] { pageCoordinates(page, window, requested); });
        printedWindow(window);
        runStep(symbolSizes);
        runStep(textSizes);
        runStep([&] { dataFont(page); });
        // The airways lie above the grid, as on the screen; the border closes both.
        runStep([&] { PrintGrid(page); });
        runStep([&] { border(page); });
        runStep([&] { airwayDefaults(page); });

        QElapsedTimer sincePump;
        for (const AirwayScreenRecord &record : records) {
            if (!sincePump.isValid() || sincePump.elapsed() >= EventPumpMs) {
                VB::DoEvents();
                sincePump.restart();
                if (RunState == 255)
                    throw PrintStopped{};
            }
            const int a = record.airway;
            if (!AirwayFlags.InBounds(a) || a == 0)
                continue;
            ClippedAirway clip;
            if (!ClipToPage(record, clip))
                continue;
            runStep([&] { PrintAirwayLine(page, a, clip); });
            runStep([&] { PrintAirwaySymbols(page, a, clip); });
            if ((AirwayFlags(a) & AirwayFlag::DataHidden) != 0 && DataDisplayMode == 3)
                continue;
            if (!ClipToPage(record, clip))
                continue;
            runStep([&] { PrintNodeLabels(page, a, clip); });
            runStep([&] { PrintAirwayLabels(page, a, clip); });
        }

        runStep([&] { PrintContaminantLegend(page); });
        runStep([&] { MeasurePrintCell(page); });
        runStep([&] { PrintTitleBlock(page); });
        runStep([&] { PrintFloatingTexts(page); });
        runStep([&] { page.EndDoc(); });
        PrintScale = 0;
    } catch (const PrintStopped &) {
        // Nothing of a cancelled printout reaches the printer or the file.
        page.KillDoc();
        PrintScale = asked;
    }
}
