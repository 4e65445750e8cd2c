#include "common/CoreState.h"
#include "common/StateCopy.h"

#include "model/Gustrom1.h"
#include "model/fan_efficiency.h"
#include "model/levels_views.h"
#include "model/recovery_copy.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"
#include "solver/balance.h"
#include "solver/checks.h"
#include "solver/contaminant_spread.h"
#include "solver/fan_curves.h"
#include "solver/junction_system.h"
#include "solver/meshes.h"
#include "solver/network_solve.h"
#include "solver/simulation_ui.h"
#include "solver/solver_layers.h"

#include <memory>
#include <type_traits>

// Every global the platform, the model and the solver declare in their headers, grouped by header
// (ProgramState.TheCoresOwnResetCoversEveryGlobalOfTheCoreAndNoOther fails until a new one is listed here).
// clang-format off
#define GUSTROM_CORE_GLOBALS(X) \
    /* model/Gustrom1.h */ \
    X(MaxAirways) X(AirwayCount) X(MaxFans) X(MaxFloatingTexts) X(UndoBufferSize) X(MeshCount) \
    X(AirwayStartName) X(AirwayEndName) X(AirwayName) X(AirwayStartKey) X(AirwayEndKey) X(AirwayStart) \
    X(AirwayEnd) X(AirwaySize) X(AirwayFlags) X(AirwayResistanceType) X(AirwayShockType) \
    X(AirwayWallType) X(AirwayFrictionFactor) X(AirwayShockLength) X(AirwayComment) X(AirwayResistance) \
    X(AirwayFlow) X(AirwayFan) X(AirwayFanCount) X(AirwayLength) X(AirwayPressure) X(AirwayContaminant) \
    X(AirwayPrimaryLayer) X(AirwaySecondaryLayer) X(AirwayStartPressure) X(AirwayEndPressure) \
    X(AirwayUndoStamp) X(AirwayNumber) X(AirwayIconPosition) X(AirwayStation) X(AirwayParallelCount) \
    X(AirwayCurvePercent) X(AirwaySmoke) X(AirwaySmokeTime) X(AirwayStartProjected) \
    X(AirwayEndProjected) X(AirwayScreen) X(AirwayScreenCount) X(VisibleAirways) X(AirwayStartNode) \
    X(AirwayEndNode) X(AirwaySolverFan) X(NodeTreeAirway) X(NodeLabel) X(AirwayMeshOrder) \
    X(AirwayWeight) X(AirwayLinks) X(AirwayLinkList) X(MeshAirwayList) X(MeshStart) \
    X(FanName) X(FanDiameter) X(FanCurveFlow) \
    X(FanCurvePressure) X(FanCurveEfficiency) X(FanSolverFlow) X(FanSolverPressure) X(FanDataRevision) \
    X(FanDataChanged) X(CurrentFan) X(FloatingTextUsed) X(FloatingTextPosition) X(FloatingTextString) \
    X(FloatingTextShown) X(UndoLog) X(UndoStep) X(UndoSlot) X(UndoStampCounter) \
    X(AutoSimulate) X(LevelName) X(LevelRange) X(RLWindowLow) X(RLWindowHigh) X(CurrentLevel) \
    X(LevelScrollValue) X(LevelElevation) X(WorkingElevation) X(ViewMode) X(PreviousViewMode) \
    X(SelectedLevels) X(PrimaryLayerVisible) X(PrimaryLayerName) X(SecondaryLayerVisible) \
    X(SecondaryLayerName) X(ActivePrimaryLayer) X(ActiveSecondaryLayer) X(LayerDisplay) X(ViewName) \
    X(ViewSingles) X(ViewCurrency) X(WindowOpen) X(WindowFrozen) X(ActiveWindow) X(StatusText) \
    X(StationName) X(StationUpdateFlow) X(StationChannelName) X(StationChannelAbbrev) \
    X(StationChannelUnit) X(StationFactor) X(StationAlarmLow) X(StationAlarmHigh) X(StationReading) \
    X(StationFileText) X(AlarmsOn) X(RealtimeInputOn) X(AlarmBeep) X(RealtimeInputFile) \
    X(ResimulateOnInput) X(InputInterval) X(RealtimeOutputFile) X(OutputInterval) X(RealtimeOutputOn) \
    X(UnitSystem) X(UnitFactor) \
    X(UnitText) X(DataGroup) X(DataItem) X(DataCode) X(ResistanceLabel) \
    X(DataTypeCaption) X(WallTypeName) X(WallTypeFactor) X(ResistanceTypeName) X(ResistanceTypeValue) \
    X(ShockTypeName) X(ShockTypeLength) X(FontName) X(FontBold) X(FontSize) X(FontScale) X(IconSize) \
    X(IconScale) X(ColourTable) X(AirDensity) X(SurfacePressure) X(SurfacePressureRL) X(MaxIterations) \
    X(MaxError) X(PowerCost) X(AirPowerEfficiency) X(BulkheadResistance) X(MinNodeSpacing) \
    X(GridSpacing) X(PickDivisor) X(PowerZoomSpeed) X(TiltSpeed) X(SpinSpeed) X(DefaultDriveWallType) \
    X(DefaultRaiseWallType) X(DefaultShockLength) X(DefaultDriveHeight) X(DefaultDriveWidth) \
    X(DefaultRaiseDiameter) X(AspectRatio) X(SurfaceName) X(LoadMode) X(ErrorLevel) X(DefaultArea) \
    X(DefaultPerimeter) X(UseDefaultArea) X(DefaultCurvePercent) X(DefaultScaleWidth) X(DefaultCentreX) \
    X(DefaultCentreY) X(ScrollZoomOff) X(AutoInfo) X(ScreenBuffer) X(FullRotation) X(UnlimitedSpeed) \
    X(DataDisplayMode) X(GraphicsDetail) X(MaxShownFlow) X(MinShownFlow) X(RightClickEditOff) \
    X(LayerInheritance) X(PropertyInheritance) X(ExportDataSize) X(ExportNodeSize) \
    X(ExportNodeCircleSize) X(ExportAirwaySize) X(ExportArrowSize) X(ExportFloatSize) X(AttributeMask) \
    X(SmokeSourceMode) X(AutosaveMinutes) X(RealtimeEnabled) X(ColourScheme) X(NextAirwayNumber) \
    X(PresetResistanceReplaces) X(ConfirmActions) X(PerspectiveDepth) X(AxisSignX) X(AxisSignY) \
    X(Perspective) X(DimOption) X(NetworkFileName) X(NetworkFileTitle) X(NetworkTitle) X(FileNote) \
    X(MasterFile) X(NetworkSaved) X(DefaultsSaved) X(FileVersion) X(LineFields) X(LineFieldCount) \
    X(CurrentLine) X(AppFolder) X(RecentFiles) X(SeparatorConvert) X(FileDecimalSeparator) \
    X(LocalDecimalSeparator) X(LevelOffset) X(DialogCancelled) X(AnalysisMode) X(ShowProgress) \
    X(RunState) X(NetworkBalanced) X(SmokeMode) X(SmokeMaximum) X(SmokeLegendLevel) X(SmokeBusy) X(SourcesEdited) \
    X(DecimalSeparator) X(CurrentAirway) X(PickedAirway) X(PickedFraction) X(ShockTotal) X(AirEditMode) \
    X(Errorlist) X(ImportFileName) X(PrintOrientation) X(PrintScale) X(PrintTitle) X(PrintInColour) \
    /* model/fan_efficiency.h */ \
    X(FanDutyEfficiency) \
    /* model/levels_views.h */ \
    X(LevelListEnd) \
    /* model/undo.h */ \
    X(UndoLogSynced) X(ReversalStepPending) \
    /* solver/balance.h */ \
    X(LastBalance) \
    /* solver/checks.h */ \
    X(NodeCount) \
    /* solver/fan_curves.h */ \
    X(SolverFanCount) \
    /* solver/meshes.h */ \
    X(MeshingFinding) \
    /* solver/network_solve.h */ \
    X(WholeNetworkJunctions) \
    /* solver/contaminant_spread.h */ \
    X(SmokeWork)
// clang-format on

namespace {

struct Globals {
#define X(name) std::remove_cvref_t<decltype(::name)> name;
    GUSTROM_CORE_GLOBALS(X)
#undef X
};

std::unique_ptr<Globals> atStart;

SolverLayers solverLayers;

} // namespace

void CaptureCoreState() {
    using state_copy::copyValue;
    atStart = std::make_unique<Globals>();
#define X(name) copyValue(atStart->name, ::name);
    GUSTROM_CORE_GLOBALS(X)
#undef X
}

void ResetCoreState() {
    using state_copy::copyValue;
    if (!atStart)
        return;
#define X(name) copyValue(::name, atStart->name);
    GUSTROM_CORE_GLOBALS(X)
#undef X
    SetShellHooks(nullptr);
    SetSimulationUi(nullptr);
    // What the model runs after a change reaches the solver, as in the program.
    SetUpperLayers(&solverLayers);
    VB::SetDialogResponder(nullptr);
    VB::SetModalDriver({});
    ResetUndoFile();
    VB::SetScreenPointer(VB::vbDefault);
    VB::SetTempDirOverride("");
    VB::SetProgramFolderOverride("");
    VB::SetLocaleDecimalSeparatorOverride(0);
    VB::SetSettingsFolderOverride("");
    VB::SetPrivateFolderOverride("");
    // The last test's program is gone: its recovery copy is one left behind, not this program's.
    LetGoOfRecoveryCopy();
    VB::SetClockOverride(nullptr);
    VB::ClearConfigValues();
    VB::SetProgramStarter({});
    VB::UseSystemPrinters();
    VB::SetPrinterPageSizeProvider({});
    VB::ForgetPlaces();
    VB::SetFrameReport({});
}

std::vector<std::string> CoreGlobalNames() {
    return {
#define X(name) #name,
        GUSTROM_CORE_GLOBALS(X)
#undef X
    };
}
