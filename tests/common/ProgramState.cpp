#include "common/ProgramState.h"

#include "dialogs/dialog_state.h"
#include "exchange/dxf_reader.h"
#include "exchange/dxf_writer.h"
#include "exchange/export.h"
#include "exchange/frmPrinter.h"
#include "exchange/print_network.h"
#include "exchange/realtime.h"
#include "graphics/drawing.h"
#include "graphics/editor_windows.h"
#include "graphics/graphics_state.h"
#include "graphics/level_dialogs.h"
#include "graphics/locate.h"
#include "graphics/mouse.h"
#include "graphics/network_drawing.h"
#include "graphics/tool_state.h"
#include "graphics/tools.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/fan_efficiency.h"
#include "model/levels_views.h"
#include "model/recovery_copy.h"
#include "model/undo.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/FileLock.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"
#include "settings/options_state.h"
#include "shell/program_layers.h"
#include "shell/shell_state.h"
#include "simulation/balance.h"
#include "simulation/checks.h"
#include "simulation/fan_curves.h"
#include "simulation/junction_system.h"
#include "simulation/meshes.h"
#include "simulation/network_solve.h"
#include "simulation/simulation_ui.h"
#include "simulation/smoke_spread.h"
#include "tables/spreadsheet_state.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <memory>
#include <type_traits>
#include <utility>

// Every global the program declares in its headers, grouped by header. A global added to a header is added
// here too (ProgramState.EveryDeclaredGlobalIsReset fails until it is).
// clang-format off
#define GUSTROM_RESET_GLOBALS(X) \
    /* dialogs/dialog_state.h */ \
    X(SubDialogOpen) X(EditShape) \
    /* exchange/dxf_reader.h */ \
    X(CoordinateWarningShown) \
    /* exchange/dxf_writer.h */ \
    X(ExportVisibleOnly) X(ExportConfirmed) \
    /* exchange/export.h */ \
    X(ExportMode) \
    /* exchange/print_network.h */ \
    X(ColourFactor) X(ContaminantColours) X(ScaleRatio) X(WindowAspect) X(PageAspect) X(PrintArrowSize) \
    X(SmokeSymbolSize) X(FanSymbolSize) X(NodeSymbolSize) X(ObstructionSymbolSize) X(BulkheadSymbolSize) \
    X(PrintFontFactor) X(DataTextSize) X(NameTextSize) X(NodeTextSize) X(FloatTextSize) X(CellWidth) \
    X(CellHeight) X(SymbolX) X(SymbolY) \
    /* exchange/frmPrinter.h */ \
    X(OrientationBusy) \
    /* graphics/drawing.h */ \
    X(GridLabelsOff) X(SmokeDisplayTime) X(PauseCount) X(LastCursorTool) X(LastCursorButton) \
    X(SymbolPicture) X(SmokePalette) \
    /* graphics/graphics_state.h */ \
    X(WindowSwitching) X(RedrawSuspended) X(Tilt) X(Spin) X(TiltStep) X(SpinStep) X(SpinCos) X(SpinSin) \
    X(TiltSin) X(TiltCos) X(ViewIs3D) X(PanX) X(PanY) X(KeepPan) X(PlanProjected) X(EyeX) X(EyeY) \
    X(EyeZ) X(RotationCentreSet) X(WindowLeft) X(WindowRight) X(WindowTop) X(WindowBottom) \
    X(WindowExtent) X(WindowExtentHeight) X(ScaleNumber) X(PrintPageShown) X(ViewRestored) \
    X(DataComboUpdating) X(FitPass) \
    X(RedrawDeferred) X(PrimaryLayerMask) X(SecondaryLayerMaskLow) X(SecondaryLayerMaskHigh) X(RangeLow) \
    X(RangeHigh) X(LevelSelectCancelled) X(MouseButton) X(MouseShift) X(CursorX) X(CursorY) \
    X(ButtonHeld) X(MouseMoveSeen) X(MouseMode) X(BuildStartX) X(BuildStartY) X(DrawStartX) \
    X(DrawStartY) X(DrawStartZ) X(ScreenRecordsPresent) X(AirwayIncline) X(BaseDrawWidth) \
    X(HookedWindow) X(ToolCode) X(PreviousToolCode) X(ToolMode) X(CopyToDefaults) X(EditSubMode) \
    X(MouseBusy) X(MouseDownActive) X(StartPointX) X(StartPointY) X(PressShift) X(PressWindow) \
    X(MoveWindow) X(ReleaseWindow) X(PressLeft) X(PressTop) X(PressRight) X(PressBottom) X(MoveX) \
    X(MoveY) X(MouseRawX) X(MouseRawY) X(ReleasePending) X(ToolCursorName) X(GridOn) X(Rotating) \
    /* exchange/realtime.h */ \
    X(RealtimeOutputFailed) \
    /* graphics/locate.h */ \
    X(SearchKind) X(SearchText) X(SearchPosition) X(SearchAirway) X(LocateTarget) \
    /* graphics/network_drawing.h */ \
    X(ArrowSize) X(SmokeSize) X(FanSize) X(NodeSize) X(ObstructionSize) X(BulkheadSize) X(FontFactor) \
    X(DataFontSize) X(NameFontSize) X(NodeFontSize) X(FloatFontSize) X(LetterWidth) X(LetterHeight) \
    X(LineColour) X(SegmentX1) X(SegmentY1) X(SegmentX2) X(SegmentY2) X(StartOnScreen) X(EndOnScreen) \
    X(LabelX) X(LabelY) X(LabelShift) X(LabelOnScreen) X(IconX) X(IconY) X(IconOnScreen) X(AirwayLabelText) \
    /* graphics/tool_state.h */ \
    X(ViewDrag) X(PanState) X(CoordEntryActive) X(CoordsCancelled) X(PressCursorX) X(PressCursorY) \
    X(BuildStartZ) X(BuildEndX) \
    X(BuildEndY) X(BuildEndZ) X(DrawStartNodeName) X(DrawJoinAirway) X(DrawSplitAirway) X(PressPick) \
    X(PressAirwayEnd) X(StartSnapped) X(MoveFenceMode) X(TextDragging) X(SplitPointX) X(SplitPointY) \
    X(SplitPointZ) X(PressElevation) X(StartElevation) X(PressLevel) X(PanAtPressX) X(PanAtPressY) \
    X(EntryPointX) X(EntryPointY) X(EntryPointZ) X(RotateStartFractionX) X(RotateStartFractionY) \
    X(RotateStartSpin) X(RotateStartTilt) X(FenceDrawn) X(FenceFound) X(SmokeReportKind) X(PlanCursorX) \
    X(PlanCursorY) X(PointTyped) X(CoordsForSelection) X(MakeCopy) X(PickedEnd) X(DrawEndNodeName) X(AttributeBuffer) X(PickTolerance) X(LastKey) \
    X(ComboUpdating) \
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
    /* shell/shell_state.h */ \
    X(Windows) X(CommandLineFile) X(OpenAtStart) X(DataItemOfGroup) X(LevelSyncBusy) X(CursorElevation) \
    X(AutosaveTicks) X(MessageTime) X(RotateBusy) X(RotatorX) X(RotatorY) X(MemoLeft) X(MemoTop) X(MemoWidth) \
    X(MemoHeight) X(BitmapFileName) \
    /* simulation/balance.h */ \
    X(LastBalance) \
    /* simulation/checks.h */ \
    X(NodeCount) \
    /* simulation/fan_curves.h */ \
    X(SolverFanCount) \
    /* simulation/meshes.h */ \
    X(MeshingFinding) \
    /* simulation/network_solve.h */ \
    X(WholeNetworkJunctions) \
    /* simulation/smoke_spread.h */ \
    X(SmokeWork) X(SavedDataGroup) X(SavedDataItem) X(RetainLegend) X(LegendSet) X(SettingDataCombos) \
    /* settings/options_state.h */ \
    X(OptionsLoaded) X(UnitSwitchArmed) X(AxisChanged) X(UnderlyingResistanceOff) X(EditValue) X(SelectedSwatch) \
    X(ColourOptionGuard) X(OptionsTab) X(WallFactorWork) X(ShockLengthWork) X(ResistanceValueWork) \
    /* tables/spreadsheet_state.h */ \
    X(SheetColNo) X(SheetColName) X(SheetColFrom) X(SheetColTo) X(SheetColLength) X(SheetColFlow) \
    X(SheetColVel) X(SheetColPdrop) X(SheetColResistance) X(SheetColKFactor) X(SheetColShock) X(SheetColFan) \
    X(SheetColFPres) X(SheetColHeight) X(SheetColWidth) X(SheetColComments) X(SheetColX1) X(SheetColY1) \
    X(SheetColZ1) X(SheetColX2) X(SheetColY2) X(SheetColZ2) X(SheetCellColour) X(SheetColumnWidths) \
    X(SheetChanged) X(SheetSearchText) X(SheetReplaceText) X(SheetSearchRow) X(SheetReplaceMode)
// clang-format on

namespace {

template <typename T> void copyValue(T &to, const T &from) {
    to = from;
}
template <typename T, std::size_t N> void copyValue(T (&to)[N], const T (&from)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        copyValue(to[i], from[i]);
}
// Arrays are copied with their bounds, so an array unallocated at start is unallocated again. An array of
// the same bounds keeps its storage: the settings table refers to the fixed tables' elements.
template <typename T, std::size_t N> void copyValue(VBArray<T, N> &to, const VBArray<T, N> &from) {
    [&]<std::size_t... D>(std::index_sequence<D...>) {
        if (to.size() != from.size() ||
            ((to.LBound(D) != from.LBound(D) || to.UBound(D) != from.UBound(D)) || ...))
            to.ReDim(Bounds{from.LBound(D), from.UBound(D)}...);
    }
    (std::make_index_sequence<N>{});
    for (std::size_t i = 0; i < from.size(); ++i)
        to.data()[i] = from.data()[i];
}

struct Globals {
#define X(name) std::remove_cvref_t<decltype(::name)> name;
    GUSTROM_RESET_GLOBALS(X)
#undef X
};

std::unique_ptr<Globals> atStart;

// A button an earlier test pressed and never released would make the next test's clicks drags in Qt's
// own state: it is released over a window of its own.
void releaseHeldButtons() {
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    if (held == Qt::NoButton)
        return;
    QWidget sink;
    sink.show();
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (held & button)
            QTest::mouseRelease(&sink, button);
}

} // namespace

void CaptureProgramState() {
    atStart = std::make_unique<Globals>();
#define X(name) copyValue(atStart->name, ::name);
    GUSTROM_RESET_GLOBALS(X)
#undef X
}

void ResetProgramState() {
    if (!atStart)
        return;
#define X(name) copyValue(::name, atStart->name);
    GUSTROM_RESET_GLOBALS(X)
#undef X
    releaseHeldButtons();
    // State kept inside the program's sources, back to what the program starts with.
    SetShellHooks(nullptr);
    SetEditorWindows(nullptr);
    SetSimulationUi(nullptr);
    SetLevelDialogs(nullptr);
    VB::SetDialogResponder(nullptr);
    VB::SetModalDriver({});
    InstallProgramLayers();
    ResetUndoFile();
    SetToolDispatchObserver(nullptr);
    SetWheelHandler(nullptr);
    for (int w = 0; w <= 4; ++w)
        SetWindowPicture(w, nullptr);
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

std::vector<std::string> ResetGlobalNames() {
    return {
#define X(name) #name,
        GUSTROM_RESET_GLOBALS(X)
#undef X
    };
}
