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

#include <QScopedValueRollback>

#include <algorithm>
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

// Lines closer than a pixel are drawn as the band they would cover; labels are thinned so that they never
// crowd.
void drawGridLines(PictureBox &pic, const GridAxis &axis, bool vertical, double pixelsPerMetre) {
    const double spacing = axis.spacing;
    const int64_t first = axis.First();
    const int64_t last = axis.Last();
    const int32_t lineColour = ColourTable(6);
    if (last < first)
        return;
    const bool dense = spacing * pixelsPerMetre < 1;
    if (dense) {
        // Lines closer than a pixel cover every pixel between the first and the last.
        const double a = axis.Position(first);
        const double b = axis.Position(last);
        if (vertical)
            pic.FillBand(a, WindowTop, b, WindowBottom, lineColour);
        else
            pic.FillBand(WindowLeft, a, WindowRight, b, lineColour);
    } else {
        std::vector<std::array<double, 4>> lines;
        lines.reserve(static_cast<size_t>(last - first + 1));
        for (int64_t n = first; n <= last; ++n) {
            const double p = axis.Position(n);
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
    // Labels stand at the window's left and top edges: the whole metres of its bounds, or the picture's own
    // edge where that bound lies outside it, so that no label starts beyond the picture.
    const auto inward = [](int32_t bound, double edge, double extent) {
        return extent > 0 ? std::max<double>(bound, edge) : std::min<double>(bound, edge);
    };
    const double leftEdge = inward(WindowLeft, pic.ScaleLeft, pic.ScaleWidth);
    const double topEdge = inward(WindowTop, pic.ScaleTop, pic.ScaleHeight);
    // A label shows when the lines since the last label span more than 1.2 label widths.
    double sum = 0;
    const double spacingWindow = spacing * std::abs(axis.sign);
    // Where lines are closer than a pixel, those whose labels the thinning leaves out are skipped in one
    // step, so that thousands of them cost nothing here.
    for (int64_t n = first; n <= last;) {
        const double world = axis.World(n);
        const std::string label = FormatValue(static_cast<float>(world), CoordinateRow, 0, 0);
        const double width = pic.TextWidth(label) * 1.2;
        sum += spacingWindow;
        if (sum > width) {
            const double p = axis.Position(n);
            const double x = vertical ? p : leftEdge, y = vertical ? topEdge : p;
            if (GridLabelFits(x, y, pic.TextWidth(label), pic.TextHeight(label))) {
                pic.CurrentX = x;
                pic.CurrentY = y;
                pic.Print(label);
            }
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

int64_t GridAxis::First() const {
    return static_cast<int64_t>(std::ceil(lo / spacing - 1e-9));
}

int64_t GridAxis::Last() const {
    return static_cast<int64_t>(std::floor(hi / spacing + 1e-9));
}

double GridAxis::Position(int64_t n) const {
    // The inverse of world = position × sign + pan; an edge-on row shows minus the world value.
    const double world = World(n);
    return edgeOn ? (-world - pan) * sign : (world - pan) * sign;
}

bool GridLabelFits(double x, double y, double width, double height) {
    return x >= WindowLeft && x + width <= WindowRight && y >= WindowTop && y + height <= WindowBottom;
}

std::optional<GridLines> ViewGridLines() {
    const int kind = ViewKind();
    if (kind != 0 && kind != 2)
        return std::nullopt;
    // In British units the spacing counts in feet: lines fall on whole multiples of it.
    const double factor = UnitSystem == 2 ? ToDisplayUnits(1.0f, CoordinateRow) : 1.0;
    const double spacing = factor > 0 ? GridSpacing / factor : GridSpacing;
    if (!(spacing > 0))
        return std::nullopt;
    const double sx = AxisSignX, sy = AxisSignY;
    const auto axis = [&](double a, double b, double sign, double pan, bool edgeOn) {
        GridAxis g;
        g.lo = std::min(a, b);
        g.hi = std::max(a, b);
        g.spacing = spacing;
        g.sign = sign;
        g.pan = pan;
        g.edgeOn = edgeOn;
        // A range the lines cannot be counted over has none.
        if (!std::isfinite(g.lo / spacing) || !std::isfinite(g.hi / spacing) ||
            std::abs(g.lo / spacing) > 1e15 || std::abs(g.hi / spacing) > 1e15) {
            g.lo = 0;
            g.hi = -1;
        }
        return g;
    };
    GridLines lines;
    if (kind == 0) {
        // World value of a window position: position × axis sign + pan.
        lines.vertical = axis(WindowLeft * sx + PanX, WindowRight * sx + PanX, sx, PanX, false);
        lines.horizontal = axis(WindowTop * sy + PanY, WindowBottom * sy + PanY, sy, PanY, false);
    } else {
        // Edge-on, a window row shows one elevation: y × sign + pan = -elevation × sin(tilt), and sin(tilt)
        // is ±1 here.
        const double s = std::sin(static_cast<double>(Tilt)) < 0 ? -1 : 1;
        lines.horizontal =
            axis(-(WindowTop * sy + PanY) * s, -(WindowBottom * sy + PanY) * s, sy * s, PanY * s, true);
    }
    return lines;
}

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

namespace {
DrawnAreas *measuringAreas = nullptr;
} // namespace

DrawnAreas *MeasuringAreas() {
    return measuringAreas;
}

void PrepareFitRecords() {
    const QScopedValueRollback fitting(FitPass, true);
    PrepareDrawing();
}

DrawnAreas MeasureDrawn(const std::vector<int> &records) {
    DrawnAreas areas;
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return areas;
    // The listed records alone are drawn, from the first positions, which get theirs back afterwards.
    const int count = std::min(AirwayScreenCount, AirwayScreen.UBound());
    std::vector<AirwayScreenRecord> listed, kept;
    listed.reserve(records.size());
    for (const int k : records)
        if (k >= 1 && k <= count)
            listed.push_back(AirwayScreen(k));
    kept.reserve(listed.size());
    for (size_t i = 0; i < listed.size(); ++i)
        kept.push_back(AirwayScreen(static_cast<int>(i) + 1));
    for (size_t i = 0; i < listed.size(); ++i)
        AirwayScreen(static_cast<int>(i) + 1) = listed[i];
    areas.records.resize(listed.size());
    QRectF drawn;
    const struct Measuring {
        PictureBox &pic;
        const std::vector<AirwayScreenRecord> &kept;
        int count;
        ~Measuring() {
            pic.Measured = nullptr;
            pic.MeasuredItems = nullptr;
            measuringAreas = nullptr;
            for (size_t i = 0; i < kept.size(); ++i)
                AirwayScreen(static_cast<int>(i) + 1) = kept[i];
            AirwayScreenCount = count;
        }
    } measuring{*pic, kept, AirwayScreenCount};
    pic->Measured = &drawn;
    pic->MeasuredItems = &areas.items;
    measuringAreas = &areas;
    AirwayScreenCount = static_cast<int>(listed.size());
    DrawNetwork();
    return areas;
}

void ShowNetworkInEveryWindow(bool anew) {
    if (ActivePicture() == nullptr)
        return;
    const int start = ActiveWindow;
    SaveView(100 + start);
    if (WindowOpen.InBounds(start))
        WindowOpen(start) = true;
    bool others = false;
    for (int w = 0; w <= 4; ++w) {
        if (w == start || !windowOpen(w) || windowFrozen(w) || WindowPicture(w) == nullptr)
            continue;
        others = true;
        if (anew)
            CopyView(start, w);
        ActiveWindow = w;
        RestoreView(100 + w);
        if (anew) {
            FitNetwork();
            SaveView(100 + w);
            // Its caption names the level and the data shown, as the active window's does.
            Shell().ShowDisplayChoice();
        }
        Redraw();
    }
    if (!others)
        return;
    ActiveWindow = start;
    RestoreView(100 + start);
    Redraw();
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
        const auto lines = ViewGridLines();
        if (!lines)
            return;
        const double pxPerUnitX = pic->ScaleWidth == 0 ? 0 : std::abs(pic->PixelWidth() / pic->ScaleWidth);
        const double pxPerUnitY = pic->ScaleHeight == 0 ? 0 : std::abs(pic->PixelHeight() / pic->ScaleHeight);
        if (lines->vertical)
            drawGridLines(*pic, *lines->vertical, true, pxPerUnitX);
        drawGridLines(*pic, lines->horizontal, false, pxPerUnitY);
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
