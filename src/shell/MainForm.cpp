#include "shell/MainForm.h"

#include "exchange/frmPrinter.h"
#include "exchange/frmSummary.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/file_dialogs.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "platform/Busy.h"
#include "platform/Printer.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"
#include "platform/WindowPlacement.h"
#include "shell/Rotator.h"
#include "shell/file_commands.h"
#include "shell/frmFileNote.h"
#include "shell/frmWindow.h"
#include "shell/main_editor_windows.h"
#include "shell/main_window_keys.h"
#include "shell/program_layers.h"
#include "shell/shell_state.h"
#include "shell/small_windows.h"
#include "shell/tool_command.h"
#include "shell/tool_icons.h"
#include "simulation/simulation_windows.h"
#include "simulation/smoke_windows.h"
#include "solver/driver.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace {

MainForm *instance = nullptr;

const char *const ToolTips[32] = {"Zoom / Pan  [F2]",
                                  "Fit all data on screen [Home]",
                                  "Copy (right)  Paste (left) Layers",
                                  "Find airway/error",
                                  "Draw new airway [F3]",
                                  "Redo [TAB]",
                                  "Move airway end [F5]",
                                  "Reverse airway direction [F6]",
                                  "Delete airway [F4]",
                                  "Place / remove fan [F8]",
                                  "Place/Remove Text [F7]",
                                  "Place / Remove contaminant",
                                  "Edit airway [F10]",
                                  "Airway information [F9]",
                                  "Air simulation [F12]",
                                  "Insert node along airway",
                                  "Follow airway",
                                  "Place/remove smoke report - left (smoke) or right (clear)",
                                  "Centre Model (left) or Rotate (right)",
                                  "Open file",
                                  "Save file to disk",
                                  "Copy (right) or Paste (left) airway attributes",
                                  "Print screen",
                                  "Undo [B/SPACE]",
                                  "Toggle 2D-3D Display",
                                  "Grid on/off",
                                  "Display options",
                                  "Single / Multi level display",
                                  "Update Screen",
                                  "Contaminant simulation",
                                  "Smoke sourcing simulation",
                                  "Select airway tool (ESC to deselect)"};

QString vbColourStyle(int32_t colour) {
    return QString("background-color: rgb(%1, %2, %3);")
        .arg(colour & 0xFF)
        .arg((colour >> 8) & 0xFF)
        .arg((colour >> 16) & 0xFF);
}

// Setting a style sheet restyles the widget even when it is the one it has, which costs far more than the
// comparison.
void setChangedStyleSheet(QWidget *widget, const QString &style) {
    if (widget->styleSheet() != style)
        widget->setStyleSheet(style);
}

// A toolbar button that hands its keys to the graphic editor, so function keys work while it has focus.
class ToolButton : public QToolButton {
public:
    ToolButton(MainForm *form, QWidget *parent) : QToolButton(parent), form_(form) {}

protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (const int code = VBKeyCode(event->key()); code != 0)
            form_->Tools_KeyDown(code);
        else
            QToolButton::keyPressEvent(event);
    }

private:
    MainForm *form_;
};

// The level scroll bar passes its keys to the graphic editor.
class LevelScrollBar : public QScrollBar {
public:
    LevelScrollBar(MainForm *form, QWidget *parent) : QScrollBar(Qt::Vertical, parent), form_(form) {}

protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (const int code = VBKeyCode(event->key()); code != 0)
            form_->VsbRL_KeyDown(code);
    }

private:
    MainForm *form_;
};

} // namespace

bool MainForm::CommandAvailable(int code) {
    // Every toolbar button has its work; a code beyond the toolbar is no command.
    return code >= 0 && code <= 31;
}

MainForm::MainForm() {
    instance = this;
    previousHooks_ = SetShellHooks(this);
    InstallProgramLayers();
    previousLevelDialogs_ = SetLevelDialogs(&levelDialogs_);
    setWindowTitle("Gustrom");
    setWindowIcon(QIcon(QPixmap::fromImage(ToolIcon(4))));
    mdi_ = new QMdiArea(this);
    mdi_->setBackground(QBrush(QColor(96, 104, 112)));
    setCentralWidget(mdi_);
    buildMenus();
    buildToolbar();
    buildStrip();
    connect(mdi_, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow *sub) {
        // The window losing the focus keeps the active view; the one gaining it loads its own.
        for (frmWindow *w : Windows)
            if (w != nullptr && w != sub)
                w->UnLoadscreen();
        if (auto *w = qobject_cast<frmWindow *>(sub))
            w->loadscreen();
    });
    SetWheelHandler(&frmWindow::MouseWheel);
    TimerRotate.setInterval(10);
    connect(&TimerRotate, &QTimer::timeout, this, &MainForm::TimerRotate_Timer);
    installSeams();
    Autosave.setInterval(60000);
    connect(&Autosave, &QTimer::timeout, this, &MainForm::Autosave_Timer);
    Autosave.start();
    connect(&Timer1, &QTimer::timeout, this, &MainForm::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &MainForm::Timer2_Timer);
    keys_ = std::make_unique<MainWindowKeys>(this);
    resize(1100, 780);
}

MainForm::~MainForm() {
    // The children go after this body; their activation signals must find no handler any more.
    disconnect(mdi_, nullptr, this, nullptr);
    // The pad loses the focus as the children close.
    Rotator->Detach();
    SetWheelHandler(nullptr);
    removeSeams();
    // The graphics windows go with the main window; their pictures must not outlive them.
    for (auto &w : Windows)
        if (w != nullptr) {
            SetWindowPicture(w->Number(), nullptr);
            w = nullptr;
        }
    ActiveWindow = -1;
    SetLevelDialogs(previousLevelDialogs_);
    SetShellHooks(previousHooks_);
    if (instance == this)
        instance = nullptr;
}

MainForm *MainForm::Instance() {
    return instance;
}

namespace {

// Printable page size of the current printer (mm) in the print orientation.
std::optional<QSizeF> printerPageSize() {
    // With no printer installed the current printer is "PDF File", so the caption always has a scale.
    try {
        VB::PrinterPage &printer = VB::Printer();
        if (printer.Orientation() != PrintOrientation + 1)
            printer.SetOrientation(PrintOrientation + 1);
        return QSizeF(printer.PrintableWidthMm(), printer.PrintableHeightMm());
    } catch (const VBError &) {
        return std::nullopt;
    }
}

} // namespace

void MainForm::installSeams() {
    simulationWindows_ = std::make_unique<SimulationWindows>(this);
    previousSimulationUi_ = SetSimulationUi(simulationWindows_.get());
    editorWindows_ = std::make_unique<MainEditorWindows>();
    previousEditorWindows_ = SetEditorWindows(editorWindows_.get());
    smokeWindows_ = std::make_unique<SmokeWindows>(this);
    previousSmokeUi_ = SetSmokeUi(smokeWindows_.get());
    // The editor places the smoke windows that exist.
    smokeWindows_->WindowsChanged = [this] {
        editorWindows_->SmokeTrace = smokeWindows_->TraceWindow();
        editorWindows_->SmokeLegend = smokeWindows_->LegendWindow();
    };
    VB::SetPrinterPageSizeProvider(printerPageSize);
    // Every window opens on this window's screen.
    VB::SetMainWindow(this);
}

void MainForm::removeSeams() {
    VB::SetMainWindow(nullptr);
    VB::SetPrinterPageSizeProvider({});
    SetSmokeUi(previousSmokeUi_);
    smokeWindows_.reset();
    SetEditorWindows(previousEditorWindows_);
    SetSimulationUi(previousSimulationUi_);
    simulationWindows_.reset();
    editorWindows_.reset();
}

void MainForm::buildToolbar() {
    QToolBar *bar = addToolBar("Tools");
    bar->setObjectName("Tools");
    bar->setIconSize(QSize(24, 24));
    for (int i = 0; i <= 31; ++i) {
        auto *button = new ToolButton(this, bar);
        button->setIcon(QIcon(QPixmap::fromImage(ToolIcon(i))));
        button->setToolTip(ToolTips[i]);
        button->setCheckable(true);
        button->setEnabled(CommandAvailable(i));
        button->setAutoRaise(true);
        // A click runs the command; the pressed look is set by the dispatcher, not by the click.
        connect(button, &QToolButton::clicked, this, [this, i, button] {
            button->setChecked(ToolCode == i);
            Tools_Click(i);
        });
        bar->addWidget(button);
        tools_[static_cast<size_t>(i)] = button;
    }
    VB::NameControlArray(tools_, "Tools");
}

void MainForm::buildStrip() {
    addToolBarBreak();
    QToolBar *strip = addToolBar("Display");
    strip->setObjectName("Display");
    CmbDataType = new VBComboBox(strip);
    CmbDataVal = new VBComboBox(strip);
    CmbDataVal->setMinimumContentsLength(14);
    LblUnit = new QLabel(strip);
    LblUnit->setMinimumWidth(60);
    CmbRL = new VBComboBox(strip);
    CmbRL->setMinimumContentsLength(14);
    CmbView = new VBComboBox(strip);
    CmbView->setMinimumContentsLength(16);
    LblSim = new QLabel("SIM", strip);
    LblSim->setAlignment(Qt::AlignCenter);
    LblSim->setMinimumWidth(40);
    LblSim->setStyleSheet(vbColourStyle(0x80C0FF));
    strip->addWidget(CmbDataType);
    strip->addWidget(CmbDataVal);
    strip->addWidget(LblUnit);
    strip->addSeparator();
    strip->addWidget(new QLabel("Level ", strip));
    strip->addWidget(CmbRL);
    strip->addSeparator();
    strip->addWidget(new QLabel("View ", strip));
    strip->addWidget(CmbView);
    strip->addSeparator();
    strip->addWidget(LblSim);
    connect(CmbDataType, &VBComboBox::Click, this, &MainForm::CmbDataType_Click);
    connect(CmbDataVal, &VBComboBox::Click, this, &MainForm::CmbDataVal_Click);
    connect(CmbRL, &VBComboBox::Click, this, &MainForm::CmbRL_Click);
    connect(CmbView, &VBComboBox::Click, this, &MainForm::CmbView_Click);

    QToolBar *levelBar = new QToolBar("Level", this);
    levelBar->setObjectName("Level");
    Rotator = new RotatorPad(levelBar);
    Rotator->MouseDown = [this](int b, int s, float x, float y) { Rotator_MouseDown(b, s, x, y); };
    Rotator->MouseMove = [this](int b, int s, float x, float y) { Rotator_MouseMove(b, s, x, y); };
    Rotator->MouseUp = [this](int b, int s, float x, float y) { Rotator_MouseUp(b, s, x, y); };
    Rotator->LostFocus = [this] { Rotator_LostFocus(); };
    Rotator->KeyDown = [this](int code) { Rotator_KeyDown(code); };
    levelBar->addWidget(Rotator);
    VsbRL = new LevelScrollBar(this, levelBar);
    VsbRL->setRange(1, 2);
    VsbRL->setSingleStep(1);
    VsbRL->setPageStep(1);
    VsbRL->setMinimumHeight(200);
    levelBar->addWidget(VsbRL);
    addToolBar(Qt::LeftToolBarArea, levelBar);
    // A thumb drag follows with the level combo only; the level changes when the drag ends.
    connect(VsbRL, &QScrollBar::valueChanged, this, [this] {
        if (VsbRL->isSliderDown() && !levelScrollFromCode_)
            VsbRL_Scroll();
        else
            VsbRL_Change();
    });
    connect(VsbRL, &QScrollBar::sliderReleased, this, [this] { VsbRL_Change(); });

    TxtX = new QLabel(this);
    TxtY = new QLabel(this);
    TxtZ = new QLabel(this);
    LblWin1 = new QLabel(this);
    LblWin2 = new QLabel(this);
    for (QLabel *l : {TxtX, TxtY, TxtZ})
        l->setMinimumWidth(110);
    for (QLabel *l : {LblWin1, LblWin2, TxtX, TxtY, TxtZ})
        statusBar()->addPermanentWidget(l);
    VB_NAME_CONTROLS(CmbDataType, CmbDataVal, LblUnit, CmbRL, CmbView, LblSim, Rotator, VsbRL, TxtX, TxtY,
                     TxtZ, LblWin1, LblWin2);
}

// ---- ShellHooks ----

void MainForm::SetCaption(const std::string &caption) {
    setWindowTitle(ToQt(caption));
}

bool MainForm::IsMinimized() const {
    return isMinimized();
}

void MainForm::SetSimLabel(const std::string &caption, int32_t backColour) {
    const QString text = ToQt(caption);
    if (LblSim->text() != text)
        LblSim->setText(text);
    setChangedStyleSheet(LblSim, vbColourStyle(backColour));
}

void MainForm::SetDataCombosBackColour(int32_t colour) {
    const QString style = vbColourStyle(colour);
    setChangedStyleSheet(CmbDataType, style);
    setChangedStyleSheet(CmbDataVal, style);
}

void MainForm::SetupGraphicsWindow(int w, const std::string &caption, int32_t backColour, bool autoRedraw) {
    if (w < 0 || w > 4)
        return;
    (void)autoRedraw; // the picture always keeps its image
    // Creating and showing a window activates it; the view swap must wait for its caller.
    const bool switching = WindowSwitching;
    WindowSwitching = true;
    frmWindow *window = Windows[static_cast<size_t>(w)];
    if (window == nullptr) {
        window = new frmWindow(w);
        window->setWindowIcon(windowIcon());
        mdi_->addSubWindow(window);
    }
    window->Picture().Tag = std::to_string(w);
    window->Picture().BackColor = backColour;
    window->Picture().Cls();
    setWindowCaption(w, caption);
    window->show();
    mdi_->setActiveSubWindow(window);
    WindowSwitching = switching;
}

void MainForm::SetGraphicsWindowLook(int w, int32_t backColour, bool /*autoRedraw*/) {
    // The picture always keeps its image, so only the background changes; a new background clears it.
    if (w < 0 || w > 4)
        return;
    if (frmWindow *window = Windows[static_cast<size_t>(w)]) {
        window->Picture().BackColor = backColour;
        window->Picture().Cls();
    }
}

void MainForm::ViewListClear() {
    CmbView->clear();
}
void MainForm::ViewListAdd(const std::string &name) {
    CmbView->addItem(ToQt(name));
}
void MainForm::ViewListSetIndex(int index) {
    CmbView->SetListIndex(index);
}
void MainForm::LevelListClear() {
    CmbRL->clear();
}
void MainForm::LevelListAdd(const std::string &name) {
    CmbRL->addItem(ToQt(name));
}
void MainForm::LevelListSetIndex(int index) {
    CmbRL->SetListIndex(index);
}

void MainForm::LevelScrollSetRange(int min, int max) {
    levelScrollFromCode_ = true;
    VsbRL->setRange(min, max);
    levelScrollFromCode_ = false;
}

void MainForm::LevelScrollSetValue(int value) {
    levelScrollFromCode_ = true;
    VsbRL->setValue(value);
    levelScrollFromCode_ = false;
}

int MainForm::LevelScrollGetValue() const {
    return VsbRL->value();
}
int MainForm::LevelScrollGetMin() const {
    return VsbRL->minimum();
}
int MainForm::LevelScrollGetMax() const {
    return VsbRL->maximum();
}
int MainForm::LevelListGetIndex() const {
    return CmbRL->ListIndex();
}
std::string MainForm::LevelListText() const {
    return FromQt(CmbRL->currentText());
}
int MainForm::ViewListCount() const {
    return CmbView->count();
}
std::string MainForm::ViewListText(int index) const {
    return FromQt(CmbView->itemText(index));
}
void MainForm::RunCommand(int code) {
    // A key for a command whose button is disabled keeps the current tool, as the button would.
    if (!CommandAvailable(code)) {
        ToolCode = PreviousToolCode;
        return;
    }
    ToolCode = code;
    RunToolCommand();
}

void MainForm::RecentMenuSet(int index, const std::string &caption, bool visible) {
    if (QAction *a = MenuItem("mnuOld(" + std::to_string(index) + ")")) {
        a->setText(ToQt(caption));
        a->setVisible(visible);
    }
}

void MainForm::SetMenuChecked(const std::string &item, bool checked) {
    if (QAction *a = MenuItem(item)) {
        a->setCheckable(true);
        a->setChecked(checked);
    }
}

void MainForm::SetLabelText(const std::string &control, const std::string &text) {
    const std::map<std::string, QLabel *> labels{
        {"TxtX", TxtX},       {"TxtY", TxtY},       {"TxtZ", TxtZ},    {"LblWin1", LblWin1},
        {"LblWin2", LblWin2}, {"LblUnit", LblUnit}, {"LblSim", LblSim}};
    if (const auto it = labels.find(control); it != labels.end())
        it->second->setText(ToQt(text));
}

void MainForm::SetDataComboIndexes(int groupIndex, int itemIndex) {
    CmbDataType->SetListIndex(groupIndex);
    CmbDataVal->SetListIndex(itemIndex);
}

void MainForm::SetAutosaveTimer(bool enabled, int intervalMs) {
    if (intervalMs > 0)
        Autosave.setInterval(intervalMs);
    if (enabled)
        Autosave.start();
    else
        Autosave.stop();
}

void MainForm::ShowRemoteMenus(bool show) {
    for (const char *name : {"mnuRemote", "mnuRemote2", "mnuRemoteStation", "mnuRD", "mnuRT2"})
        if (QAction *a = MenuItem(name))
            a->setVisible(show);
    // Realtime work whose menus are gone could not be turned off again: it stops with them.
    if (!show) {
        RealtimeInputOn = RealtimeOutputOn = 0;
        for (const char *item : {"mnuRemote", "mnuRealOutStart"})
            SetMenuChecked(item, false);
        SetRealtimeTimerEnabled(1, false);
        SetRealtimeTimerEnabled(2, false);
    }
}

void MainForm::MarkToolButton(int toolCode) {
    for (int i = 0; i <= 31; ++i) {
        QToolButton *b = tools_[static_cast<size_t>(i)];
        b->setChecked(i == toolCode);
        b->setEnabled(i != toolCode && CommandAvailable(i));
    }
}

void MainForm::FocusActiveWindow() {
    if (ActiveWindow >= 0 && ActiveWindow <= 4)
        if (frmWindow *w = Windows[static_cast<size_t>(ActiveWindow)])
            w->View()->setFocus();
}

void MainForm::ShowPrintWindow() {
    frmPrinter dialog(this);
    VB::ShowModal(dialog);
}

void MainForm::ShowMessageWindow(const std::string &text, int milliseconds) {
    CurrentLine = text;
    MessageTime = milliseconds;
    MessageWindow().ShowMessage();
}

void MainForm::FocusGraphicsWindow(int w) {
    if (w < 0 || w > 4)
        return;
    if (frmWindow *window = Windows[static_cast<size_t>(w)]) {
        mdi_->setActiveSubWindow(window);
        window->View()->setFocus();
    }
}

void MainForm::RunToolCommand() {
    ::ToolCommand();
}

bool MainForm::OpenHelpFile(const std::string &path, int /*context*/) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ToQt(path)));
}

// ---- Toolbar ----

void MainForm::Tools_Click(int index) {
    Rotating = 0;
    PreviousToolCode = ToolCode;
    ToolCode = index;
    ToolCommand();
    EditSubMode = 0;
}

void MainForm::mnuBar_Click(int index) {
    index += 3;
    Tools_Click(index);
    SetMenuChecked("mnuCpyPst", false);
}

void MainForm::Tools_KeyDown(int keyCode) {
    KeyCommand(keyCode);
}

void MainForm::RunAnalysis(int analysisMode) {
    ShowProgress = 1;
    AnalysisMode = analysisMode;
    Simulate();
    SetVisibleAirways();
    RotateView();
}

void MainForm::closeEvent(QCloseEvent *event) {
    // Closing frees the arrays a running long operation works on: the close box waits for its end.
    if (VB::IsBusy()) {
        event->ignore();
        return;
    }
    bool cancel = false;
    MDIForm_QueryUnload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
