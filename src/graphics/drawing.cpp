#include "graphics/drawing.h"

#include "graphics/artwork.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"

#include <chrono>
#include <cmath>
#include <exception>
#include <thread>

bool GridLabelsOff = false;
int32_t SmokeDisplayTime = 0;
int32_t PauseCount = 0;
int LastCursorTool = -1, LastCursorButton = -1;
VBArray<QImage> SymbolPicture;
VBArray<int32_t> SmokePalette;

namespace {

constexpr int CoordinateRow = 14;
constexpr int MaxToolCode = 40;

bool windowFrozen(int w) {
    return WindowFrozen.InBounds(w) && WindowFrozen(w);
}
bool windowOpen(int w) {
    return WindowOpen.InBounds(w) && WindowOpen(w);
}

// Keeps the painter of a window open for one repaint.
class DrawingBatch {
public:
    explicit DrawingBatch(PictureBox &pic) : pic_(pic) { pic_.BeginDrawing(); }
    ~DrawingBatch() { pic_.EndDrawing(); }
    DrawingBatch(const DrawingBatch &) = delete;
    DrawingBatch &operator=(const DrawingBatch &) = delete;

private:
    PictureBox &pic_;
};

// Grid lines at every multiple of `spacing` (m) between the world values lo and hi of one window axis.
// `toWindow` maps a world value to the window position of the line. Lines closer than a pixel are drawn
// as the band they would cover; labels are thinned so that they never crowd.
struct GridAxis {
    double lo, hi;  // world range of the window along this axis, m
    double spacing; // m
    double pixelsPerMetre;
};

int64_t firstMultiple(double lo, double spacing) {
    return static_cast<int64_t>(std::ceil(lo / spacing - 1e-9));
}

void drawGridLines(PictureBox &pic, const GridAxis &axis, bool vertical, double sign, double pan,
                   double factor, bool edgeOn) {
    const double spacing = axis.spacing;
    if (!(spacing > 0) || !std::isfinite(axis.lo) || !std::isfinite(axis.hi))
        return;
    const auto toWindow = [&](double world) {
        // A window position from a world value: the inverse of world = position × sign + pan.
        return edgeOn ? (-world - pan) * sign : (world - pan) * sign;
    };
    const int64_t first = firstMultiple(axis.lo, spacing);
    const int64_t last = static_cast<int64_t>(std::floor(axis.hi / spacing + 1e-9));
    const int32_t lineColour = ColourTable(6);
    if (last < first)
        return;
    const bool dense = spacing * axis.pixelsPerMetre < 1;
    if (dense) {
        // Lines closer than a pixel cover every pixel between the first and the last.
        const double a = toWindow(static_cast<double>(first) * spacing);
        const double b = toWindow(static_cast<double>(last) * spacing);
        if (vertical)
            pic.FillBand(a, WindowTop, b, WindowBottom, lineColour);
        else
            pic.FillBand(WindowLeft, a, WindowRight, b, lineColour);
    } else {
        std::vector<std::array<double, 4>> lines;
        lines.reserve(static_cast<size_t>(last - first + 1));
        for (int64_t n = first; n <= last; ++n) {
            const double p = toWindow(static_cast<double>(n) * spacing);
            if (vertical)
                lines.push_back({p, static_cast<double>(WindowTop), p, static_cast<double>(WindowBottom)});
            else
                lines.push_back({static_cast<double>(WindowLeft), p, static_cast<double>(WindowRight), p});
        }
        pic.Lines(lines, lineColour);
    }
    if (GridLabelsOff)
        return;
    pic.ForeColor = ColourTable(7);
    // A label shows when the lines since the last label span more than 1.2 label widths.
    double sum = 0;
    const double spacingWindow = spacing * std::abs(sign);
    // Where lines are closer than a pixel, those whose labels the thinning leaves out are skipped in one
    // step, so that thousands of them cost nothing here.
    for (int64_t n = first; n <= last;) {
        const double world = static_cast<double>(n) * spacing;
        const std::string label = FormatValue(static_cast<float>(world), CoordinateRow, 0, 0);
        const double width = pic.TextWidth(label) * 1.2;
        sum += spacingWindow;
        if (sum > width) {
            const double p = toWindow(world);
            pic.CurrentX = vertical ? p : WindowLeft;
            pic.CurrentY = vertical ? WindowTop : p;
            pic.Print(label);
            sum = 0;
            ++n;
        } else if (!dense) {
            ++n;
        } else {
            // The sum passes the width after this many more lines.
            const int64_t more = static_cast<int64_t>(std::floor((width - sum) / spacingWindow));
            sum += static_cast<double>(more) * spacingWindow;
            n += more + 1;
        }
    }
    (void)factor;
}

void repaintActive() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    DrawingBatch batch(*pic);
    PrepareDrawing();
    pic->Cls();
    DrawGrid();
    DrawAirwayLines();
    DrawNetwork();
}

} // namespace

void Redraw() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || windowFrozen(ActiveWindow) || pic->Minimized || Shell().IsMinimized() ||
        RedrawSuspended || pic->Tag.empty())
        return;
    VB::DoEvents();
    if (SmokeDisplayTime > 0)
        SmokeDisplayTime = -SmokeDisplayTime;
    VB::SetScreenPointer(VB::vbHourglass);
    try {
        repaintActive();
    } catch (const std::exception &) {
        // A repaint that fails leaves what it drew; the pointer must not stay busy.
    }
    CalibratePause();
    VB::SetScreenPointer(VB::vbDefault);
}

void RedrawAll() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    if (pic->Maximized) {
        Redraw();
        return;
    }
    const int start = ActiveWindow;
    if (!WindowSwitching) {
        SaveView(100 + start);
        if (WindowOpen.InBounds(start))
            WindowOpen(start) = true;
    }
    for (int w = 0; w <= 4; ++w) {
        if (w == start || !windowOpen(w) || windowFrozen(w) || WindowPicture(w) == nullptr)
            continue;
        ActiveWindow = w;
        RestoreView(100 + w);
        Redraw();
    }
    ActiveWindow = start;
    RestoreView(100 + start);
    Redraw();
    Shell().FocusGraphicsWindow(start);
}

void RedrawLinesAllWindows() {
    // Drawing over is drawing: it waits like every repaint while drawing is suspended.
    if (ActivePicture() == nullptr || windowFrozen(ActiveWindow) || RedrawSuspended)
        return;
    const int start = ActiveWindow;
    SaveView(100 + start);
    if (WindowOpen.InBounds(start))
        WindowOpen(start) = true;
    const auto drawOver = [] {
        PictureBox *pic = ActivePicture();
        if (pic == nullptr)
            return;
        DrawingBatch batch(*pic);
        PrepareDrawing();
        DrawAirwayLines();
        DrawNetwork();
    };
    for (int w = 0; w <= 4; ++w) {
        if (w == start || !windowOpen(w) || windowFrozen(w) || WindowPicture(w) == nullptr)
            continue;
        ActiveWindow = w;
        RestoreView(100 + w);
        drawOver();
    }
    ActiveWindow = start;
    RestoreView(100 + start);
    drawOver();
}

void DrawGrid() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || !GridOn)
        return;
    const int kind = ViewKind();
    if (kind != 0 && kind != 2)
        return;
    try {
        RefreshWindowBounds();
        pic->ForeColor = ColourTable(7);
        if (FontName.InBounds(1) && !FontName(1).empty())
            pic->FontName = FontName(1);
        pic->FontBold = FontBold.InBounds(1) && FontBold(1) != 0;
        if (FontSize.InBounds(1) && FontSize(1) > 0)
            pic->FontSize = FontSize(1);
        pic->DrawWidth = BaseDrawWidth == 0 ? 1 : BaseDrawWidth;
        // In British units the spacing counts in feet: lines fall on whole multiples of it.
        const double factor = UnitSystem == 2 ? ToDisplayUnits(1.0f, CoordinateRow) : 1.0;
        const double spacing = factor > 0 ? GridSpacing / factor : GridSpacing;
        const double pxPerUnitX = pic->ScaleWidth == 0 ? 0 : std::abs(pic->PixelWidth() / pic->ScaleWidth);
        const double pxPerUnitY = pic->ScaleHeight == 0 ? 0 : std::abs(pic->PixelHeight() / pic->ScaleHeight);
        const double sx = AxisSignX, sy = AxisSignY;
        const auto range = [](double a, double b) { return std::pair{std::min(a, b), std::max(a, b)}; };
        if (kind == 0) {
            // World value of a window position: position × axis sign + pan.
            const auto [x0, x1] = range(WindowLeft * sx + PanX, WindowRight * sx + PanX);
            const auto [y0, y1] = range(WindowTop * sy + PanY, WindowBottom * sy + PanY);
            drawGridLines(*pic, {x0, x1, spacing, pxPerUnitX}, true, sx, PanX, factor, false);
            drawGridLines(*pic, {y0, y1, spacing, pxPerUnitY}, false, sy, PanY, factor, false);
        } else {
            // Edge-on, a window row shows one elevation: y × sign + pan = -elevation × sin(tilt), and
            // sin(tilt) is ±1 here.
            const double s = std::sin(static_cast<double>(Tilt)) < 0 ? -1 : 1;
            const auto [z0, z1] = range(-(WindowTop * sy + PanY) * s, -(WindowBottom * sy + PanY) * s);
            drawGridLines(*pic, {z0, z1, spacing, pxPerUnitY}, false, sy * s, PanY * s, factor, true);
        }
    } catch (const std::exception &) {
        VB::MsgBox("MAJOR Error Drawing Graphics Grid !", VB::vbOKOnly);
    }
}

void BuildToolCursorTable() {
    for (auto &row : ToolCursorName)
        for (auto &name : row)
            name.clear();
    const struct {
        int tool;
        const char *name;
    } table[] = {{0, "Magnify"}, {2, "Tag"},    {4, "Cross"},   {5, "Paste"},  {6, "Move"},  {7, "Reverse"},
                 {8, "Delete"},  {9, "Fan"},    {10, "Alpha"},  {11, "Cloud"}, {12, "Edit"}, {13, "Info"},
                 {15, "Insert"}, {17, "Trace"}, {18, "Rotate"}, {21, "Copy"}};
    for (const auto &entry : table) {
        ToolCursorName[entry.tool][1] = entry.name;
        ToolCursorName[entry.tool][2] = entry.name;
    }
    ToolCursorName[0][2] = "Hand";
}

void LoadSymbolPictures() {
    static const char *const names[13] = {"Line",    "Arrow", "Smoke2",  "FanBig",  "Node2",
                                          "Hazard2", "BBH2",  "PinRed2", "Pinblu2", "Res",
                                          "Fixed",   "BBH2",  "Hazard2"};
    SymbolPicture.ReDim(Bounds{0, 12});
    for (int slot = 0; slot <= 12; ++slot)
        SymbolPicture(slot) = SymbolArtwork(names[slot]);
}

void SetToolCursor(int button) {
    if (ActivePicture() == nullptr)
        return;
    bool allCustom = true;
    for (int w = 0; w <= 4; ++w) {
        const PictureBox *pic = WindowPicture(w);
        if (pic != nullptr && windowOpen(w) && pic->MousePointer != PictureBox::vbCustom &&
            pic->MousePointer != PictureBox::vbCrosshair)
            allCustom = false;
    }
    if (ToolCode == LastCursorTool && button == LastCursorButton && allCustom)
        return;
    const int column = button == 2 ? 2 : 1;
    const int tool = ToolCode == 91 ? 21 : ToolCode;
    const std::string name = tool >= 0 && tool <= MaxToolCode ? ToolCursorName[tool][column] : std::string();
    for (int w = 0; w <= 4; ++w) {
        PictureBox *pic = WindowPicture(w);
        if (pic == nullptr || !windowOpen(w))
            continue;
        if (name.empty()) {
            pic->MousePointer = PictureBox::vbCrosshair;
            continue;
        }
        // A cursor without a picture ends the change here, as a missing resource would.
        if (ToolCursorArtwork(name).image.isNull())
            return;
        pic->MouseIcon = name;
        pic->MousePointer = PictureBox::vbCustom;
    }
    LastCursorTool = ToolCode;
    LastCursorButton = button;
}

void Pause(float seconds) {
    VB::DoEvents();
    if (UnlimitedSpeed != 0 || !(seconds > 0))
        return;
    // The delay is measured by the clock, so it lasts the same on every machine without a counting loop.
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        VB::DoEvents();
    }
}

void CalibratePause() {
    VB::DoEvents();
}

