#include "common/ProgramState.h"
#include "common/CoreState.h"
#include "common/StateCopy.h"

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
#include "model/upper_layers.h"
#include "platform/PictureBox.h"
#include "platform/VBControls.h"
#include "settings/options_state.h"
#include "shell/program_layers.h"
#include "shell/shell_state.h"
#include "simulation/smoke_spread.h"
#include "tables/spreadsheet_state.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <memory>
#include <type_traits>
#include <utility>

// Every global the layers above the solver core declare in their headers, grouped by header (the core's
// are in CoreState.cpp). A global added to a header is added here too
// (ProgramState.EveryDeclaredGlobalIsReset fails until it is).
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
    /* shell/shell_state.h */ \
    X(Windows) X(CommandLineFile) X(OpenAtStart) X(DataItemOfGroup) X(LevelSyncBusy) X(CursorElevation) \
    X(AutosaveTicks) X(MessageTime) X(RotateBusy) X(RotatorX) X(RotatorY) X(MemoLeft) X(MemoTop) X(MemoWidth) \
    X(MemoHeight) X(BitmapFileName) \
    /* simulation/smoke_spread.h */ \
    X(SavedDataGroup) X(SavedDataItem) X(RetainLegend) X(LegendSet) X(SettingDataCombos) \
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
    using state_copy::copyValue;
    CaptureCoreState();
    atStart = std::make_unique<Globals>();
#define X(name) copyValue(atStart->name, ::name);
    GUSTROM_RESET_GLOBALS(X)
#undef X
}

void ResetProgramState() {
    using state_copy::copyValue;
    if (!atStart)
        return;
#define X(name) copyValue(::name, atStart->name);
    GUSTROM_RESET_GLOBALS(X)
#undef X
    ResetCoreState();
    releaseHeldButtons();
    // State kept inside the program's sources above the core, back to what the program starts with.
    SetEditorWindows(nullptr);
    SetLevelDialogs(nullptr);
    InstallProgramLayers();
    SetToolDispatchObserver(nullptr);
    SetWheelHandler(nullptr);
    for (int w = 0; w <= 4; ++w)
        SetWindowPicture(w, nullptr);
}

std::vector<std::string> ResetGlobalNames() {
    std::vector<std::string> names = CoreGlobalNames();
    for (const char *name : {
#define X(name) #name,
             GUSTROM_RESET_GLOBALS(X)
#undef X
         })
        names.emplace_back(name);
    return names;
}
