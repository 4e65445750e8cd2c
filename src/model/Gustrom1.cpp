#include "model/Gustrom1.h"

#include "model/airway_fields.h"
#include "model/levels_views.h"
#include "model/settings_file.h"
#include "model/undo.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <utility>

int32_t MaxAirways = 30000;
int AirwayCount = 0;
int MaxFans = 250;
int MaxFloatingTexts = 100;
int UndoBufferSize = 30000;
int MeshCount = 0;

VBArray<NodeName> AirwayStartName, AirwayEndName, AirwayName;
VBArray<Currency> AirwayStartKey, AirwayEndKey;
VBArray<int32_t, 2> AirwayStart, AirwayEnd;
VBArray<float, 2> AirwaySize;
VBArray<int32_t> AirwayFlags;
VBArray<int> AirwayResistanceType, AirwayShockType, AirwayWallType;
VBArray<float> AirwayFrictionFactor, AirwayShockLength;
VBArray<CommentText> AirwayComment;
VBArray<float> AirwayResistance, AirwayFlow;
VBArray<int> AirwayFan, AirwayFanCount;
VBArray<float> AirwayLength, AirwayPressure, AirwayContaminant;
VBArray<int> AirwayPrimaryLayer, AirwaySecondaryLayer;
VBArray<float> AirwayStartPressure, AirwayEndPressure;
VBArray<int32_t> AirwayUndoStamp, AirwayNumber;
VBArray<float> AirwayIconPosition;
VBArray<int> AirwayStation, AirwayParallelCount, AirwayCurvePercent;
VBArray<int, 2> AirwaySmoke;
VBArray<float> AirwaySmokeTime;
VBArray<double, 2> AirwayStartProjected, AirwayEndProjected;
VBArray<AirwayScreenRecord> AirwayScreen;
int AirwayScreenCount = 0;
VBArray<int> VisibleAirways;

VBArray<int> AirwayStartNode, AirwayEndNode;
VBArray<float> AirwaySolverFan;
VBArray<int> NodeTreeAirway, NodeLabel, AirwayMeshOrder;
VBArray<float> AirwayWeight;
VBArray<int32_t, 3> AirwayLinks;
VBArray<int> AirwayLinkList, MeshAirwayList;
VBArray<int32_t> MeshStart;

VBArray<std::string> FanName;
VBArray<float> FanDiameter;
VBArray<float, 2> FanCurveFlow;
VBArray<float, 3> FanCurvePressure;
VBArray<int, 2> FanCurveEfficiency;
VBArray<float, 2> FanSolverFlow;
VBArray<float, 3> FanSolverPressure;
int32_t FanDataRevision = 0;
uint8_t FanDataChanged = 0;
int CurrentFan = 0;

VBArray<bool> FloatingTextUsed;
VBArray<int32_t, 2> FloatingTextPosition;
VBArray<std::string> FloatingTextString;
VBArray<int> FloatingTextShown;

VBArray<int32_t, 2> UndoLog;
int UndoStep = 0;
int UndoSlot = 0;
int32_t UndoStampCounter = 0;
bool AutoSimulate = false;

VBArray<std::string> LevelName;
VBArray<int32_t, 2> LevelRange;
int32_t RLWindowLow = 0, RLWindowHigh = 0;
int CurrentLevel = 0;
double LevelScrollValue = 0;
double LevelElevation = 0;
float WorkingElevation = 0;
int ViewMode = 0;
int PreviousViewMode = 0;
VBArray<int> SelectedLevels;

VBArray<bool> PrimaryLayerVisible;
VBArray<std::string> PrimaryLayerName;
VBArray<bool> SecondaryLayerVisible;
VBArray<std::string> SecondaryLayerName;
int ActivePrimaryLayer = 1, ActiveSecondaryLayer = 1;
int32_t LayerDisplay = 0;

VBArray<std::string> ViewName;
VBArray<float, 2> ViewSingles;
VBArray<Currency, 2> ViewCurrency;

VBArray<bool> WindowOpen, WindowFrozen;
int ActiveWindow = -1;
std::string StatusText;

VBArray<std::string> StationName;
VBArray<int> StationUpdateFlow;
VBArray<std::string, 2> StationChannelName, StationChannelAbbrev, StationChannelUnit;
VBArray<float, 2> StationFactor, StationAlarmLow, StationAlarmHigh;
VBArray<int32_t, 2> StationReading;
VBArray<std::string, 2> StationFileText;
int AlarmsOn = 0;
int RealtimeInputOn = 0;
int AlarmBeep = 0;
std::string RealtimeInputFile;
int ResimulateOnInput = 0;
std::string InputInterval;
std::string RealtimeOutputFile;
std::string OutputInterval;
int RealtimeOutputOn = 0;

int UnitSystem = 0;
VBArray<float, 2> UnitFactor;
VBArray<std::string, 2> UnitText;
int DataGroup = 0, DataItem = 0, DataCode = 0;
std::string ResistanceLabel;
VBArray<std::string, 2> DataTypeCaption;

VBArray<std::string> WallTypeName;
VBArray<float> WallTypeFactor;
VBArray<std::string> ResistanceTypeName;
VBArray<float> ResistanceTypeValue;
VBArray<std::string> ShockTypeName;
VBArray<float> ShockTypeLength;

VBArray<std::string> FontName;
VBArray<int> FontBold, FontSize;
int FontScale = 0;
VBArray<int> IconSize, IconScale;
VBArray<int32_t> ColourTable;

float AirDensity = 1.2f;
float SurfacePressure = 101;
float SurfacePressureRL = 99999;
int MaxIterations = 50;
float MaxError = 0.05f;
float PowerCost = 0.08f;
float AirPowerEfficiency = 0.8f;
int32_t BulkheadResistance = 1000000000;
int MinNodeSpacing = 5;
double GridSpacing = 50;
int PickDivisor = 25;
float PowerZoomSpeed = 4;
float TiltSpeed = 2, SpinSpeed = 2;
int DefaultDriveWallType = 4, DefaultRaiseWallType = 2;
float DefaultShockLength = 2;
float DefaultDriveHeight = 4, DefaultDriveWidth = 4, DefaultRaiseDiameter = 1.8f;
float AspectRatio = 1.0f;
std::string SurfaceName = "SURFACE";
int LoadMode = 1;
int ErrorLevel = 0;

float DefaultArea = 0, DefaultPerimeter = 0;
int UseDefaultArea = 0;
int32_t DefaultCurvePercent = 0;
float DefaultScaleWidth = 0, DefaultCentreX = 0, DefaultCentreY = 0;
int ScrollZoomOff = 0;
bool AutoInfo = false;
bool ScreenBuffer = false;
int FullRotation = 0, UnlimitedSpeed = 0;
int DataDisplayMode = 0;
int GraphicsDetail = 0;
float MaxShownFlow = 0, MinShownFlow = 0;
int RightClickEditOff = 0;
bool LayerInheritance = false, PropertyInheritance = false;
int ExportDataSize = 0, ExportNodeSize = 0, ExportNodeCircleSize = 0, ExportAirwaySize = 0,
    ExportArrowSize = 0, ExportFloatSize = 0;
int32_t AttributeMask = 0;
int SmokeSourceMode = 0;
int32_t AutosaveMinutes = 0;
int RealtimeEnabled = 0;
int ColourScheme = 0;
int32_t NextAirwayNumber = 0;
uint8_t PresetResistanceReplaces = 0;
bool ConfirmActions = false;
float PerspectiveDepth = 0;
int AxisSignX = 1, AxisSignY = 1;
int Perspective = 0, DimOption = 0;

std::string NetworkFileName, NetworkFileTitle, NetworkTitle, FileNote;
int PrintOrientation = 0;
float PrintScale = 0;
std::string PrintTitle;
int32_t PrintInColour = 0;
bool MasterFile = false;
NetworkSavedFlag NetworkSaved;
uint8_t DefaultsSaved = 255;
float FileVersion = 0;
VBArray<std::string> LineFields;
int LineFieldCount = 0;
std::string CurrentLine;
std::string AppFolder;
VBArray<std::string> RecentFiles;
bool SeparatorConvert = false;
char FileDecimalSeparator = '.';
char LocalDecimalSeparator = '.';
int LevelOffset = 0;
bool DialogCancelled = false;
std::string ImportFileName;

int AnalysisMode = 0;
int ShowProgress = 0;
uint8_t RunState = 0;
bool NetworkBalanced = false;
int SmokeMode = 0;
float SmokeMaximum = 0;
VBArray<float> SmokeLegendLevel;
bool SmokeBusy = false;
bool SourcesEdited = false;
int DecimalSeparator = '.';

int CurrentAirway = 0;
int PickedAirway = 0;
float PickedFraction = 0;
float ShockTotal = 0;
int AirEditMode = 0;

std::vector<std::string> Errorlist;

namespace {

// The tables of fixed size exist from the start and are never re-allocated.
struct FixedTables {
    FixedTables() {
        LevelName.ReDim(Bounds{0, 250});
        LevelRange.ReDim(Bounds{0, 250}, Bounds{1, 2});
        SelectedLevels.ReDim(Bounds{0, 5});
        PrimaryLayerVisible.ReDim(Bounds{1, 16});
        PrimaryLayerName.ReDim(Bounds{1, 16});
        SecondaryLayerVisible.ReDim(Bounds{1, 48});
        SecondaryLayerName.ReDim(Bounds{1, 48});
        PrimaryLayerVisible.Fill(true);
        SecondaryLayerVisible.Fill(true);
        ViewName.ReDim(Bounds{0, 110});
        ViewSingles.ReDim(Bounds{0, 110}, Bounds{1, 28});
        ViewCurrency.ReDim(Bounds{0, 110}, Bounds{1, 5});
        WindowOpen.ReDim(Bounds{0, 4});
        WindowFrozen.ReDim(Bounds{0, 4});
        const Bounds stations{0, MaxStations}, channels{1, StationChannels};
        StationName.ReDim(stations);
        StationUpdateFlow.ReDim(stations);
        StationChannelName.ReDim(stations, channels);
        StationChannelAbbrev.ReDim(stations, channels);
        StationChannelUnit.ReDim(stations, channels);
        StationFactor.ReDim(stations, channels);
        StationAlarmLow.ReDim(stations, channels);
        StationAlarmHigh.ReDim(stations, channels);
        StationReading.ReDim(stations, channels);
        StationFileText.ReDim(stations, Bounds{1, 2});
        UnitFactor.ReDim(Bounds{0, 20}, Bounds{0, 2});
        UnitText.ReDim(Bounds{0, 20}, Bounds{0, 6});
        const Bounds presets{0, TypedPreset};
        WallTypeName.ReDim(presets);
        WallTypeFactor.ReDim(presets);
        ResistanceTypeName.ReDim(presets);
        ResistanceTypeValue.ReDim(presets);
        ShockTypeName.ReDim(presets);
        ShockTypeLength.ReDim(presets);
        FontName.ReDim(Bounds{0, 4});
        FontBold.ReDim(Bounds{0, 4});
        FontSize.ReDim(Bounds{0, 4});
        IconSize.ReDim(Bounds{0, 6});
        IconScale.ReDim(Bounds{0, 6});
        ColourTable.ReDim(Bounds{0, 7});
        LineFields.ReDim(Bounds{0, 100});
        RecentFiles.ReDim(Bounds{1, 9});
        SmokeLegendLevel.ReDim(Bounds{0, 5});
        DataTypeCaption.ReDim(Bounds{0, 6}, Bounds{0, 10});
    }
};
const FixedTables fixedTables;

// Both allocation operations walk the same table; Preserve says whether contents are kept.
template <bool Preserve, typename A, typename... B> void alloc(A &array, B... bounds) {
    if constexpr (Preserve)
        array.ReDimPreserve(bounds...);
    else
        array.ReDim(bounds...);
}

template <bool Preserve> void allocateNetwork() {
    const Bounds airways{0, MaxAirways};
    const Bounds fans{0, MaxFans};
    const Bounds points{0, 11};
    const Bounds xyz{0, 3};
    const Bounds half{0, HalfAirwayCapacity()};
    alloc<Preserve>(UndoLog, xyz, Bounds{0, UndoBufferSize});
    AllocateAirwayFields(airways, Preserve);
    alloc<Preserve>(AirwayStartNode, airways);
    alloc<Preserve>(AirwayEndNode, airways);
    alloc<Preserve>(AirwayStartProjected, Bounds{0, 2}, airways);
    alloc<Preserve>(AirwayEndProjected, Bounds{0, 2}, airways);
    alloc<Preserve>(AirwayScreen, airways);
    alloc<Preserve>(AirwaySolverFan, airways);
    alloc<Preserve>(NodeTreeAirway, airways);
    alloc<Preserve>(AirwayLinks, Bounds{1, 2}, Bounds{1, 2}, airways);
    alloc<Preserve>(AirwayLinkList, Bounds{0, 4 * MaxAirways});
    alloc<Preserve>(AirwayMeshOrder, airways);
    alloc<Preserve>(AirwayWeight, airways);
    // The mesh list is the meshes' scratch, rebuilt by every run and grown to what they need: a list grown
    // beyond its reserve stays, so the next run of a network with long meshes takes no fresh memory.
    if (MeshAirwayList.size() == 0 || MeshAirwayList.UBound() < 20 * MaxAirways)
        alloc<Preserve>(MeshAirwayList, Bounds{0, 20 * MaxAirways});
    alloc<Preserve>(MeshStart, half);
    alloc<Preserve>(VisibleAirways, Bounds{0, MaxAirways + 1});
    alloc<Preserve>(FloatingTextShown, Bounds{0, MaxFloatingTexts + 1});
    alloc<Preserve>(FloatingTextUsed, Bounds{0, MaxFloatingTexts + 1});
    alloc<Preserve>(FloatingTextPosition, xyz, Bounds{0, MaxFloatingTexts});
    alloc<Preserve>(FloatingTextString, Bounds{0, MaxFloatingTexts});
    alloc<Preserve>(NodeLabel, airways);
    alloc<Preserve>(FanName, fans);
    alloc<Preserve>(FanSolverFlow, points, fans);
    alloc<Preserve>(FanSolverPressure, Bounds{0, 2}, points, fans);
    alloc<Preserve>(FanCurvePressure, Bounds{0, 2}, points, fans);
    alloc<Preserve>(FanCurveFlow, points, fans);
    alloc<Preserve>(FanCurveEfficiency, points, fans);
    alloc<Preserve>(FanDiameter, fans);
}

void setPreset(VBArray<std::string> &names, VBArray<float> &values, int i, const char *name, float value) {
    names(i) = name;
    values(i) = value;
}

void setView(int slot, const char *name, float tilt, float spin, float is3D) {
    ViewName(slot) = name;
    ViewSingles(slot, 1) = tilt;
    ViewSingles(slot, 2) = spin;
    ViewSingles(slot, 14) = is3D;
}

} // namespace

void SetBuiltInSymbols() {
    // Lines, arrows, smoke, fans, nodes, obstruction, bulkhead. Symbols keep their share of the window
    // whatever the zoom, as the texts keep their point size, so that a fan or a door reads at Fit All; the
    // node marks alone keep their size in the mine, so that they stay dots beside the node names.
    const int iconSizes[7] = {1, 3, 5, 5, 5, 5, 5};
    const int iconScales[7] = {0, 0, 0, 0, 1, 0, 0};
    for (int k = 0; k <= 6; ++k) {
        IconSize(k) = iconSizes[k];
        IconScale(k) = iconScales[k];
    }
    // Texts keep their point size whatever the zoom, so that they stay readable at Fit All and in print.
    FontScale = 0;
}

void SetBuiltInFonts() {
    const int points[5] = {0, 9, 10, 8, 10}; // data values, airway names, node names, floating text
    for (int k = 1; k <= 4; ++k) {
        FontName(k) = "Arial";
        FontBold(k) = 0;
        FontSize(k) = points[k];
    }
}

void SetNewNetworkAxes() {
    AxisSignX = 1;
    AxisSignY = -1;
}

void SetBuiltInColours() {
    // Red in the low byte.
    const int32_t colours[8] = {0x00FF00, 0x0000FF, 0xFFFF00, 0x000000,
                                0xFFFFFF, 0x00FFFF, 0x808080, 0x008000};
    for (int i = 0; i <= 7; ++i)
        ColourTable(i) = colours[i];
}

int32_t HalfAirwayCapacity() {
    return static_cast<int32_t>(VB::RoundHalfEven(MaxAirways / 2.0));
}

void ReDimNetwork() {
    allocateNetwork<false>();
}
void ReDimNetworkPreserve() {
    allocateNetwork<true>();
}

void ClearAirway(int a) {
    AirwayFields::ForEach([a](const auto &field) { field.Clear(a); });
}

namespace {
uint64_t networkChanges = 0;
NetworkChangeListener networkChangeListener = nullptr;

void countNetworkChange() {
    ++networkChanges;
    if (networkChangeListener != nullptr)
        networkChangeListener();
}

} // namespace

NetworkSavedFlag &NetworkSavedFlag::operator=(uint8_t value) {
    value_ = value;
    if (value == 0)
        countNetworkChange();
    return *this;
}

uint64_t NetworkChanges() {
    return networkChanges;
}

NetworkChangeListener SetNetworkChangeListener(NetworkChangeListener listener) {
    return std::exchange(networkChangeListener, listener);
}

void ClearNetwork() {
    // An emptied network, whatever comes into it next, is a change of the network too.
    countNetworkChange();
    ResetUndoSteps();
    ResetUndoFile();
    for (int i = 1; i <= 48; ++i) {
        SecondaryLayerName(i) = "";
        SecondaryLayerVisible(i) = true;
    }
    for (int i = 1; i <= 16; ++i) {
        PrimaryLayerName(i) = "";
        PrimaryLayerVisible(i) = true;
    }
    // The startup view belongs to the network it was saved with.
    ViewName(0) = "";
    for (int f = 1; f <= 28; ++f)
        ViewSingles(0, f) = 0;
    for (int f = 1; f <= 5; ++f)
        ViewCurrency(0, f) = 0;
    for (int v = 6; v <= 100; ++v) {
        ViewName(v) = "";
        for (int f = 1; f <= 16; ++f)
            ViewSingles(v, f) = 0;
        for (int f = 1; f <= 5; ++f)
            ViewCurrency(v, f) = 0;
    }
    ReDimNetwork();
    AirwayCount = 0;
    // No results belong to an empty network, whatever the last run gave, nor the last run's findings.
    MarkResultsStale();
    Errorlist.clear();
    ErrorLevel = 0;
    Upper().CloseErrorWindow();
    NetworkTitle.clear();
    Upper().SetVisibleAirways();
    NetworkFileTitle.clear();
    Shell().SetCaption("Gustrom");
}

namespace {

void builtInDefaults() {
    // 1. Capacities and solver values.
    UndoBufferSize = 30000;
    MaxAirways = 30000;
    MaxFans = 250;
    ErrorLevel = 0;
    BulkheadResistance = 1000000000;
    LoadMode = 1;
    MinNodeSpacing = 5;
    GridSpacing = 50;
    PickDivisor = 25;
    PowerZoomSpeed = 4;
    // 2. Symbols.
    SetBuiltInSymbols();
    // 3. New-airway values.
    DefaultRaiseWallType = 2;
    DefaultDriveWallType = 4;
    DefaultShockLength = 2;
    DefaultDriveHeight = 4;
    DefaultDriveWidth = 4;
    DefaultRaiseDiameter = 1.8f;
    SurfaceName = "SURFACE";
    // 4. Solver values.
    MaxIterations = 50;
    MaxError = 0.05f;
    PowerCost = 0.08f;
    AirPowerEfficiency = 0.8f;
    AirDensity = 1.2f;
    SpinSpeed = 2;
    TiltSpeed = 2;
    ResistanceTypeName(TypedPreset) = "Fix Res";
    SurfacePressure = 101;
    SurfacePressureRL = 99999;
    AspectRatio = 1.0f;
    // 5. Fonts.
    SetBuiltInFonts();
    MaxFloatingTexts = 100;
    // 6. The five built-in views (tilt and spin in radians, field 14 the 3-D flag).
    const float pi = 3.141592654f;
    const float sign = static_cast<float>(AxisSignY);
    setView(1, " 1. Default View", 0, 0, 0);
    setView(2, " 2. Plan View 3D", 0, 0, 1);
    setView(3, " 3. Long Section", sign * pi / 2, 0, 1);
    setView(4, " 4. Cross Section", sign * pi / 2, -pi / 2, 1);
    setView(5, " 5. Iso View", sign, -0.391f, 1);
    // 7.
    FillViewList();
    // 8. Wall types.
    setPreset(WallTypeName, WallTypeFactor, 0, "Smooth Pipes", 0.003f);
    setPreset(WallTypeName, WallTypeFactor, 1, "Flexible Ducting", 0.0035f);
    setPreset(WallTypeName, WallTypeFactor, 2, "Concrete Lined Airway", 0.004f);
    setPreset(WallTypeName, WallTypeFactor, 3, "Raisebored Airway", 0.007f);
    setPreset(WallTypeName, WallTypeFactor, 4, "Smooth Blasted Airway", 0.01f);
    setPreset(WallTypeName, WallTypeFactor, 5, "Average Blasted Airway", 0.012f);
    setPreset(WallTypeName, WallTypeFactor, 6, "Rough Blasted Airway", 0.018f);
    setPreset(WallTypeName, WallTypeFactor, 7, "Very Rough Blasted", 0.025f);
    setPreset(WallTypeName, WallTypeFactor, 8, "Timbered Airway", 0.04f);
    setPreset(WallTypeName, WallTypeFactor, 9, "Concrete Shaft Sets", 0.05f);
    // 9. Resistance types ("Automatic" has no value).
    ResistanceTypeName(0) = "Automatic";
    setPreset(ResistanceTypeName, ResistanceTypeValue, 1, "Bulkhead", static_cast<float>(BulkheadResistance));
    setPreset(ResistanceTypeName, ResistanceTypeValue, 2, "Steel Door", 10);
    setPreset(ResistanceTypeName, ResistanceTypeValue, 3, "Wood Door", 5);
    setPreset(ResistanceTypeName, ResistanceTypeValue, 4, "meshes Brattice", 3);
    setPreset(ResistanceTypeName, ResistanceTypeValue, 5, "Parachute Stop", 2);
    setPreset(ResistanceTypeName, ResistanceTypeValue, 6, "High Muck Pile", 1.5f);
    setPreset(ResistanceTypeName, ResistanceTypeValue, 7, "Med Muck Pile", 1.0f);
    setPreset(ResistanceTypeName, ResistanceTypeValue, 8, "Low Muck Pile", 0.5f);
    setPreset(ResistanceTypeName, ResistanceTypeValue, 9, "Air Curtain", 0.1f);
    // 10. Shock types.
    setPreset(ShockTypeName, ShockTypeLength, 0, "None", 0);
    setPreset(ShockTypeName, ShockTypeLength, 1, "Slight", 5);
    setPreset(ShockTypeName, ShockTypeLength, 2, "Low", 20);
    setPreset(ShockTypeName, ShockTypeLength, 3, "Moderate", 50);
    setPreset(ShockTypeName, ShockTypeLength, 4, "High", 100);
    setPreset(ShockTypeName, ShockTypeLength, 5, "Very High", 250);
    // 11. Colours.
    SetBuiltInColours();
    // 12.
    DefaultsSaved = 255;
    // 13, 14: the settings file and the station settings overwrite what they hold.
    LoadDefaults();
    Upper().LoadRemotes();
    // 15.
    if (SpinSpeed == 0)
        SpinSpeed = 2;
    if (TiltSpeed == 0)
        TiltSpeed = 2;
    // 16.
    SetViewCaption();
}

} // namespace

void SetDefaults() {
    try {
        builtInDefaults();
    } catch (const VBError &e) {
        const std::string text = FileErrorText(e.number, "Cannot find DEFAULTS File",
                                               "ERROR " + std::to_string(e.number) + " occurred.");
        VB::MsgBox(text, VB::vbExclamation);
        VB::SetScreenPointer(VB::vbDefault);
    }
    // 17, 18: the program always starts with allocated arrays and view 1 applied.
    ReDimNetwork();
    Shell().ViewListSetIndex(0);
}
