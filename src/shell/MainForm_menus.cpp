// The menu commands of the main window that are thin handlers over other parts of the program.
#include "dialogs/airway_dialogs.h"
#include "exchange/export.h"
#include "exchange/frmImport.h"
#include "exchange/frmSummary.h"
#include "graphics/drawing.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/keyboard.h"
#include "graphics/locate.h"
#include "graphics/projection.h"
#include "graphics/tools.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "model/file_dialogs.h"
#include "model/settings_file.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "settings/frmOptions.h"
#include "settings/frmTagS.h"
#include "settings/frmViewer.h"
#include "shell/MainForm.h"
#include "shell/file_commands.h"
#include "shell/shell_state.h"
#include "shell/small_windows.h"
#include "shell/tool_command.h"
#include "simulation/simplify.h"
#include "simulation/smoke_spread.h"
#include "simulation/smoke_windows.h"
#include "tables/frmFanData.h"
#include "tables/frmRLBase.h"
#include "tables/frmSpreadSheet.h"
#include "tables/name_lists.h"

// ---- File ----

void MainForm::mnuNewFile_Click() {
    SpreadSheetAroundNetworkChange([] {
        NewNetwork();
        Redraw();
    });
}

void MainForm::mnuOpenFile_Click() {
    OpenCommand();
}

void MainForm::mnuMergeFile_Click() {
    SpreadSheetAroundNetworkChange([] {
        MergeCommand();
        SetVisibleAirways();
        RotateView();
    });
}

void MainForm::ReloadDef_Click() {
    if (VB::MsgBox("Current defaults will be lost!", VB::vbOKCancel | VB::vbExclamation, "Reload Defaults") ==
        VB::vbCancel)
        return;
    ReloadDefaults();
    DefaultsSaved = 255;
}

void MainForm::mnuReLoadFan_Click() {
    if (VB::MsgBox("Current fan database will be lost!", VB::vbOKCancel | VB::vbExclamation,
                   "Reload Default Fan Database") == VB::vbCancel)
        return;
    FanDataChanged = 255;
    LoadFanData();
    // The network file keeps the fan list its airways use.
    NetworkSaved = 0;
}

void MainForm::mnuSaveFile_Click() {
    SaveCommand();
}

void MainForm::mnuSaveAs_Click() {
    SaveNetworkAs();
}

void MainForm::mnuSaveFan_Click() {
    // The file is the fan library of every network: it is replaced only with a yes.
    const std::string replaced = FanFileReplacement();
    if (!replaced.empty() &&
        VB::MsgBox(replaced + "\r\nReplace it?", VB::vbYesNo | VB::vbQuestion | VB::vbDefaultButton2,
                   "Save Fan Database") != VB::vbYes)
        return;
    SaveFanData();
}

void MainForm::mnuSaveDef_Click() {
    // The file holds the settings of every new network: it is replaced only with a yes.
    const std::string replaced = DefaultsFileReplacement();
    if (!replaced.empty() &&
        VB::MsgBox(replaced + "\r\nReplace it?", VB::vbYesNo | VB::vbQuestion | VB::vbDefaultButton2,
                   "Save Defaults") != VB::vbYes)
        return;
    // Exit offers to save the settings again unless they really were written.
    if (SaveDefaults())
        DefaultsSaved = 255;
}

namespace {

// The file choice of both import commands, then the import dialog on the chosen file.
void importFileChoice(QWidget *owner, const char *filter) {
    VB::FileRequest request;
    request.filter = filter;
    request.filterIndex = 1;
    request.mustExist = true;
    request.initialDir = FileDialogFolder();
    const std::optional<std::string> chosen = VB::FileDialog(request);
    DialogCancelled = !chosen || chosen->empty();
    if (!DialogCancelled) {
        RememberFileDialogFolder(*chosen);
        ImportFileName = *chosen;
        frmImport dialog(owner);
        VB::ShowModal(dialog);
    }
    VB::SetScreenPointer(VB::vbDefault);
}

} // namespace

void MainForm::MnuDXF_Click() {
    SpreadSheetAroundNetworkChange(
        [this] { importFileChoice(this, "Data Files (*.DXF)|*.DXF|All Files (*.*)|*.*"); });
}

void MainForm::mnuImportData_Click() {
    SpreadSheetAroundNetworkChange([this] {
        PlanView();
        Redraw();
        importFileChoice(this, "Data Files (*.TXT)|*.TXT|All Files (*.*)|*.*");
    });
}

void MainForm::MnuDXFScreen_Click() {
    ExportMode = 2;
    ExportNetwork();
}

void MainForm::mnuDXFTrue_Click() {
    ExportMode = 1;
    ExportNetwork();
}

void MainForm::mnuExportData_Click() {
    ExportMode = 0;
    ExportNetwork();
}

void MainForm::mnuPrint_Click() {
    PrintCommand();
}

void MainForm::mnuOld_Click(int index) {
    SpreadSheetAroundNetworkChange([index] {
        // Single-level view even when the entry turns out empty.
        ViewMode = 1;
        OpenRecentFile(index);
    });
}

void MainForm::mnuExit_Click() {
    close();
}

// ---- Edit ----

void MainForm::mnuUndo_Click() {
    UndoAction();
}

void MainForm::mnuRedo_Click() {
    RedoAction();
}

void MainForm::mnuCopy2_Click() {
    SetMenuChecked("mnuCopy2", true);
    SetMenuChecked("mnuCpyPst", false);
    Rotating = 0;
    PreviousToolCode = ToolCode;
    ToolCode = 91;
    CopyToDefaults = true;
    ToolCommand();
}

void MainForm::mnuCpyPst_Click() {
    SetMenuChecked("mnuCpyPst", true);
    SetMenuChecked("mnuCopy2", false);
    Rotating = 0;
    PreviousToolCode = ToolCode;
    ToolCode = 21;
    ToolCommand();
}

void MainForm::mnuFinder_Click(int index) {
    for (int i = 0; i <= 9; ++i)
        SetMenuChecked("mnuFinder(" + std::to_string(i) + ")", i == index);
    if (index == 3) {
        const std::string answer = VB::InputBox("Enter Branch Number", "Locate Branch", "");
        LocateTarget = VB::ClampToInt<int32_t>(VB::RoundHalfEven(VB::Val(answer)));
        if (LocateTarget == 0)
            return;
    }
    // The unique number becomes the slot of the first airway carrying it. A number no airway carries names
    // no slot, so the search finds nothing instead of the airway that happens to sit in that slot.
    bool found = false;
    for (int a = 1; a <= AirwayCount && !found; ++a)
        if (AirwayNumber(a) == LocateTarget) {
            LocateTarget = a;
            found = true;
        }
    if (index == 3 && !found)
        LocateTarget = 0;
    LocateByName(index, LocateTarget);
}

void MainForm::mnucpAttrib_Click() {
    AirwayDialogs::ShowAttributeOptions();
}

void MainForm::mnuConfirm_Click() {
    ConfirmActions = !ConfirmActions;
    SetMenuChecked("mnuConfirm", ConfirmActions);
}

// ---- View ----

void MainForm::mnuRefresh_Click() {
    RedrawAll();
}

void MainForm::mnuZoom_Click() {
    SetMenuChecked("mnuZoom", true);
    Rotating = 0;
    PreviousToolCode = ToolCode;
    ToolCode = 0;
    ToolCommand();
}

void MainForm::mnuRedraw_Click() {
    Redraw();
}

void MainForm::mnuGridFlag_Click() {
    ToggleGridFlag();
}

void MainForm::mnuPlanS_Click() {
    PlanView();
    Redraw();
}

void MainForm::mnu3d_Click() {
    View3D();
    Redraw();
}

void MainForm::mnuLevels_Click(int index) {
    SetViewMode(index);
}

void MainForm::dataTypeChoice(int group, int item) {
    // The group's remembered item is set first: selecting the group then selects the item and redraws once.
    DataItemOfGroup[static_cast<size_t>(group)] = item;
    CmbDataType->SetListIndex(group - 1);
}

void MainForm::mnuAirflow_Click(int index) {
    dataTypeChoice(1, index + 1);
}
void MainForm::mnuPressure_Click(int index) {
    // Six items for the group's seven quantities: each takes the quantity its caption names ("Loss" the
    // total loss); the friction loss alone is chosen in the combo.
    static constexpr int items[] = {0, 2, 4, 5, 6, 7, 8};
    if (index >= 1 && index <= 6)
        dataTypeChoice(2, items[index]);
}
void MainForm::mnuBranch_Click(int index) {
    dataTypeChoice(3, index + 1);
}
void MainForm::mnuCost_Click(int index) {
    dataTypeChoice(4, index + 1);
}
void MainForm::mnuOther_Click(int index) {
    dataTypeChoice(5, index + 1);
}

void MainForm::mnuShowLayers_Click() {
    frmTagS layers(this);
    VB::ShowModal(layers);
    SetVisibleAirways();
    RotateView();
    Redraw();
}

void MainForm::mnuViewData_Click() {
    ShowViewOptions();
}

// ---- Run ----

void MainForm::mnuExecute_Click() {
    RunAnalysis(0);
}

void MainForm::mnuFire_Click() {
    if (SmokeMode == 1) {
        VB::MsgBox("Contaminant must be cleared before simulating", VB::vbExclamation);
        return;
    }
    // The dialog's "Simulate" starts the spread.
    VB::SetScreenPointer(VB::vbHourglass);
    smokeWindows_->ShowDialog();
    VB::SetScreenPointer(VB::vbDefault);
}

void MainForm::mnuTrace_Click() {
    SmokeMode = 2;
    SmokeTrace();
    PlaceTraceWindow();
}

void MainForm::mnuSummary_Click() {
    // An open summary comes to the front with the figures of its own load.
    if (!summary_ || !summary_->isVisible()) {
        summary_ = std::make_unique<frmSummary>(this);
        summary_->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    summary_->show();
    summary_->raise();
}

// ---- Tools ----

void MainForm::mnuFindResFans_Click() {
    RunAnalysis(3);
}
void MainForm::mnuDupAir_Click() {
    RunAnalysis(4);
}
void MainForm::mnuProblems_Click() {
    RunAnalysis(1);
}
void MainForm::mnuRemoveRedund_Click() {
    RunAnalysis(2);
}
void MainForm::mnnuNonConverge_Click() {
    RunAnalysis(-1);
}

void MainForm::mnuSimp_Click() {
    if (!simplify_)
        simplify_ = new frmSimplify(this);
    simplify_->show();
    simplify_->raise();
}

// ---- Tables ----

namespace {
// A name list is loaded, and so filled, once; showing it again keeps its entries.
template <typename List> void showNameList(QPointer<QWidget> &window, QWidget *owner) {
    if (!window) {
        auto *list = new List(owner);
        list->setAttribute(Qt::WA_DeleteOnClose);
        list->Form_Load();
        window = list;
    }
    PlaceLowerRight(*window);
}
} // namespace

void MainForm::mnuFBName_Click() {
    showNameList<frmListAirNames>(branchNames_, this);
}

void MainForm::mnuFNName_Click() {
    showNameList<frmListAirNodes>(nodeNames_, this);
}

void MainForm::mnuFanData_Click() {
    ShowFanDatabase(this);
    Redraw();
}

void MainForm::mnuRLBase_Click() {
    ShowLevelTable(this);
    Redraw();
}

void MainForm::mnuPower_Click() {
    ShowSpreadSheet(this);
}

// ---- Options ----

void MainForm::mnuOptionShow_Click() {
    ShowOptions(this);
}

// ---- Help ----

void MainForm::mnuHelp_Click() {
    activateWindow();
    ShowHelp();
}
