#pragma once
// The repaint of the graphics windows: the fixed pipeline (prepare, clear, grid, airway lines, network),
// the coordinate grid, the tool cursors and the short delays of the continuous zoom and rotation.
#include <QImage>
#include <QRectF>

#include <vector>

#include <cstdint>
#include <optional>
#include <string>

#include "graphics/graphics_state.h"
#include "platform/DrawingSurface.h"
#include "platform/VBArray.h"

// ---- Drawing settings and state ----
extern bool GridLabelsOff;       // the pan drag redraws without grid labels
extern int32_t SmokeDisplayTime; // s; its absolute value counts, 0 = no limit
extern int32_t PauseCount;       // kept for callers that read it; the delays are timed by the clock
extern int LastCursorTool, LastCursorButton;
// The symbol pictures, slots 0..12.
extern VBArray<QImage> SymbolPicture;
// The smoke and highlight palette of the last preparation (0 dim, 1..5 contaminant classes, 6 white,
// 7 upstream trace).
extern VBArray<int32_t> SmokePalette;

// Repaints the active graphics window.
void Redraw();
// Repaints every open, unfrozen graphics window, the active one last.
void RedrawAll();
// After the network changed under every window (opened, new, imported or merged): every other open,
// unfrozen window is repainted, with `anew` taking the active window's view fitted to its own shape, and
// then the active one. Nothing is done when no other window shows the network.
void ShowNetworkInEveryWindow(bool anew);
// Draws the airway lines and the network of every open, unfrozen window over what is there.
void RedrawLinesAllWindows();
// The coordinate grid of the active window (plan and edge-on views only).
void DrawGrid();
// The grid lines of one axis of the active view: line n (First() .. Last()) stands at the world value
// n × spacing (m; an elevation when seen edge-on) and at the window position Position(n).
struct GridAxis {
    double lo = 0, hi = -1; // world range covered, m
    double spacing = 1;     // m
    double sign = 1, pan = 0;
    bool edgeOn = false;
    int64_t First() const;
    int64_t Last() const;
    double World(int64_t n) const { return static_cast<double>(n) * spacing; }
    double Position(int64_t n) const;
};
// The grid of the active view within WindowLeft .. WindowBottom: vertical and horizontal lines in plan
// view, lines of equal elevation seen edge-on; nothing in other views.
struct GridLines {
    std::optional<GridAxis> vertical;
    GridAxis horizontal;
};
std::optional<GridLines> ViewGridLines();
// True when a grid label of this size with its top-left corner at (x, y) lies wholly inside WindowLeft ..
// WindowRight and WindowTop .. WindowBottom; a label cut by the window's edge would misread, so it is left
// out.
bool GridLabelFits(double x, double y, double width, double height);
// Sets the cursor of every open graphics window for the current tool and mouse button (2 right, else left).
void SetToolCursor(int button);
// Fills the cursor table of the tools.
void BuildToolCursorTable();
// Loads the symbol pictures into their slots.
void LoadSymbolPictures();
// A delay that lets window events run; at least one round of the event pump.
void Pause(float seconds);
// The delays are measured by the clock, so there is nothing to calibrate; lets events run once.
void CalibratePause();
// What a repaint of the active window draws over the airway lines, measured without painting: the area
// (device pixels) of the floating texts and, for each listed screen record (a position in AirwayScreen), the
// area of its airway's arrow, symbols and texts; null where nothing is drawn. The records stay as they were.
struct DrawnAreas {
    QRectF floating;
    std::vector<QRectF> records; // by position in the list measured
    // Every text, symbol and stroke apart, the floating texts' included.
    std::vector<DrawingSurface::MeasuredItem> items;
};
DrawnAreas MeasureDrawn(const std::vector<int> &records);
// The screen records of every visible airway of the active window, wherever it lies (a fit's records).
void PrepareFitRecords();
// While a fit measures: where DrawNetwork keeps what it draws, record by record (null otherwise).
DrawnAreas *MeasuringAreas();
// Draws only the airway lines of the active window (continuous zoom and rotation).
void DrawAirwayLines();
// Draws everything over the airway lines: floating texts, arrows, symbols, texts, station readings.
void DrawNetwork();
