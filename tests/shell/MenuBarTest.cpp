#include "ShellFixture.h"

#include "common/NetworkGenerator.h"
#include "exchange/export.h"
#include "graphics/drawing.h"
#include "graphics/view_state.h"
#include "model/file_dialogs.h"
#include "model/geometry.h"
#include "model/network_save.h"
#include "model/recovery_copy.h"
#include "platform/Busy.h"
#include "platform/FileLock.h"
#include "platform/System.h"
#include "platform/VBControls.h"

#include <QMenuBar>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The menu tree: depth, control name ("-" for a separator, a name after it when it has one), caption,
// then H hidden, C checked, D disabled by design (the web page: by a build without its address), L disabled
// until its work is built.
const char *const ExpectedTree = R"(0 mnuFile &File
1 mnuNewFile &New File
1 mnuOpenFile &Open File
1 mnuMergeFile &Merge File
1 mnuRld Reload
2 ReloadDef Defaults
2 mnuReLoadFan Fan Database
1 -
1 mnuSaveFile &Save
1 mnuSaveAs Sav&e As
1 mnuSSp Save Special
2 mnuSaveFan Fans
2 mnuSaveDef Defaults
2 mnuSvScreen Screen Bitmap
1 -
1 mnuImport Import Data
2 MnuDXF DXF file
2 mnuImportData TXT file
1 mnuExport Export Data
2 mnuDXFexp DXF file
3 MnuDXFScreen DXF Screen Coords
3 mnuDXFTrue DXF True Coords
2 mnuExportData TXT file
1 -
1 mnuComment Title Note
1 mnuMessage File Memo
1 -
1 mnuPsetup Print Setup
1 mnuPrint &Print
1 -
1 mnuOld(1) &1 |H
1 mnuOld(2) &2 |H
1 mnuOld(3) &3 |H
1 mnuOld(4) &4 |H
1 mnuOld(5) &5 |H
1 mnuOld(6) &6 |H
1 mnuOld(7) &7 |H
1 mnuOld(8) &8 |H
1 mnuOld(9) &9 |H
1 -
1 mnuExit &Exit
0 mnuEdit Edit
1 mnuUndo Undo
1 mnuRedo Redo
1 -
1 mnuCP Copy-Paste
2 mnuCopy2 to defaults
2 mnuCpyPst to airway
1 mnuDeselect Deselect
1 mnucpAttrib Options
1 mnuMods Tools |H
2 mnuBar(1) Add Airway
2 mnuBar(3) Move |HD
2 mnuBar(4) Reverse |HD
2 mnuBar(5) Delete |HD
2 mnuBar(6) Add Fan |HD
2 mnuBar(7) Name |HD
2 mnuBar(8) Contaminate |HD
2 mnuBar(9) Edit |HD
2 mnuBar(10) Info |HD
2 mnuBar(12) Insert Node |HD
1 -
1 mnufind Find
2 mnuFinder(0) Follow Airway |H
2 mnuFinder(1) Errors |C
2 mnuFinder(2) Bad Fans
2 mnuFinder(3) Branch Number
2 mnuFinder(4) Branch Name
2 mnuFinder(5) Node Name
2 mnuFinder(6) Fixed Flows
2 mnuFinder(7) Fixed Pressure
2 mnuFinder(8) Fixed Directions
2 mnuFinder(9) Zero lengths
1 mnuFL Find by List
2 mnuFBName Branch Name
2 mnuFNName Node Name
1 mnuConfirm Confirmations |HD
0 mnuView View
1 mnuRefresh Refresh
1 mnuFitAll Fit All
1 -
1 mnuSaveView Save View
1 mnuDelView Delete View
1 -
1 mnuDisp Display |H
2 mnuZoom &Zoom
2 mnuFit &Fit |HD
2 mnuRedraw Redraw |HD
1 mnuGridFlag Grid
1 mnuViewType View Type |H
2 mnuPlanS Plan
2 mnu3d 3D
2 mnuDisplayOpt Options
1 mnuShowLayers Layers
1 mnuRLR Levels
2 mnuLevels(0) Single
2 mnuLevels(1) Multiple
2 mnuLevels(2) Range
2 mnuLevels(3) All
1 mnuDatas Data Type
2 MnuQFlag(1) Airflow
3 mnuAirflow(1) Quantity m3/s
3 mnuAirflow(2) Velocity m/s
2 MnuQFlag(2) Pressure
3 mnuPressure(1) Loss  Pa
3 mnuPressure(2) Boost Pa
3 mnuPressure(3) Load  kg
3 mnuPressure(4) Node relative Pa
3 mnuPressure(5) Node atmos kPa
3 mnuPressure(6) Node barometric kPa
2 MnuQFlag(3) Airway data
3 mnuBranch(1) Resistance
3 mnuBranch(2) Shock Length
3 mnuBranch(3) Friction Factor
3 mnuBranch(4) Dimensions
3 mnuBranch(5) Airway Length
3 mnuBranch(6) Coordinates
2 MnuQFlag(4) Energy
3 mnuCost(1) Friction Power
3 mnuCost(2) Fan/Fix Power
3 mnuCost(3) Friction cost
3 mnuCost(4) Fan/Fix cost
2 MnuQFlag(5) Other
3 mnuOther(1) Airway Number
3 mnuOther(2) Layer Number
3 mnuOther(3) Layer Name
3 mnuOther(4) Contaminant
3 mnuOther(5) Spread Time
1 -
1 mnuViewData View Options
0 mnuRun Run
1 mnuExecute Airflow Simulation
1 mnuFire Smoke Simulation
1 mnuTrace Sourcing Simulation
1 -
1 mnuRT2 Realtime
2 mnuRemote Activate Input
2 mnuRealOutStart Activate Output
1 -mnuRemote2
1 mnuSummary Summary
0 mnuDefaults Tools
1 mnuFanData Fans
1 mnuRLBase Levels
1 mnuPower Spreadsheet
1 -
1 mnuSimp Simplify
1 mnuremdup Remove duplicates
1 mnuAf Airflow Display
2 mnuPres Preserve
2 mnuRmvFlow Remove
1 mnuairdata Airways
2 mnuL Lengths
3 mnuFixL Fix All
3 mnuUnFixL Unfix All
2 mnuAutoName Auto Name Airway
2 mnuAutoNodes Auto Name Nodes
2 mnuResetAir Renumber Airways
2 mnuchecknumbers Check numbering
2 mnuRevCoord Swap XY Axis
1 mnuSmokes Smoke
2 mnuClrSmoke Clear Smoke Tracking
2 mnuClrSources Clear Smoke Sourcing
1 mnuRD Realtime Data
2 mnuRemoteStation Input
2 mnuRealOut Output
1 mnuSimOpt Troubleshoot
2 mnuFindResFans Find Restrictive Fans
2 mnuDupAir Find Duplicate Airways
2 mnuub Unnecessary bulkheads
3 mnuProblems Find
3 mnuRemoveRedund Remove
2 mnnuNonConverge Non-converging Airways
2 mnuResetAirflows Re-seed Airflows
1 -
1 mnuOptionShow Options
1 mnuReverse Reverse coordinate axis |H
0 mnuWindow Window
1 mnuNewWindow New
1 -
1 mnuTileH Tile Horizontally
1 mnuTileV Tile Vertically
1 MnuTileC Cascade
1 -
1 mnuFreeze Freeze/Unfreeze
1 -
1 mnuWindowView(0) View 1
1 mnuWindowView(1) View 2 |H
1 mnuWindowView(2) View 3 |H
1 mnuWindowView(3) View 4 |H
1 mnuWindowView(4) View 5 |H
0 mnuHelpMenu Help
1 mnuHelp Contents
1 -
1 mnuAbout About Gustrom Software
1 -
1 mnuWebPage Gustrom Web Page |D
)";

// One line per entry as the walk sees it: disabled shows as "X", whatever the reason.
void walk(const QList<QAction *> &actions, int depth, std::vector<std::string> &lines) {
    for (QAction *a : actions) {
        std::string line = std::to_string(depth) + " ";
        if (a->isSeparator())
            line += "-" + a->objectName().toStdString();
        else
            line += a->objectName().toStdString() + " " + a->text().toStdString();
        std::string flags;
        const bool visible = a->isVisible();
        // A hidden action also reports itself disabled: its own state shows once it is visible.
        a->setVisible(true);
        if (!visible)
            flags += "H";
        if (a->isChecked())
            flags += "C";
        if (!a->isEnabled())
            flags += "X";
        a->setVisible(visible);
        if (!flags.empty())
            line += " |" + flags;
        EXPECT_TRUE(a->shortcut().isEmpty()) << line;
        lines.push_back(line);
        if (a->menu() != nullptr)
            walk(a->menu()->actions(), depth + 1, lines);
    }
}

// Counts the repaints of a graphics window while it lives.
struct RepaintCounter {
    PictureBox &picture;
    std::function<void()> previous;
    int count = 0;
    explicit RepaintCounter(PictureBox &p) : picture(p), previous(p.Changed) {
        picture.Changed = [this] { ++count; };
    }
    ~RepaintCounter() { picture.Changed = previous; }
};

} // namespace

TEST_F(ShellTest, MenuBarHoldsEveryItemInItsPlaceWithItsStartState) {
    // The states the window is built with, before start-up fills the recent files and turns the grid on.
    form.reset();
    form = std::make_unique<MainForm>();
    std::vector<std::string> expected;
    std::istringstream in(ExpectedTree);
    for (std::string line; std::getline(in, line);) {
        // Disabled at start: the walk sees it as disabled.
        if (const auto bar = line.find(" |"); bar != std::string::npos) {
            std::string flags;
            for (char c : line.substr(bar + 2))
                flags += c == 'D' ? 'X' : c;
            line = line.substr(0, bar) + " |" + flags;
        }
        expected.push_back(line);
    }
    std::vector<std::string> actual;
    walk(form->menuBar()->actions(), 0, actual);
    EXPECT_EQ(actual, expected);
}

TEST_F(ShellTest, DataTypeItemsDrawTheQuantityTheirCaptionsNameWithOneRedraw) {
    AddAirways(3);
    // Each item and the quantity its caption names (as the data-value combo captions it).
    const std::pair<const char *, const char *> items[] = {
        {"mnuAirflow(1)", "Quantity"},        {"mnuAirflow(2)", "Velocity"},
        {"mnuPressure(1)", "Total Loss"},     {"mnuPressure(2)", "Boost"},
        {"mnuPressure(3)", "Regulator Load"}, {"mnuPressure(4)", "Relative"},
        {"mnuPressure(5)", "Absolute"},       {"mnuPressure(6)", "Barometric"},
        {"mnuBranch(1)", "Resistance"},       {"mnuBranch(2)", "Shock Length"},
        {"mnuBranch(3)", "Friction Factor"},  {"mnuBranch(4)", "Dimensions"},
        {"mnuBranch(5)", "Airway Length"},    {"mnuBranch(6)", "Coordinates"},
        {"mnuCost(1)", "Friction Power"},     {"mnuCost(2)", "Fan/Fix Power"},
        {"mnuCost(3)", "Friction Cost"},      {"mnuCost(4)", "Fan/Fix Cost"},
        {"mnuOther(1)", "Airway Number"},     {"mnuOther(2)", "Layer Number"},
        {"mnuOther(3)", "Layer Name"},        {"mnuOther(4)", "Contaminant"},
        {"mnuOther(5)", "Spread Time"}};
    for (const auto &[name, quantity] : items) {
        QAction *item = form->MenuItem(name);
        RepaintCounter repaints(window(0)->Picture());
        item->trigger();
        EXPECT_EQ(DataTypeCaption(DataCode / 10, DataCode % 10), quantity) << name;
        EXPECT_EQ(form->CmbDataVal->currentText().toStdString(), quantity) << name;
        EXPECT_EQ(repaints.count, 1) << name;
        // A unit at the end of the caption is the unit of the quantity drawn.
        const QString unit = item->text().section(' ', -1);
        for (int row = 1; row <= 15; ++row) {
            if (unit.toStdString() == UnitText(row, 1)) {
                EXPECT_EQ(form->LblUnit->text(), unit) << name;
            }
        }
    }
}

TEST_F(ShellTest, SaveAsksForANameOnlyForUnnamedAndMasterNetworks) {
    AddAirways(2);
    for (const std::string &name : {std::string(), folder.path() + "x.Smm"}) {
        NetworkFileName = name;
        boxes->ExpectFile(std::nullopt);
        form->mnuSaveFile_Click();
        EXPECT_EQ(boxes->FileDialogs().size(), name.empty() ? 1u : 2u);
    }
    NetworkFileName = folder.path() + "named.sim";
    MasterFile = false;
    form->mnuSaveFile_Click();
    EXPECT_EQ(boxes->FileDialogs().size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(NetworkFileName));
}

TEST_F(ShellTest, ARefusedSaveAsKeepsTheFileNameAndTitle) {
    AddAirways(2);
    NetworkFileName = folder.path() + "old.sim";
    SetFileName();
    const QString title = form->windowTitle();
    ASSERT_TRUE(title.contains("old.sim"));
    // The main window's title whenever a box is up.
    struct TitleAtEachBox : ScriptedDialogs {
        const QWidget *main = nullptr;
        std::vector<QString> titles;
        int Message(const VB::MessageRequest &request) override {
            titles.push_back(main->windowTitle());
            return ScriptedDialogs::Message(request);
        }
    } refusal;
    refusal.main = form.get();
    refusal.ExpectFile(folder.path() + "new.sim").Expect(VB::vbOK, "Clear gas simulation first !");
    SmokeMode = 1;
    form->MenuItem("mnuSaveAs")->trigger();
    EXPECT_EQ(refusal.titles, std::vector<QString>{title});
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_EQ(NetworkFileName, folder.path() + "old.sim");
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "new.sim"));
}

TEST_F(ShellTest, SaveOverAFileAnotherProgramChangedAsksNamingItAndNoWritesNothing) {
    StartOnExample("teaching.sim");
    const std::string path = folder.path() + "teaching.sim";
    // Unchanged since it was opened: no question.
    form->MenuItem("mnuSaveFile")->trigger();
    // Another program renames an airway and saves.
    std::string theirs = folder.Read("teaching.sim");
    theirs.replace(theirs.find("900 drive"), 9, "900 Drive A");
    folder.Write("teaching.sim", theirs);
    // The recovery copy is no save over the file: it asks nothing.
    ASSERT_TRUE(SaveNetwork(1));
    boxes->Expect(VB::vbNo, "The file " + path + " has been changed on disk");
    form->MenuItem("mnuSaveFile")->trigger();
    ASSERT_EQ(boxes->Shown().size(), 1u);
    EXPECT_EQ(boxes->Shown()[0].buttonSet, VB::vbYesNo);
    EXPECT_EQ(boxes->Shown()[0].defaultButton, 2) << "Return would replace their file";
    EXPECT_EQ(folder.Read("teaching.sim"), theirs);
    boxes->Expect(VB::vbYes, "has been changed on disk");
    form->MenuItem("mnuSaveFile")->trigger();
    EXPECT_EQ(folder.Read("teaching.sim").find("900 Drive A"), std::string::npos);
    // What this program wrote is what it knows now: the next save asks nothing.
    form->MenuItem("mnuSaveFile")->trigger();
    EXPECT_EQ(boxes->Shown().size(), 2u);

    // A merge leaves the network under its own file, which it still knows as last written.
    std::filesystem::copy_file(std::string(GUSTROM_SOURCE_DIR) + "/examples/mine.sim",
                               folder.path() + "mine.sim");
    boxes->ExpectFile(folder.path() + "mine.sim").Expect(VB::vbYes, "original fan database");
    form->MenuItem("mnuMergeFile")->trigger();
    ASSERT_EQ(AirwayCount, 310);
    folder.Write("teaching.sim", theirs);
    boxes->Expect(VB::vbNo, "The file " + path + " has been changed on disk");
    form->MenuItem("mnuSaveFile")->trigger();
    EXPECT_EQ(folder.Read("teaching.sim"), theirs);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ShellTest, OpeningAFileAnotherRunningProgramHasOpenAsksAndNoOpensNothing) {
    StartOnExample("teaching.sim");
    const std::string path = folder.path() + "teaching.sim";
    // That program runs on as another one, which keeps the file open and holds the lock that notes it.
    const std::string copy = RecoveryCopyPath();
    LetGoOfRecoveryCopy();
    VB::FileLock otherProgram(copy.substr(0, copy.size() - 4) + ".lock", false);
    ASSERT_TRUE(otherProgram.Held());
    boxes->Expect(VB::vbOK, "Current Data will be lost ?");
    form->MenuItem("mnuNewFile")->trigger();
    boxes->ExpectFile(path).Expect(VB::vbNo,
                                   "The file " + path + " is open in another running Gustrom program");
    form->MenuItem("mnuOpenFile")->trigger();
    EXPECT_EQ(boxes->Shown().back().defaultButton, 2) << "Return would open it";
    EXPECT_EQ(AirwayCount, 0);
    EXPECT_TRUE(NetworkFileName.empty());
    // The same file under other names: a link to it, and a path through another folder.
    std::filesystem::create_symlink(path, folder.path() + "link.sim");
    std::filesystem::create_directory(folder.path() + "sub");
    for (const std::string &alias : {folder.path() + "link.sim", folder.path() + "sub/../teaching.sim"}) {
        boxes->ExpectFile(alias).Expect(VB::vbNo, "is open in another running Gustrom program");
        form->MenuItem("mnuOpenFile")->trigger();
        EXPECT_EQ(AirwayCount, 0) << alias;
    }
    boxes->ExpectFile(path).Expect(VB::vbYes, "is open in another running Gustrom program");
    form->MenuItem("mnuOpenFile")->trigger();
    EXPECT_EQ(AirwayCount, 10);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ShellTest, AFileClosedByFileNewOpensInAnotherProgramWithoutTheQuestion) {
    StartOnExample("teaching.sim");
    boxes->Expect(VB::vbOK, "Current Data will be lost ?");
    form->MenuItem("mnuNewFile")->trigger();
    // This program runs on as another one, holding the lock whose notes File > New left.
    const std::string copy = RecoveryCopyPath();
    LetGoOfRecoveryCopy();
    VB::FileLock otherProgram(copy.substr(0, copy.size() - 4) + ".lock", false);
    ASSERT_TRUE(otherProgram.Held());
    boxes->ExpectFile(folder.path() + "teaching.sim");
    form->MenuItem("mnuOpenFile")->trigger();
    EXPECT_EQ(AirwayCount, 10);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ShellTest, ReloadDefaultsRestoresTheFileFollowingFanCapacityAndDensity) {
    AddAirways(2);
    CalcAllAirways();
    const float resistance = AirwayResistance(1);
    MaxFans = 300;
    NextAirwayNumber = 0;
    ASSERT_TRUE(SaveDefaults());
    AirwayNumber(1) = 1;
    AirwayNumber(2) = 2;
    NextAirwayNumber = 2;
    MaxFans = 250;
    ReDimNetworkPreserve();
    AirDensity = 2.4f;
    CalcAllAirways();
    DefaultsSaved = 0;

    boxes->Expect(VB::vbCancel, "Current defaults will be lost!");
    form->ReloadDef_Click();
    EXPECT_EQ(MaxFans, 250);
    EXPECT_FLOAT_EQ(AirDensity, 2.4f);
    EXPECT_EQ(DefaultsSaved, 0);

    boxes->Expect(VB::vbOK, "Current defaults will be lost!");
    form->ReloadDef_Click();
    EXPECT_EQ(boxes->Shown().back().title, "Reload Defaults");
    EXPECT_EQ(MaxFans, 300);
    EXPECT_TRUE(FanName.InBounds(300));
    EXPECT_FLOAT_EQ(AirDensity, 1.2f);
    EXPECT_FLOAT_EQ(AirwayResistance(1), resistance);
    EXPECT_EQ(DefaultsSaved, 255);
    EXPECT_EQ(NextAirwayNumber, 2) << "the file's counter lies below the numbers in use";

    // A fan in use keeps its slot when the file asks for fewer.
    MaxFans = 10;
    ASSERT_TRUE(SaveDefaults());
    MaxFans = 300;
    AirwayFan(2) = 40;
    boxes->Expect(VB::vbOK, "Current defaults will be lost!");
    form->ReloadDef_Click();
    EXPECT_EQ(MaxFans, 40);
}

TEST_F(ShellTest, ReloadAndSaveOfTheFanDatabaseAndTheDefaults) {
    const std::string fileFan = FanName(1);
    FanName(1) = "changed";
    FanDataChanged = 0;
    boxes->Expect(VB::vbOK, "Current fan database will be lost!");
    form->mnuReLoadFan_Click();
    EXPECT_EQ(FanName(1), fileFan);
    EXPECT_EQ(FanDataChanged, 255);

    const int32_t revision = FanDataRevision;
    boxes->Expect(VB::vbYes, "fansdata.dat");
    form->mnuSaveFan_Click();
    EXPECT_EQ(FanDataRevision, revision + 1);

    // The settings cannot be written: the message, and exit still offers to save them.
    AppFolder = folder.path() + "missing/";
    DefaultsSaved = 0;
    boxes->Expect(VB::vbOK, "Error saving defaults");
    form->mnuSaveDef_Click();
    EXPECT_EQ(DefaultsSaved, 0);
}

TEST_F(ShellTest, SavingTheFansOverTheFanDatabaseFileAsksNamingItAndItsFansAndNoWritesNothing) {
    for (int f = 1; f <= 3; ++f) {
        FanName(f) = "Fan " + std::to_string(f);
        FanCurvePressure(1, 1, f) = 100.0f * f;
    }
    ASSERT_TRUE(SaveFanData());
    const std::string library = folder.Read("fansdata.dat");
    // The network's own database holds one fan.
    for (int f = 2; f <= 3; ++f) {
        FanName(f).clear();
        FanCurvePressure(1, 1, f) = 0;
    }
    boxes->Expect(VB::vbNo, folder.path() + "fansdata.dat holds 3 fans and will hold 1 fan.");
    form->MenuItem("mnuSaveFan")->trigger();
    ASSERT_FALSE(boxes->Shown().empty());
    EXPECT_EQ(boxes->Shown().back().buttonSet, VB::vbYesNo);
    EXPECT_EQ(folder.Read("fansdata.dat"), library);
    boxes->Expect(VB::vbYes, "holds 3 fans and will hold 1 fan.");
    form->MenuItem("mnuSaveFan")->trigger();
    EXPECT_EQ(folder.Read("fansdata.dat").find("Fan 2"), std::string::npos);
}

TEST_F(ShellTest, SavingTheDefaultsOverTheSettingsFileAsksNamingItAndNoWritesNothing) {
    const std::string before = folder.Read("Defaults.dat");
    AirDensity = 1.3f;
    DefaultsSaved = 0;
    boxes->Expect(VB::vbNo, "The settings file " + folder.path() + "Defaults.dat");
    form->MenuItem("mnuSaveDef")->trigger();
    ASSERT_EQ(boxes->Shown().size(), 1u);
    EXPECT_EQ(boxes->Shown()[0].buttonSet, VB::vbYesNo);
    EXPECT_EQ(folder.Read("Defaults.dat"), before);
    EXPECT_EQ(DefaultsSaved, 0);
    boxes->Expect(VB::vbYes, "Replace it?");
    form->MenuItem("mnuSaveDef")->trigger();
    EXPECT_NE(folder.Read("Defaults.dat"), before);
    EXPECT_EQ(DefaultsSaved, 255);
}

TEST_F(ShellTest, RecentFileEntryAsksBeforeReplacingUnsavedData) {
    GenerateNetwork(12, 3);
    NetworkFileName = folder.path() + "recent.sim";
    ASSERT_TRUE(SaveNetwork(0));
    RecentFiles(1) = NetworkFileName;
    RecentFiles(2).clear();
    NetworkFileName.clear(); // unnamed: Yes asks for a name
    ViewMode = 4;
    form->mnuOld_Click(2);
    EXPECT_EQ(ViewMode, 1);

    AddAirways(3);
    const auto answerAndLoad = [&](int answer) {
        NetworkSaved = 0;
        boxes->Expect(answer, "Network Data is not saved - Save it?");
        if (answer == VB::vbYes)
            boxes->ExpectFile(std::nullopt);
        form->mnuOld_Click(1);
    };
    answerAndLoad(VB::vbCancel);
    EXPECT_EQ(AirwayCount, 3);
    answerAndLoad(VB::vbYes);
    EXPECT_EQ(AirwayCount, 3);
    answerAndLoad(VB::vbNo);
    EXPECT_EQ(AirwayCount, 12);
    EXPECT_EQ(boxes->Shown()[0].buttonSet, VB::vbYesNoCancel);
    EXPECT_EQ(boxes->Shown()[0].icon, VB::vbQuestion);
}

TEST_F(ShellTest, OpenMergeAndImportStartInTheNetworksFolderElseTheLastOneUsed) {
    VB::SetModalDriver([](QDialog &dialog) { dialog.reject(); });
    const std::string last = folder.path() + "last/", mine = folder.path() + "mine/";
    const auto startFolder = [&](const char *item, std::optional<std::string> chosen = std::nullopt) {
        boxes->ExpectFile(chosen);
        form->MenuItem(item)->trigger();
        return boxes->FileDialogs().back().initialDir;
    };
    const char *const items[] = {"mnuOpenFile", "mnuMergeFile", "MnuDXF", "mnuImportData"};
    VB::SaveSetting("Gustrom", "Files", "DefaultDir", last);
    for (const char *item : items)
        EXPECT_EQ(startFolder(item), last) << item;
    NetworkFileName = mine + "mine.sim";
    for (const char *item : items)
        EXPECT_EQ(startFolder(item), mine) << item;
    // A drawing chosen elsewhere makes its folder the last one used.
    NetworkFileName = "";
    startFolder("MnuDXF", folder.path() + "drawings/plan.dxf");
    EXPECT_EQ(startFolder("mnuMergeFile"), folder.path() + "drawings/");
    VB::SetModalDriver({});
}

TEST_F(ShellTest, TheMergeFileDialogIsTitledForTheMerge) {
    boxes->ExpectFile(std::nullopt);
    form->MenuItem("mnuMergeFile")->trigger();
    EXPECT_EQ(boxes->FileDialogs().back().title, "Merge File");
}

TEST_F(ShellTest, ImportChoosesAFileThenShowsTheImportDialogAndExportsSetTheirForm) {
    int dialogs = 0;
    VB::SetModalDriver([&](QDialog &dialog) {
        dialogs += dialog.objectName() == "frmImport";
        dialog.reject();
    });
    boxes->ExpectFile(std::nullopt);
    form->MnuDXF_Click();
    EXPECT_TRUE(DialogCancelled);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(boxes->FileDialogs()[0].filter, "Data Files (*.DXF)|*.DXF|All Files (*.*)|*.*");
    EXPECT_TRUE(boxes->FileDialogs()[0].mustExist);

    ViewIs3D = 1;
    boxes->ExpectFile(folder.path() + "drawing.txt");
    form->mnuImportData_Click();
    VB::SetModalDriver({});
    EXPECT_EQ(ViewIs3D, 0);
    EXPECT_FALSE(DialogCancelled);
    EXPECT_EQ(ImportFileName, folder.path() + "drawing.txt");
    EXPECT_EQ(dialogs, 1);

    // Each export sets its form and asks for its file once (cancelled here).
    const std::pair<void (MainForm::*)(), int> exports[] = {{&MainForm::MnuDXFScreen_Click, 2},
                                                            {&MainForm::mnuDXFTrue_Click, 1},
                                                            {&MainForm::mnuExportData_Click, 0}};
    for (const auto &[click, mode] : exports) {
        const size_t asked = boxes->FileDialogs().size();
        boxes->ExpectFile(std::nullopt);
        ExportMode = -1;
        (form.get()->*click)();
        EXPECT_EQ(ExportMode, mode);
        EXPECT_EQ(boxes->FileDialogs().size(), asked + 1);
    }
}

TEST_F(ShellTest, ConfirmationsZoomRefreshAndACancelledExit) {
    form->mnuConfirm_Click();
    EXPECT_EQ(ConfirmActions, form->MenuItem("mnuConfirm")->isChecked());
    const bool first = ConfirmActions;
    form->mnuConfirm_Click();
    EXPECT_NE(ConfirmActions, first);
    EXPECT_EQ(ConfirmActions, form->MenuItem("mnuConfirm")->isChecked());

    form->Tools_Click(31);
    form->mnuZoom_Click();
    EXPECT_EQ(ToolCode, 0);
    EXPECT_EQ(ToolMode, 0);
    EXPECT_TRUE(form->MenuItem("mnuZoom")->isChecked());

    form->mnuNewWindow_Click();
    {
        RepaintCounter first(window(0)->Picture()), second(window(1)->Picture());
        form->MenuItem("mnuRefresh")->trigger();
        EXPECT_EQ(first.count, 1);
        EXPECT_EQ(second.count, 1);
    }

    NetworkSaved = 0;
    boxes->Expect(VB::vbCancel, "Gustrom data is not saved - Save it?");
    form->MenuItem("mnuExit")->trigger();
    EXPECT_TRUE(form->isVisible());
}

TEST_F(ShellTest, NoMenuOrToolbarCommandRunsWhileALongOperationHoldsTheBusyFlag) {
    AddAirways(4);
    AirwayFlags(2) |= 0x20000;
    NetworkFileName = folder.path() + "busy.sim";
    NetworkSaved = 0;
    RecentFiles(1) = folder.path() + "other.sim";
    const int step = UndoStep;
    const auto windows = form->Mdi()->subWindowList().size();
    VB::BusyScope busy;
    ASSERT_TRUE(busy.Acquired());
    std::vector<QAction *> all;
    std::function<void(const QList<QAction *> &)> collect = [&](const QList<QAction *> &actions) {
        for (QAction *a : actions) {
            if (a->menu() != nullptr)
                collect(a->menu()->actions());
            else if (!a->isSeparator())
                all.push_back(a);
        }
    };
    collect(form->menuBar()->actions());
    for (QAction *a : all)
        a->trigger();
    for (int i = 0; i <= 31; ++i)
        form->Tools_Click(i);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(AirwayCount, 4);
    EXPECT_EQ(AirwayFlags(2) & 0x20000, 0x20000);
    EXPECT_EQ(NetworkFileName, folder.path() + "busy.sim");
    EXPECT_EQ(UndoStep, step);
    EXPECT_EQ(form->Mdi()->subWindowList().size(), windows);
    EXPECT_TRUE(boxes->Shown().empty());
}
