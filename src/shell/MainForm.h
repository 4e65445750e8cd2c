#pragma once
// The main window: menus, toolbar, display strip, level scroll bar and the area of the graphics windows.
// It is the program's ShellHooks: the model and graphics code write its controls through them.
#include "platform/ShellHooks.h"
#include "platform/VBControls.h"
#include "shell/level_windows.h"

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <map>
#include <memory>
#include <string>

class frmFileNote;
class MainWindowKeys;
class frmSummary;
class frmWindow;
class RotatorPad;
class EditorWindows;
class MainEditorWindows;
class SimulationUi;
class SimulationWindows;
class SmokeWindows;
class SmokeUi;

class MainForm : public QMainWindow, public ShellHooks {
    Q_OBJECT
public:
    MainForm();
    ~MainForm() override;
    // The running main window, or null.
    static MainForm *Instance();
    QMdiArea *Mdi() { return mdi_; }

    // ---- Start-up and shutdown ----
    void MDIForm_Load();
    // Sets cancel to keep the program running.
    void MDIForm_QueryUnload(bool &cancel);

    // ---- Toolbar and command dispatch ----
    QToolButton *Tools(int index) { return tools_[static_cast<size_t>(index)]; }
    void Tools_Click(int index);
    void Tools_KeyDown(int keyCode);
    // Whether a command's work is present in this build (its button and menu items are usable).
    static bool CommandAvailable(int code);

    // ---- Display choice and level scroll bar ----
    VBComboBox *CmbDataType = nullptr, *CmbDataVal = nullptr, *CmbRL = nullptr, *CmbView = nullptr;
    QLabel *LblUnit = nullptr, *LblSim = nullptr;
    QLabel *TxtX = nullptr, *TxtY = nullptr, *TxtZ = nullptr, *LblWin1 = nullptr, *LblWin2 = nullptr;
    QScrollBar *VsbRL = nullptr;
    void CmbDataType_Click();
    void CmbDataVal_Click();
    void CmbRL_Click();
    void VsbRL_Change();
    void VsbRL_Scroll();
    void VsbRL_KeyDown(int keyCode);

    // ---- Window management and saved views ----
    void CmbView_Click();
    // Caption and visibility of the Window menu's entry of window w.
    void SetWindowListItem(int w, const std::string &caption, bool visible);

    // ---- Runs ----
    // The simulation and troubleshooting commands: AnalysisMode 0, 1, 2, 3, 4 or -1.
    void RunAnalysis(int analysisMode);

    // ---- Autosave timer and rotation pad ----
    // Writes the recovery copy on every eleventh tick; the settings switch it off or set its interval.
    QTimer Autosave;
    void Autosave_Timer();
    RotatorPad *Rotator = nullptr;
    QTimer TimerRotate;
    void TimerRotate_Timer();
    // button: 1 left, 2 right, 4 middle; x, y in pad units.
    void Rotator_MouseDown(int button, int shift, float x, float y);
    void Rotator_MouseMove(int button, int shift, float x, float y);
    void Rotator_MouseUp(int button, int shift, float x, float y);
    void Rotator_LostFocus();
    void Rotator_KeyDown(int keyCode);

    // ---- Memo, About box, web page ----
    // The memo window (created on first use; lives with the main window).
    frmFileNote &FileNoteWindow();
    // Whether the build names a web page for Help > Gustrom Web Page.
    static bool WebPageConfigured();

    // ---- Realtime input and output (their menu commands are with the Run and Tools menus) ----
    void Timer1_Timer();
    void Timer2_Timer();
    // One poll of the station readings file; one write of the results file.
    void RemoteRoutine();
    void RealOutRoutine();
    // Timer1 polls the readings file, Timer2 writes the results file; each ticks only while enabled with
    // an interval above 0.
    QTimer Timer1, Timer2;

    // ---- Menu commands (indexed items take their index) ----
    // A menu item or submenu by its control name ("mnuGridFlag", "mnuLevels(0)", ...); null if absent.
    QAction *MenuItem(const std::string &name) const;
    // File
    void mnuNewFile_Click();
    void mnuOpenFile_Click();
    void mnuMergeFile_Click();
    void ReloadDef_Click();
    void mnuReLoadFan_Click();
    void mnuSaveFile_Click();
    void mnuSaveAs_Click();
    void mnuSaveFan_Click();
    void mnuSaveDef_Click();
    void mnuSvScreen_Click();
    void MnuDXF_Click();
    void mnuImportData_Click();
    void MnuDXFScreen_Click();
    void mnuDXFTrue_Click();
    void mnuExportData_Click();
    void mnuComment_Click();
    void mnuMessage_Click();
    void mnuPsetup_Click();
    void mnuPrint_Click();
    void mnuOld_Click(int index);
    void mnuExit_Click();
    // Edit
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuCopy2_Click();
    void mnuCpyPst_Click();
    void mnuDeselect_Click();
    void mnucpAttrib_Click();
    void mnuBar_Click(int index);
    void mnuFinder_Click(int index);
    void mnuFBName_Click();
    void mnuFNName_Click();
    void mnuConfirm_Click();
    // View
    void mnuRefresh_Click();
    void mnuFitAll_Click();
    void mnuSaveView_Click();
    void mnuDelView_Click();
    void mnuZoom_Click();
    void mnuFit_Click();
    void mnuRedraw_Click();
    void mnuGridFlag_Click();
    void mnuPlanS_Click();
    void mnu3d_Click();
    void mnuShowLayers_Click();
    void mnuLevels_Click(int index);
    void mnuAirflow_Click(int index);
    void mnuPressure_Click(int index);
    void mnuBranch_Click(int index);
    void mnuCost_Click(int index);
    void mnuOther_Click(int index);
    void mnuViewData_Click();
    // Run
    void mnuExecute_Click();
    void mnuFire_Click();
    void mnuTrace_Click();
    void mnuRemote_Click();
    void mnuRealOutStart_Click();
    void mnuSummary_Click();
    // Tools
    void mnuFanData_Click();
    void mnuRLBase_Click();
    void mnuPower_Click();
    void mnuSimp_Click();
    void mnuremdup_Click();
    void mnuPres_Click();
    void mnuRmvFlow_Click();
    void mnuFixL_Click();
    void mnuUnFixL_Click();
    void mnuAutoName_Click();
    void mnuAutoNodes_Click();
    void mnuResetAir_Click();
    void mnuchecknumbers_Click();
    void mnuRevCoord_Click();
    void mnuClrSmoke_Click();
    void mnuClrSources_Click();
    void mnuRemoteStation_Click();
    void mnuRealOut_Click();
    void mnuFindResFans_Click();
    void mnuDupAir_Click();
    void mnuProblems_Click();
    void mnuRemoveRedund_Click();
    void mnnuNonConverge_Click();
    void mnuResetAirflows_Click();
    void mnuOptionShow_Click();
    void mnuReverse_Click();
    // Window
    void mnuNewWindow_Click();
    void mnuTileH_Click();
    void mnuTileV_Click();
    void MnuTileC_Click();
    void mnuFreeze_Click();
    void mnuWindowView_Click(int index);
    // Help
    void mnuHelp_Click();
    void mnuAbout_Click();
    void mnuWebPage_Click();

    // ---- ShellHooks ----
    void SetCaption(const std::string &caption) override;
    bool IsMinimized() const override;
    void SetSimLabel(const std::string &caption, int32_t backColour) override;
    void SetDataCombosBackColour(int32_t colour) override;
    void SetupGraphicsWindow(int w, const std::string &caption, int32_t backColour, bool autoRedraw) override;
    void ViewListClear() override;
    void ViewListAdd(const std::string &name) override;
    void ViewListSetIndex(int index) override;
    void LevelListClear() override;
    void LevelListAdd(const std::string &name) override;
    void LevelListSetIndex(int index) override;
    void LevelScrollSetRange(int min, int max) override;
    void LevelScrollSetValue(int value) override;
    int LevelScrollGetValue() const override;
    int LevelScrollGetMin() const override;
    int LevelScrollGetMax() const override;
    int LevelListGetIndex() const override;
    void ShowLevelChoice(int level) override;
    std::string LevelListText() const override;
    int ViewListCount() const override;
    std::string ViewListText(int index) const override;
    void RunCommand(int code) override;
    void RecentMenuSet(int index, const std::string &caption, bool visible) override;
    void SetMenuChecked(const std::string &item, bool checked) override;
    void SetLabelText(const std::string &control, const std::string &text) override;
    void SetDataComboIndexes(int groupIndex, int itemIndex) override;
    void SetAutosaveTimer(bool enabled, int intervalMs) override;
    void ShowRemoteMenus(bool show) override;
    void MarkToolButton(int toolCode) override;
    void FocusActiveWindow() override;
    void FocusGraphicsWindow(int w) override;
    // The print settings dialog, modal.
    void ShowPrintWindow() override;
    void RunToolCommand() override;
    bool OpenHelpFile(const std::string &path, int context) override;
    void ShowMessageWindow(const std::string &text, int milliseconds) override;
    void RefreshDataList() override;
    void ShowDisplayChoice() override;
    void SettingsReplaced() override;
    void SetRealtimeTimerEnabled(int timer, bool enabled) override;
    void SetRealtimeTimerInterval(int timer, int intervalMs) override;
    void StopRotationTimer() override;
    bool FileNoteShown() const override;
    std::string FileNoteText() const override;
    void SetFileNoteText(const std::string &text) override;
    void SetFileNoteSelStart(int start) override;
    void SetGraphicsWindowLook(int w, int32_t backColour, bool autoRedraw) override;

    // The solver's progress and error windows as this window installed them.
    SimulationWindows &Simulation() { return *simulationWindows_; }
    // The smoke dialog, legend and trace windows as this window installed them.
    SmokeWindows &Smoke() { return *smokeWindows_; }
    // The graphic editor's windows as this window installed them.
    MainEditorWindows &EditorWindowsOfProgram() { return *editorWindows_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStrip();
    // Data Type menus: item 2..8 of group 1..5.
    void dataTypeChoice(int group, int item);
    // "View n : level item" on the active window and its Window menu entry.
    void showWindowCaption();
    // Lays the graphics windows out: 0 cascade, 1 one above the other, 2 side by side.
    void arrange(int code);
    void setWindowCaption(int w, const std::string &caption);
    // The windows and the printer page that the lower layers reach through their seams; installed before
    // the first network is loaded, taken back when the window goes.
    void installSeams();
    void removeSeams();

    QMdiArea *mdi_ = nullptr;
    std::array<QToolButton *, 32> tools_{};
    std::map<std::string, QAction *> items_;
    ShellHooks *previousHooks_ = nullptr;
    std::unique_ptr<MainWindowKeys> keys_;
    ShellLevelDialogs levelDialogs_;
    std::unique_ptr<frmFileNote> fileNote_;
    std::unique_ptr<frmSummary> summary_;
    LevelDialogs *previousLevelDialogs_ = nullptr;
    std::unique_ptr<SimulationWindows> simulationWindows_;
    SimulationUi *previousSimulationUi_ = nullptr;
    std::unique_ptr<MainEditorWindows> editorWindows_;
    EditorWindows *previousEditorWindows_ = nullptr;
    std::unique_ptr<SmokeWindows> smokeWindows_;
    SmokeUi *previousSmokeUi_ = nullptr;
    // The name lists while they are open.
    QPointer<QWidget> branchNames_, nodeNames_;
    QPointer<QWidget> simplify_;
    bool levelScrollFromCode_ = false;
    struct RealtimeTimer {
        bool enabled = false;
        int interval = 0; // ms
    };
    std::array<RealtimeTimer, 3> realtimeTimers_{}; // Timer1, Timer2 at 1, 2
    void applyRealtimeTimer(int timer);
};
