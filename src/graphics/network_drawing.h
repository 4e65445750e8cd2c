#pragma once
// The values the network drawing computes once per drawing and once per airway, shared by its steps
// (symbols, texts, station readings), and the steps themselves. Everything is drawn on the active window
// in window units.
#include <QRectF>

#include <cstdint>
#include <string>
#include <vector>

class DrawingSurface;
class PictureBox;

// Slots of the symbol pictures (SymbolPicture).
namespace SymbolSlot {
constexpr int Contaminant = 2;
constexpr int Fan = 3;
constexpr int Node = 4;
constexpr int Obstruction = 5;
constexpr int Bulkhead = 6;
constexpr int PinBase = 6; // + 1 smoke reported, + 2 clear reported
constexpr int Regulator = 9;
constexpr int Fixed = 10;
constexpr int BulkheadSmall = 11;
constexpr int ObstructionSmall = 12;
} // namespace SymbolSlot

// Paints symbol picture `slot` in a square of side `size` centred on (x, y); nothing for an empty slot.
void PaintSymbol(DrawingSurface &surface, int slot, double x, double y, double size);

// The two barb ends of an arrowhead of length `size` with its tip at (tipX, tipY) on a segment running
// (dx, dy) from its start end: the barbs point back towards the start.
struct ArrowBarbs {
    double x1, y1, x2, y2;
};
ArrowBarbs ArrowheadBarbs(double tipX, double tipY, double dx, double dy, double size);

// ---- Per drawing ----
// Symbol sizes (window units) of the classes arrows, smoke, fans, nodes, obstruction, bulkhead.
extern float ArrowSize, SmokeSize, FanSize, NodeSize, ObstructionSize, BulkheadSize;
extern float FontFactor;                                            // factor on every text size
extern int DataFontSize, NameFontSize, NodeFontSize, FloatFontSize; // points; 0 = class not drawn
extern float LetterWidth, LetterHeight; // size of "F" in the data-values font, window units

// ---- Per airway ----
extern int32_t LineColour;                               // the record's colour made non-negative
extern float SegmentX1, SegmentY1, SegmentX2, SegmentY2; // window positions of the entry and exit ends
extern int StartOnScreen, EndOnScreen;                   // 1 when that end lies strictly inside the window
extern float LabelX, LabelY;        // anchor of the middle texts; LabelY moves line by line
extern float LabelShift;            // the middle texts start this far right of LabelX, clear of a symbol
extern int LabelOnScreen;           // -1 when the middle lies strictly inside the window
extern float IconX, IconY;          // the symbol point
extern int IconOnScreen;            // -1 when the symbol point lies strictly inside the window
extern std::string AirwayLabelText; // the data label of the airway being drawn

// True when airway a carries the layer-visible mark or LayerDisplay has `bit`.
bool LayerTest(int a, int32_t bit);

// Symbol steps.
void DrawArrow(int a);
void DrawNodeSymbols(int a);
void DrawAirwaySymbols(int a);
// Text steps.
void DrawFloatingTexts();
void DrawNodeNames(int a);
void DrawEndValues(int a);
void DrawMidpointTexts(int a);
// Readings of the station linked to airway a, and the flow the station's first channel sets.
void DrawStationReadings(int a);

// What station s does to the flow of its airways. A station that updates the airflow sets it from its first
// channel when that channel is named quantity, velocity or pressure (any case). A flow channel that does not
// set the flow (the update flag clear, or a channel after the first while the first sets nothing) releases
// the airways' fixed flow; a later channel never undoes the first channel's fix. A station without flow
// channels leaves the flow alone.
enum class StationFlow { None, Quantity, Velocity, Pressure, Release };
StationFlow StationFlowKind(int s);
// Sets airway a's flow (m³/s) and fixed-flow flag from the first-channel reading of its station, as
// StationFlowKind of that station says; a reading of 0 unfixes the airway, as Release does.
void ApplyStationFlow(int a, StationFlow kind);

// For each screen record of the active window, found without drawing: a rectangle (device pixels) holding
// all DrawNetwork draws for it, and one holding every point it draws at (null where nothing is drawn, the
// whole plane where it cannot be told without drawing).
struct DrawnBound {
    QRectF rect, placedAt;
};
std::vector<DrawnBound> DrawnBounds();
