#pragma once
// The program's one global data model: the network as parallel arrays indexed by airway slot, with its
// settings, preset tables, fan database, levels, layers, views, floating texts, stations, undo log and
// file and run state. Slot 0 of the airway arrays is never an airway; arrays keep their declared bounds.
// Every subsystem reads and writes these variables directly.
#include "platform/FixedString.h"
#include "platform/VBArray.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Exact 64-bit fixed point with four decimals: the value times 10,000 (node keys, view fields).
using Currency = int64_t;
constexpr Currency CurrencyScale = 10000;

using NodeName = FixedString<40>;
using CommentText = FixedString<12>;

// AirwayFlags bits.
namespace AirwayFlag {
constexpr int32_t Rectangular = 0x1;
constexpr int32_t Round = 0x2;
constexpr int32_t FixedFlow = 0x4;
constexpr int32_t ContaminantSource = 0x8;
constexpr int32_t Services = 0x10;
constexpr int32_t FansInSeries = 0x20;
constexpr int32_t ErrorMark = 0x40;
constexpr int32_t FixedLength = 0x80;
constexpr int32_t LayerVisible = 0x100;
constexpr int32_t FreshAir = 0x200;
constexpr int32_t ExhaustAir = 0x400;
constexpr int32_t DataHidden = 0x800;
constexpr int32_t SurfaceEntry = 0x1000;
constexpr int32_t SurfaceExit = 0x2000;
constexpr int32_t FixedDirection = 0x4000;
constexpr int32_t Irregular = 0x10000;
constexpr int32_t Selected = 0x20000;
} // namespace AirwayFlag

// One airway as drawn in the active graphics window: window positions, airway number, colour, width.
struct AirwayScreenRecord {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t airway = 0;
    int32_t colour = 0;
    int width = 0;
};

// ---- Capacities and counts ----
extern int32_t MaxAirways;     // upper bound of every per-airway array
extern int AirwayCount;        // airways in use, slots 1 .. AirwayCount (at most 32,767)
extern int MaxFans;            // fans 1 .. MaxFans
extern int MaxFloatingTexts;   // upper bound of the floating-text arrays
extern int UndoBufferSize;     // upper bound of the undo log
extern int MeshCount;          // meshes found by the last simulation
constexpr int AirwayLimit = 32767;

// ---- Per-airway arrays (slots 0 .. MaxAirways), in the order of the airway record line ----
extern VBArray<NodeName> AirwayStartName, AirwayEndName, AirwayName;
extern VBArray<Currency> AirwayStartKey, AirwayEndKey;     // node keys; SurfaceNodeKey for a surface end
extern VBArray<int32_t, 2> AirwayStart, AirwayEnd;          // (0..3, slot): X, Y, Z in whole metres
extern VBArray<float, 2> AirwaySize;                        // (0..2, slot): height, width / 0, diameter /
                                                            // perimeter, area (m, m²)
extern VBArray<int32_t> AirwayFlags;                        // AirwayFlag bits; 0 = empty slot
extern VBArray<int> AirwayResistanceType;                   // 0 automatic, 1 bulkhead, 2..49 preset, 50 typed
extern VBArray<int> AirwayShockType;                        // 0..49 preset, 50 typed
extern VBArray<int> AirwayWallType;                         // 0..49 preset, 50 typed
extern VBArray<float> AirwayFrictionFactor;                 // k, kg/m³
extern VBArray<float> AirwayShockLength;                    // equivalent length, m
extern VBArray<CommentText> AirwayComment;                  // status text of the network checks
extern VBArray<float> AirwayResistance;                     // R, Ns²/m⁸
extern VBArray<float> AirwayFlow;                           // Q, m³/s
extern VBArray<int> AirwayFan;                              // 1..MaxFans, 0 none, -1 fixed pressure
extern VBArray<int> AirwayFanCount;                         // 0 counts as 1
extern VBArray<float> AirwayLength;                         // m
extern VBArray<float> AirwayPressure;                       // fixed or fan pressure, Pa; ±9999 off curve
extern VBArray<float> AirwayContaminant;                    // source concentration
extern VBArray<int> AirwayPrimaryLayer;                     // 1..16
extern VBArray<int> AirwaySecondaryLayer;                   // 1..48
extern VBArray<float> AirwayStartPressure, AirwayEndPressure; // junction pressures, Pa; -9999999 unresolved
extern VBArray<int32_t> AirwayUndoStamp;
extern VBArray<int32_t> AirwayNumber;                       // unique number shown to the user
extern VBArray<float> AirwayIconPosition;                   // symbol position, fraction of the length
extern VBArray<int> AirwayStation;                          // remote station 1..50, 0 none
extern VBArray<int> AirwayParallelCount;                    // identical parallel airways
extern VBArray<int> AirwayCurvePercent;                     // 0 static, 100 total, between: blended
extern VBArray<int, 2> AirwaySmoke;                         // (1..2, slot): report pin; trace mark or ppm
extern VBArray<float> AirwaySmokeTime;                      // arrival time, s; 9999999 never
extern VBArray<double, 2> AirwayStartProjected, AirwayEndProjected; // (0..2, slot) projected x, y, m
extern VBArray<AirwayScreenRecord> AirwayScreen;            // drawn segments of the active window
extern int AirwayScreenCount;
extern VBArray<int> VisibleAirways;                         // 0 .. MaxAirways + 1, ended by 0

// ---- Work arrays of the simulation ----
extern VBArray<int> AirwayStartNode, AirwayEndNode;
extern VBArray<float> AirwaySolverFan;
extern VBArray<int> NodeTreeAirway, NodeLabel;
extern VBArray<int> AirwayMeshOrder;
extern VBArray<float> AirwayWeight;
extern VBArray<int32_t, 3> AirwayLinks;                     // (1..2 up/down, 1..2 first/last, slot)
extern VBArray<int> AirwayLinkList;                         // 0 .. 4 × MaxAirways
extern VBArray<int> MeshAirwayList;                         // 0 .. as many as the meshes need
extern VBArray<int32_t> MeshStart;                          // 0 .. MaxAirways / 2

// ---- Fan database (fans 0 .. MaxFans; curve points 1..10 of 0..11) ----
extern VBArray<std::string> FanName;                        // empty = free slot
extern VBArray<float> FanDiameter;                          // m
extern VBArray<float, 2> FanCurveFlow;                      // (point, fan), m³/s
extern VBArray<float, 3> FanCurvePressure;                  // (1 static / 2 total, point, fan), Pa
extern VBArray<int, 2> FanCurveEfficiency;                  // (point, fan), percent
extern VBArray<float, 2> FanSolverFlow;
extern VBArray<float, 3> FanSolverPressure;
extern int32_t FanDataRevision;
extern uint8_t FanDataChanged;                              // 0 unchanged, 255 changed
extern int CurrentFan;

// ---- Floating texts ----
extern VBArray<bool> FloatingTextUsed;                      // 0 .. MaxFloatingTexts + 1
extern VBArray<int32_t, 2> FloatingTextPosition;            // (0..3, text): X, Y, Z in whole metres
extern VBArray<std::string> FloatingTextString;             // 0 .. MaxFloatingTexts
extern VBArray<int> FloatingTextShown;                      // texts to draw, ended by 0

// ---- Undo log ----
extern VBArray<int32_t, 2> UndoLog;                         // (0..3, entry): step, action, stamp
extern int UndoStep;
extern int UndoSlot;
extern int32_t UndoStampCounter;
extern bool AutoSimulate;

// ---- Levels (0..250; level 1 is the surface) ----
extern VBArray<std::string> LevelName;
extern VBArray<int32_t, 2> LevelRange;                      // (level, 1 RL High / 2 RL Low), m
extern int32_t RLWindowLow, RLWindowHigh;
extern int CurrentLevel;
extern double LevelScrollValue;
extern double LevelElevation;
extern float WorkingElevation;
extern int ViewMode;                                        // 1 single level, 2 selected, 3 range, 4 all
extern int PreviousViewMode;
extern VBArray<int> SelectedLevels;                         // 0..5, 0 ends the list

// ---- Layers ----
extern VBArray<bool> PrimaryLayerVisible;                   // 1..16
extern VBArray<std::string> PrimaryLayerName;
extern VBArray<bool> SecondaryLayerVisible;                 // 1..48
extern VBArray<std::string> SecondaryLayerName;
extern int ActivePrimaryLayer, ActiveSecondaryLayer;        // layers of new airways
extern int32_t LayerDisplay;                                // bits 0..1 hidden-layer look; 4, 8, 16, 32, 64

// ---- Views (0..110: saved 1..100, graphics window w at 100 + w) ----
// The value of pi the view angles are measured against.
constexpr double ViewPi = 3.141592654;
extern VBArray<std::string> ViewName;
extern VBArray<float, 2> ViewSingles;                       // (slot, 1..28)
extern VBArray<Currency, 2> ViewCurrency;                   // (slot, 1..5)

// ---- Graphics windows 0..4 ----
extern VBArray<bool> WindowOpen, WindowFrozen;
extern int ActiveWindow;                                    // -1 none
extern std::string StatusText;                              // status message of the graphics window

// ---- Remote stations (1..50) and channels (1..5) ----
constexpr int MaxStations = 50;
constexpr int StationChannels = 5;
extern VBArray<std::string> StationName;
extern VBArray<int> StationUpdateFlow;
extern VBArray<std::string, 2> StationChannelName, StationChannelAbbrev, StationChannelUnit;
extern VBArray<float, 2> StationFactor, StationAlarmLow, StationAlarmHigh;
extern VBArray<int32_t, 2> StationReading;
extern VBArray<std::string, 2> StationFileText;             // (station, 1..2)
extern int AlarmsOn;
extern int RealtimeInputOn;                                 // -1 while realtime input is active
extern int AlarmBeep;
// Realtime input and output settings, kept in the station settings file. An interval holds seconds as
// the file keeps them: a number in print form as read, or the text typed in a dialog; empty = not set.
extern std::string RealtimeInputFile;                       // station readings file polled by input
extern int ResimulateOnInput;                               // nonzero: simulate after every poll
extern std::string InputInterval;                           // s between polls
extern std::string RealtimeOutputFile;                      // results file written by output
extern std::string OutputInterval;                          // s between writes
extern int RealtimeOutputOn;                                // -1 while realtime output is active

// ---- Units and displayed data ----
extern int UnitSystem;                                      // 1 SI metric, 2 British imperial
extern VBArray<float, 2> UnitFactor;                        // (quantity 0..20, system 0..2)
extern VBArray<std::string, 2> UnitText;                    // (quantity 0..20, column 0..6)
extern int DataGroup, DataItem, DataCode;
// Name of the resistance preset of the airway whose data text was built last (labels resistance symbols).
extern std::string ResistanceLabel;
// Captions of the display data (group 0..6, item 0..10); item 1 names the group; code = group × 10 + item.
extern VBArray<std::string, 2> DataTypeCaption;

// ---- Preset tables (0..49; 50 = typed by the user) ----
extern VBArray<std::string> WallTypeName;
extern VBArray<float> WallTypeFactor;                       // k, kg/m³
extern VBArray<std::string> ResistanceTypeName;
extern VBArray<float> ResistanceTypeValue;                  // R, Ns²/m⁸
extern VBArray<std::string> ShockTypeName;
extern VBArray<float> ShockTypeLength;                      // m
constexpr int TypedPreset = 50;
constexpr int BulkheadPreset = 1;                           // resistance type of a bulkhead

// ---- Fonts (classes 1..4), symbols (classes 0..6), colours (0..7) ----
extern VBArray<std::string> FontName;
extern VBArray<int> FontBold, FontSize;                     // size in points
extern int FontScale;
extern VBArray<int> IconSize, IconScale;
extern VBArray<int32_t> ColourTable;                        // RGB, red in the low byte

// ---- Settings with built-in values ----
extern float AirDensity;          // kg/m³
extern float SurfacePressure;     // kPa
extern float SurfacePressureRL;   // m; 99999 = not set
extern int MaxIterations;
extern float MaxError;            // m³/s
extern float PowerCost;           // per kWh
extern float AirPowerEfficiency;  // fraction
extern int32_t BulkheadResistance; // Ns²/m⁸
extern int MinNodeSpacing;
extern double GridSpacing;        // m
extern int PickDivisor;
extern float PowerZoomSpeed;      // percent
extern float TiltSpeed, SpinSpeed;
extern int DefaultDriveWallType, DefaultRaiseWallType;
extern float DefaultShockLength;  // m
extern float DefaultDriveHeight, DefaultDriveWidth, DefaultRaiseDiameter; // m
extern float AspectRatio;
extern std::string SurfaceName;
extern int LoadMode;              // 1 normal load, above 1 merge
extern int ErrorLevel;            // 0 none, 1 errors, 2 reversal warnings

// ---- Settings that start empty until a settings block sets them ----
extern float DefaultArea, DefaultPerimeter;   // m², m
extern int UseDefaultArea;
extern int32_t DefaultCurvePercent;
extern float DefaultScaleWidth, DefaultCentreX, DefaultCentreY; // m
extern int ScrollZoomOff;
extern bool AutoInfo;
extern bool ScreenBuffer;
extern int FullRotation, UnlimitedSpeed;
extern int DataDisplayMode;       // 0 all, 1 steep, 2 level, 3 selected
extern int GraphicsDetail;
extern float MaxShownFlow, MinShownFlow; // m³/s
extern int RightClickEditOff;
extern bool LayerInheritance, PropertyInheritance;
extern int ExportDataSize, ExportNodeSize, ExportNodeCircleSize, ExportAirwaySize, ExportArrowSize,
    ExportFloatSize;
extern int32_t AttributeMask;
extern int SmokeSourceMode;       // 0 fixed injection, 1 cumulative
extern int32_t AutosaveMinutes;
extern int RealtimeEnabled;
extern int ColourScheme;          // 0 by levels, 1 fresh / exhaust
extern int32_t NextAirwayNumber;
extern uint8_t PresetResistanceReplaces; // 1 = a resistance preset replaces the computed resistance
extern bool ConfirmActions;
extern float PerspectiveDepth;
extern int AxisSignX, AxisSignY;  // +1 or -1
extern int Perspective, DimOption;

// ---- File state ----
extern std::string NetworkFileName;  // empty = unnamed
extern std::string NetworkFileTitle;
extern std::string NetworkTitle;
extern std::string FileNote;
extern bool MasterFile;
// The network's saved flag: 0 changed, 255 saved. Every change of the network marks it changed, and each
// marking counts as one change, which the windows that show the network follow.
class NetworkSavedFlag {
public:
    NetworkSavedFlag &operator=(uint8_t value);
    operator uint8_t() const { return value_; }

private:
    uint8_t value_ = 255;
};
extern NetworkSavedFlag NetworkSaved;
// The changes of the network counted so far.
uint64_t NetworkChanges();
// A procedure told after each change (one at a time; null for none); it must only take note of it, for
// the network may be half-way through an edit. Returns the one it replaces.
using NetworkChangeListener = void (*)();
NetworkChangeListener SetNetworkChangeListener(NetworkChangeListener listener);
extern uint8_t DefaultsSaved;        // 0 changed, 255 saved
extern float FileVersion;
extern VBArray<std::string> LineFields; // 0..100
extern int LineFieldCount;
extern std::string CurrentLine;
extern std::string AppFolder;        // program folder, ending in a separator
extern VBArray<std::string> RecentFiles; // 1..9
// Decimal separators of the text file being read.
extern bool SeparatorConvert;        // the file's separator differs from the local one
extern char FileDecimalSeparator;    // the writer's separator, from the second character of the first line
extern char LocalDecimalSeparator;   // the local separator, refreshed by every SplitFields
// Network file commands.
extern int LevelOffset;              // merge: first level slot that the merged levels fill
extern bool DialogCancelled;         // the last file dialog returned no name
extern std::string ImportFileName;   // the file the import dialog reads

// ---- Printing ----
extern int PrintOrientation;         // 0 portrait, 1 landscape
extern float PrintScale;             // printout scale 1 : PrintScale; 0 = fit the window to the page
extern std::string PrintTitle;       // title of the printout's title block
extern int32_t PrintInColour;        // 1 colour, 0 black

// ---- Run state ----
extern int AnalysisMode;       // 0 simulate, 1..4 troubleshooting, -1 non-converging airways
extern int ShowProgress;       // 1 = progress window
extern uint8_t RunState;       // 0 running, 255 stop
extern bool NetworkBalanced;
extern int SmokeMode;          // 0 off, 1 spread shown, 2 trace shown
extern float SmokeMaximum;
extern VBArray<float> SmokeLegendLevel; // 0..5: lower bound of each class, 0 the top
// Shell start-up and contaminant run state.
extern bool SmokeBusy;         // a contaminant spread is running
extern bool SourcesEdited;     // a contaminant source changed since the last spread
extern int DecimalSeparator;   // character code of the locale's decimal separator

// ---- Edit state ----
extern int CurrentAirway;
extern int PickedAirway;       // 0 none
extern float PickedFraction;
extern float ShockTotal;
extern int AirEditMode;        // 1 one airway, 2 information, 3 selection

// ---- Error list: "airway number TAB fault" lines for the error window ----
extern std::vector<std::string> Errorlist;

// Allocates every per-airway, per-fan and per-text array to the capacities, empty.
void ReDimNetwork();
// The same allocation keeping every element inside both the old and the new bounds.
void ReDimNetworkPreserve();
// Empties one airway slot (AirwayCount unchanged).
void ClearAirway(int a);
// Empties the whole network; its results are out of date.
void ClearNetwork();
// The built-in start-up defaults, then the settings file, station settings and allocation.
void SetDefaults();

// The built-in symbol sizes, text fonts and colour table (parts of SetDefaults).
void SetBuiltInSymbols();
void SetBuiltInFonts();
void SetBuiltInColours();
// A network without a file of its own is drawn as plans are: X growing to the right and Y (north) growing
// upwards on screen and in print. A network file brings its own axes.
// The built-in views need no turning with the axes: RestoreView tilts them the way the Y axis points.
void SetNewNetworkAxes();

// Half of the airway capacity, rounded halves to even (bound of the mesh arrays).
int32_t HalfAirwayCapacity();
