// Start-up and shutdown of the main window.
#include "graphics/drawing.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "model/file_dialogs.h"
#include "model/levels_views.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "model/recent_files.h"
#include "model/recovery_copy.h"
#include "model/settings_file.h"
#include "model/undo.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "shell/MainForm.h"
#include "shell/frmFileNote.h"
#include "shell/frmWindow.h"
#include "shell/shell_state.h"
#include "shell/tool_command.h"
#include "simulation/smoke_spread.h"
#include "tables/frmSpreadSheet.h"

#include <QMdiSubWindow>

namespace {

void fillDataTypeCaptions() {
    const std::vector<std::vector<const char *>> captions = {
        {"Airflow", "Quantity", "Velocity"},
        {"Pressure", "Total Loss", "Friction Loss", "Boost", "Regulator Load", "Relative", "Absolute",
         "Barometric"},
        {"Airway data", "Resistance", "Shock Length", "Friction Factor", "Dimensions", "Airway Length",
         "Coordinates"},
        {"Energy", "Friction Power", "Fan/Fix Power", "Friction Cost", "Fan/Fix Cost"},
        {"Other", "Airway Number", "Layer Number", "Layer Name", "Contaminant", "Spread Time"}};
    for (int g = 0; g <= 6; ++g)
        for (int i = 0; i <= 10; ++i)
            DataTypeCaption(g, i).clear();
    for (size_t g = 0; g < captions.size(); ++g)
        for (size_t i = 0; i < captions[g].size(); ++i)
            DataTypeCaption(static_cast<int>(g) + 1, static_cast<int>(i) + 1) = captions[g][i];
}

std::string recoveryQuestion(const LeftRecoveryCopy &left) {
    const auto said = [&left](const std::string &text, const char *none) {
        return !left.described ? std::string("not recorded") : text.empty() ? std::string(none) : text;
    };
    return "An autosaved recovery file exists - do you wish to load this file\r\n\r\nNetwork file: " +
           said(left.networkFile, "none (the network had not been saved)") +
           "\r\nNetwork title: " + said(left.title, "none") + "\r\nWritten: " + said(left.written, "") +
           "\r\n\r\nNo keeps the copy for the next start.";
}

// The caption's file title of a recovered network, which has no file name of its own.
std::string recoveredFrom(const LeftRecoveryCopy &left) {
    const std::string &file = left.networkFile;
    const std::string from = file.empty() ? "an unnamed network" : file.substr(file.find_last_of("/\\") + 1);
    return "Recovered copy of " + from + (left.written.empty() ? "" : ", autosaved " + left.written);
}

// Offers, one by one, the copies that programs left when they did not end in order, until one is loaded.
// A copy that is declined, or that cannot be read in whole, stays for the next start.
void offerRecoveryCopies() {
    std::vector<LeftRecoveryCopy> left = ClaimLeftRecoveryCopies();
    for (LeftRecoveryCopy &copy : left) {
        if (VB::MsgBox(recoveryQuestion(copy), VB::vbYesNo | VB::vbQuestion, "Auto save recovery") !=
            VB::vbYes)
            continue;
        NetworkFileName = copy.path;
        LoadMode = 1;
        const LoadOutcome outcome = LoadNetwork();
        NetworkFileName.clear();
        if (outcome == LoadOutcome::NotOpened)
            continue;
        NoteOpenNetworkFile("");
        // The copy becomes this program's own, so that a crash before the next autosave still leaves it.
        if (outcome == LoadOutcome::Loaded)
            AdoptRecoveryCopy(copy);
        // Whatever was recovered is saved nowhere yet: the next save asks for a name, exit asks to save.
        NetworkSaved = 0;
        MasterFile = false;
        NetworkFileTitle = recoveredFrom(copy);
        ShowWindowTitle();
        return;
    }
}

} // namespace

void MainForm::MDIForm_Load() {
    // 1. No drawing until the window is laid out.
    RedrawSuspended = true;
    Perspective = 0;
    // 2, 3. The symbol pictures and the tool cursor table.
    LoadSymbolPictures();
    BuildToolCursorTable();
    // 5, 6. Units: the built-in table, then the conversion file over it (the unit row of each displayed
    // data type is fixed: DataUnitRow).
    SetBuiltInUnits();
    LoadConversion();
    // 7. Button 0 shows the current tool.
    MarkToolButton(0);
    UndoSlot = 1;
    UndoStep = 1;
    WindowExtent = static_cast<float>(1.1 * Tools(0)->width());
    // 9.
    PrimaryLayerVisible(1) = true;
    SecondaryLayerVisible(1) = true;
    // 10.
    LoadRecentFiles();
    ShowRecentFiles();
    // 11. The first graphics window.
    if (ActiveWindow < 0)
        ActiveWindow = 0;
    SetViewCaption();
    VB::DoEvents();
    // 12.
    if (const PictureBox *pic = ActivePicture(); pic != nullptr && pic->PixelWidth() > 0)
        AspectRatio = static_cast<float>(pic->PixelHeight()) / static_cast<float>(pic->PixelWidth());
    // 13, 14.
    ToolMode = 0;
    Rotating = 0;
    PreviousToolCode = ToolCode;
    ToolCode = 0;
    DataGroup = 1;
    ViewMode = 1;
    DataDisplayMode = 3;
    // 15.
    DecimalSeparator = static_cast<unsigned char>(VB::LocaleDecimalSeparator());
    // 16, 17.
    GridOn = MenuItem("mnuGridFlag")->isChecked();
    NetworkSaved = 255;
    // 18.
    fillDataTypeCaptions();
    CmbDataType->clear();
    for (int g = 1; g <= 5; ++g)
        CmbDataType->addItem(QString::fromStdString(DataTypeCaption(g, 1)));
    // 19.
    if (GraphicsDetail == 0)
        GraphicsDetail = 511;
    // 20.
    SetDefaults();
    LoadFanData();
    // 21.
    CmbDataType->SetListIndex(DataGroup - 1);
    // 22. The surface level and one underground level; the view starts on the second.
    SetDefaultLevels();
    VsbRL->setRange(1, 2);
    VsbRL->setSingleStep(1);
    VsbRL->setPageStep(1);
    VsbRL->setValue(2);
    // 23. The grid starts on.
    QAction *grid = MenuItem("mnuGridFlag");
    grid->setChecked(!grid->isChecked());
    GridOn = grid->isChecked();
    // 24.
    AirwayCount = 0;
    showMaximized();
    RedrawSuspended = false;
    VB::DoEvents();
    // 25.
    FitNetwork();
    Redraw();
    ResetUndoFile();
    // 26. A network named on the command line. A file refused or abandoned leaves the program unnamed, as
    // File > Open does, so that no save can write over it.
    if (OpenAtStart) {
        NetworkFileName.clear();
        LoadNetworkFile(CommandLineFile);
        OpenAtStart = false;
    }
    // 27. Recovery copies left by runs that did not end in order.
    offerRecoveryCopies();
}

void MainForm::MDIForm_QueryUnload(bool &cancel) {
    Rotating = 0;
    CloseSmokeLegend();
    // The spreadsheet's own save question comes first.
    UnloadSpreadSheet();
    // Text typed into the open memo is part of the network: the save question must cover it.
    if (fileNote_ && fileNote_->isVisible() && fileNote_->Changed())
        NetworkSaved = 0;
    // A "Yes" whose save does not happen (failed or cancelled) keeps the program running with its data.
    if (NetworkSaved == 0) {
        const int answer =
            VB::MsgBox("Gustrom data is not saved - Save it?", VB::vbYesNoCancel | VB::vbQuestion);
        if (answer == VB::vbCancel) {
            cancel = true;
            return;
        }
        if (answer == VB::vbYes) {
            SaveNetwork(0);
            if (NetworkSaved == 0) {
                cancel = true;
                return;
            }
        }
    }
    if (DefaultsSaved == 0) {
        const int answer =
            VB::MsgBox("Gustrom defaults are not saved - Save them?", VB::vbYesNoCancel | VB::vbQuestion);
        if (answer == VB::vbCancel) {
            cancel = true;
            return;
        }
        if (answer == VB::vbYes)
            SaveDefaults();
    }
    AddRecentFile();
    RemoveRecoveryCopy();
    UnhookWheel();
}
